// status_line.cpp — the status line's texts, and keeping it up to date.
#include "app/status_line.h"

#include "app/classroom.h"
#include "model/decimal.h"
#include "model/state.h"
#include "platform/platform.h"
#include "ui/ui.h"

#include <algorithm>

namespace {

// The status line follows the running clock this often.
constexpr int64_t StatusPeriodNs = 250'000'000;

// The time step as the status line shows it: six significant digits keep the
// line short whatever was typed (19.999999999999996 is shown as 20).
std::string StepText(double timeStep) {
    return GermanDecimalText(timeStep, 6);
}

}  // namespace

void PrepareStatusLine() {
    // Room for the widest lines of a long lesson, an event's name included.
    auto wider = [](const std::string& a, const std::string& b) { return a.size() >= b.size() ? a : b; };
    const SkyEvent widestEvent{8'888'888.888, Mercury, EventKind::GreatestWestElongation};
    SetStatusRoom(wider(StatusText(8'888'888.888, 8.88888, true), EventStatusText(widestEvent)),
                  wider(StatusShortText(8'888'888.888, 8.88888, true), EventStatusShortText(widestEvent)));
    UpdateStatusLine(true);
}

void UpdateStatusLine(bool now) {
    // No step runs while the animation is paused, a command holds it (a box,
    // the time-step dialog) or the main loop has not begun; a change of that
    // is shown at once.
    const bool held = Classroom.Paused || Shell.CommandRunning || !Classroom.Started;
    const int64_t t = SteadyNanoseconds();
    if (!now && held == Classroom.StatusHeld && t - Classroom.StatusShownNs < StatusPeriodNs) return;
    Classroom.StatusShownNs = t;
    Classroom.StatusHeld = held;
    // On an event jumped to, the line names it while the clock stands there.
    if (held && Classroom.AtEvent && Classroom.AtEvent->Day == Planets.SimTime)
        SetStatusText(EventStatusText(*Classroom.AtEvent), EventStatusShortText(*Classroom.AtEvent));
    else
        SetStatusText(StatusText(Planets.SimTime, Settings.TimeStep, held),
                      StatusShortText(Planets.SimTime, Settings.TimeStep, held));
}

void ShowStatusLine() {
    UpdateStatusLine(true);
}

std::string DayText(double simTime, double timeStep) {
    return TheSky().MomentText(simTime, timeStep);
}

std::string StatusText(double simTime, double timeStep, bool paused) {
    return DayText(simTime, timeStep) + "   Zeitschritt " + StepText(timeStep) + " d   " +
           (paused ? "angehalten" : "läuft");
}

std::string StatusShortText(double simTime, double timeStep, bool paused) {
    return DayText(simTime, timeStep) + "   " + (paused ? "angehalten" : "läuft");
}

std::string EventStatusText(const SkyEvent& e) {
    return TheSky().MomentText(e.Day, 0) + "   " + BodyName(e.Body) + ": " + EventName(e.Kind);
}

std::string EventStatusShortText(const SkyEvent& e) {
    return TheSky().MomentText(e.Day, 0) + "   " + EventName(e.Kind);
}
