// sky_events.cpp — the menu "EREIGNISSE |": jumps to the moments that explain
// a planet's loop, the sky strip, and the list of coming events.
#include "app/classroom.h"

#include "app/shell.h"
#include "model/decimal.h"
#include "model/event_list.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <algorithm>
#include <new>

namespace {

// What a screen reader says when an event is reached: "Tag 806,15: Mars in
// Opposition".
std::string Spoken(const SkyEvent& e) {
    return MomentText(e.Day, 2) + ": " + BodyName(e.Body) + " " + EventPhrase(e.Kind);
}

void Arrive(const SkyEvent& e) {
    Classroom.Paused = true;
    Classroom.PendingSteps = 0;
    Classroom.RedrawPending = false;
    Classroom.AtEvent = e;
    if (Classroom.SightLinesOn) ShowSightLines(true);
    if (Classroom.SkyStripOn) DrawSkyStrip();
    Announce(Spoken(e));
}

// A jump lands exactly on the event, with the steps in between drawn as the
// animation draws them, forward so that paths grow on, back so that they are
// gone over again rather than cut by a chord; without paths the way back is
// one step. From there → and ← are one time step each, whichever way the
// jump went.
void JumpTo(const SkyEvent& e) {
    Classroom.Earlier.clear();
    Classroom.Later.clear();
    const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 7;
    if (e.Day > Planets.SimTime || paths) {
        DrawStepsTo(e.Day);
    } else {
        MoveModelTo(e.Day);
        DrawStep();
    }
    // The window closed meanwhile: the program ends, the jump with it.
    if (Shell.EndMarker == "*") return;
    Arrive(e);
}

void Jump(int direction) {
    const auto e = direction > 0 ? NextEvent(Planets.SimTime, Settings.PlanetOn)
                                 : PreviousEvent(Planets.SimTime, Settings.PlanetOn);
    if (!e) {
        MessageBox("Kein Planet außer der Erde ist eingeschaltet: es gibt kein Ereignis.");
        return;
    }
    JumpTo(*e);
}

void ShowEventList() {
    MessageBoxLines(EventListLines(Planets.SimTime, Settings.PlanetOn));
}

void SaveEventList() {
    SavedAs saved = SavedAs::Failed;
    std::string where;
    try {
        saved = SaveTextFile(EventListCsv(Planets.SimTime, Settings.PlanetOn),
                             StampedFileName("heliogeo-ereignisse", ".csv", LocalTimeText()), "text/csv", where);
    } catch (const std::bad_alloc&) {
        where = "zu wenig Speicher";
    }
    TellWhereSaved("Die Ereignisliste", saved, where);
}

}  // namespace

CommandMenu EventsMenuItems() {
    // Next and previous event get a touch button each, beside the step buttons.
    return {"EREIGNISSE |",
            {
                {"&Nächstes Ereignis", "PageDown", "Bild\u2193", 4, "\u25B6\u25B6"},
                {"&Voriges Ereignis", "PageUp", "Bild\u2191", 0, "\u25C0\u25C0"},
                {"&Himmelsstreifen ein/aus", "H", "H", -1, ""},
                {"&Ereignisliste", "L", "L", -1, ""},
                {"Ereignisliste &speichern", "", "", -1, ""},
            }};
}

void EventsMenu(int item) {
    switch (item) {
        case 0: Jump(+1); break;
        case 1: Jump(-1); break;
        case 2:
            // The views make room for the strip, or take it back, in a new
            // layout between two passes.
            Classroom.SkyStripOn = !Classroom.SkyStripOn;
            Classroom.LayoutDue = true;
            break;
        case 3: ShowEventList(); break;
        case 4: SaveEventList(); break;
        default: break;
    }
}

std::string EventStatusText(const SkyEvent& e) {
    return MomentText(e.Day, 2) + "   " + BodyName(e.Body) + ": " + EventName(e.Kind);
}

std::string EventStatusShortText(const SkyEvent& e) {
    return MomentText(e.Day, 2) + "   " + EventName(e.Kind);
}
