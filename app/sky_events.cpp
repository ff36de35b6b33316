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
    const std::string day = "Tag " + GermanNumber(e.Day, 2) + ": " + BodyName(e.Body);
    switch (e.Kind) {
        case EventKind::InferiorConjunction: return day + " in unterer Konjunktion";
        case EventKind::SuperiorConjunction: return day + " in oberer Konjunktion";
        case EventKind::GreatestEastElongation: return day + " in größter östlicher Elongation";
        case EventKind::GreatestWestElongation: return day + " in größter westlicher Elongation";
        case EventKind::Opposition: return day + " in Opposition";
        case EventKind::Conjunction: return day + " in Konjunktion";
        case EventKind::EastQuadrature: return day + " in östlicher Quadratur";
        case EventKind::WestQuadrature: return day + " in westlicher Quadratur";
        case EventKind::StationRetrograde: return day + " steht still und läuft dann rückwärts";
        case EventKind::StationDirect: return day + " steht still und läuft dann wieder vorwärts";
    }
    return day;
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

// More steps than this between two events are drawn as this many longer
// ones: with a tiny time step typed (0,001 d) a jump would otherwise hold the
// program for minutes, and steps far below a pixel show nothing more.
constexpr double MaxJumpSteps = 2000;

// Forward: the steps in between drawn one after the other without waiting,
// as the animation draws them, so that paths grow on; the last one is
// shortened so that the clock lands on the event.
void JumpForward(const SkyEvent& e) {
    Classroom.Later.clear();
    const double dt = Settings.TimeStep;
    const double step = std::max(dt, (e.Day - Planets.SimTime) / MaxJumpSteps);
    while (Planets.SimTime + step < e.Day) {
        RememberVisit(Classroom.Earlier, Planets.SimTime, step);
        MoveModelTo(Planets.SimTime + step);
        DrawStep();
        // The window closed meanwhile: the program ends, the jump with it.
        if (Shell.EndMarker == "*") return;
    }
    RememberVisit(Classroom.Earlier, Planets.SimTime, dt);
    MoveModelTo(e.Day);
    DrawStep();
    Arrive(e);
}

// Back: one step back, however far; the steps on from there are new.
void JumpBack(const SkyEvent& e) {
    while (!Classroom.Earlier.empty() && Classroom.Earlier.back().SimTime >= e.Day) Classroom.Earlier.pop_back();
    RememberVisit(Classroom.Later, Planets.SimTime, Settings.TimeStep);
    MoveModelTo(e.Day);
    DrawStep();
    Arrive(e);
}

void Jump(int direction) {
    const auto e = direction > 0 ? NextEvent(Planets.SimTime, Settings.PlanetOn)
                                 : PreviousEvent(Planets.SimTime, Settings.PlanetOn);
    if (!e) {
        MessageBox("Kein Planet außer der Erde ist eingeschaltet: es gibt kein Ereignis.");
        return;
    }
    if (direction > 0) JumpForward(*e);
    else JumpBack(*e);
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
            Classroom.SkyStripOn = !Classroom.SkyStripOn;
            ShowSkyStrip(Classroom.SkyStripOn);
            break;
        case 3: ShowEventList(); break;
        case 4: SaveEventList(); break;
        default: break;
    }
}

std::string EventStatusText(const SkyEvent& e) {
    return "Tag " + GermanNumber(e.Day, 2) + "   " + BodyName(e.Body) + ": " + EventName(e.Kind);
}
