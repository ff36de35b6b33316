// sky_switch.cpp — switching between the model's sky and the real one.
#include "app/sky_switch.h"

#include "app/classroom.h"
#include "model/calendar.h"
#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"
#include "ui/ui.h"

namespace {

// The moment the real sky opens at when nothing else is said: where it was
// left, or now.
double RealSkyMoment() {
    return Skies.RealDaySet ? Skies.RealDay : MomentNow();
}

void Switch(bool real, double day) {
    // Each sky's clock is kept where it was left, so that switching back
    // returns there.
    if (Skies.Real) {
        Skies.RealDay = Planets.SimTime;
        Skies.RealDaySet = true;
    } else {
        Skies.ModelDay = Planets.SimTime;
    }
    Skies.Real = real;
    // The real sky's clock stays within its span.
    day = WithinTheSky(day);
    // The steps back and forth and the event reached belong to the other
    // clock.
    Classroom.Earlier.clear();
    Classroom.Later.clear();
    Classroom.PendingSteps = 0;
    Classroom.AtEvent.reset();
    EndConstruction();
    // The bodies where the new clock puts them, with no path from where they
    // stood; the views empty, as after a choice of system; the lines of
    // sight, the strip and the status line follow with the next pass.
    MoveModelTo(day);
    KeepPositions();
    ClearBackgrounds();
    ClearViews();
}

}  // namespace

void ShowModelSky() {
    if (Skies.Real) Switch(false, Skies.ModelDay);
}

void ShowRealSky() {
    if (!Skies.Real) Switch(true, RealSkyMoment());
}

void ShowRealSkyAt(double moment) {
    // A moment chosen is landed on paused, as an event jumped to is.
    Classroom.Paused = true;
    Switch(true, moment);
}

void StartInRealSky(double moment) {
    Skies.Real = true;
    Skies.RealDay = WithinTheSky(moment);
    Skies.RealDaySet = true;
    Planets.SimTime = Skies.RealDay;
}

void AskForDate() {
    // The date offered is the real sky's clock; taken unchanged (an empty
    // line, where a touch screen's keyboard has no Escape) in the real sky,
    // it changes nothing.
    double moment = 0;
    if (!DateDialog(Skies.Real ? Planets.SimTime : RealSkyMoment(), moment)) return;
    if (!(Skies.Real && moment == Planets.SimTime)) ShowRealSkyAt(moment);
}
