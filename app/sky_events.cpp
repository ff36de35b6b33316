// sky_events.cpp — the menu "EREIGNISSE |": jumps to the moments that explain
// a planet's loop, the sky strip, and the list of coming events.
#include "app/sky_events.h"

#include "app/classroom.h"
#include "app/shell.h"

#include "model/event_list.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

namespace {

// What a screen reader says when an event is reached: "Tag 806,15: Mars in
// Opposition".
std::string Spoken(const SkyEvent& e) {
    return TheSky().Texts.MomentText(e.Day, 0) + ": " + BodyName(e.Body) + " " + EventPhrase(e.Kind);
}

void Arrive(const SkyEvent& e) {
    Classroom.Paused = true;
    Classroom.PendingSteps = 0;
    Classroom.RedrawPending = false;
    Classroom.AtEvent = e;
    FollowTheClock();
    Announce(Spoken(e));
}

}  // namespace

void JumpToEvent(int direction) {
    const auto e = direction > 0 ? NextEvent(Planets.SimTime, Settings.PlanetOn)
                                 : PreviousEvent(Planets.SimTime, Settings.PlanetOn);
    if (!e) {
        MessageBox("Kein Planet außer der Erde ist eingeschaltet: es gibt kein Ereignis.");
        return;
    }
    // An event beyond an end of the sky's span: the jump stops at the end,
    // or stays there.
    const double day = WithinTheSky(e->Day);
    if (day != Planets.SimTime) MoveClockTo(day);
    // The window closed meanwhile: the program ends, the jump with it.
    if (Shell.EndMarker == "*") return;
    if (day == e->Day) Arrive(*e);
    else StopAtTheEnd();
}

void ToggleSkyStrip() {
    // The views make room for the strip, or take it back, in a new layout
    // between two passes.
    Classroom.SkyStripOn = !Classroom.SkyStripOn;
    AskForNewLayout();
}

void ShowEventList() {
    MessageBoxLines(EventListLines(Planets.SimTime, Settings.PlanetOn));
}
