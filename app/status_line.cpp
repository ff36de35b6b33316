// status_line.cpp — the status line's texts, and keeping it up to date.
#include "app/status_line.h"

#include "app/classroom_state.h"
#include "model/calendar.h"
#include "model/decimal.h"
#include "model/state.h"
#include "platform/platform.h"
#include "ui/ui.h"

#include <algorithm>
#include <initializer_list>

namespace {

// The status line follows the running clock this often.
constexpr int64_t StatusPeriodNs = 250'000'000;

// When the line was last brought up to date, and whether it then said
// "angehalten".
struct {
    int64_t ShownNs = 0;
    bool Held = true;
} Shown;

// The time step as the status line shows it: six significant digits keep the
// line short whatever was typed (19.999999999999996 is shown as 20).
std::string StepText(double timeStep) {
    return GermanDecimalText(timeStep, 6);
}

// The texts of the status line in one sky (see status_line.h).
std::string SkyStatusText(const Sky& sky, double simTime, double timeStep, bool paused) {
    return sky.Texts.MomentText(simTime, timeStep) + "   Zeitschritt " + StepText(timeStep) + " d   " +
           (paused ? "angehalten" : "läuft");
}

std::string SkyStatusShortText(const Sky& sky, double simTime, double timeStep, bool paused) {
    return sky.Texts.MomentText(simTime, timeStep) + "   " + (paused ? "angehalten" : "läuft");
}

std::string SkyEventText(const Sky& sky, const SkyEvent& e, bool full) {
    return sky.Texts.MomentText(e.Day, 0) + "   " + (full ? BodyName(e.Body) + ": " : "") + EventName(e.Kind);
}

// At an end of the sky's span: "So 31.12.2400   angehalten: nur 1600 bis 2400".
std::string SkyEndText(const Sky& sky, double simTime, double timeStep, bool full) {
    return sky.Texts.MomentText(simTime, timeStep) + "   " + (full ? "angehalten: " : "") + sky.Events.Span().Words;
}

bool AtAnEnd(double day) {
    const SkySpan span = TheSky().Events.Span();
    return day == span.First || day == span.Last;
}

// The longest of some lines, as the eye counts them: in characters, not bytes.
std::string Widest(std::initializer_list<std::string> lines) {
    auto characters = [](const std::string& text) {
        return std::count_if(text.begin(), text.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    };
    std::string widest;
    for (const std::string& line : lines)
        if (characters(line) > characters(widest)) widest = line;
    return widest;
}

}  // namespace

void PrepareStatusLine() {
    // Room for the widest lines of a long lesson in either sky, an event's
    // name included, so that the line keeps its place when the sky is
    // switched: in the model a day of many digits; in the real sky a date
    // with its weekday and time, as a step below a day shows it.
    const SkyEvent widestEvent{8'888'888.888, Mercury, EventKind::GreatestWestElongation};
    const double day = 8'888'888.888, step = 8.88888;
    const double moment = MomentFromLocal(CivilTime{2088, 8, 28, 20, 8, 0, 0}), shortStep = 0.888888;
    const SkyEvent realEvent{moment, Mercury, EventKind::GreatestWestElongation};
    SetStatusRoom(Widest({SkyStatusText(ModelSky, day, step, true), SkyEventText(ModelSky, widestEvent, true),
                          SkyStatusText(RealSky, moment, shortStep, true), SkyEventText(RealSky, realEvent, true),
                          SkyEndText(RealSky, moment, shortStep, true)}),
                  Widest({SkyStatusShortText(ModelSky, day, step, true), SkyEventText(ModelSky, widestEvent, false),
                          SkyStatusShortText(RealSky, moment, shortStep, true),
                          SkyEventText(RealSky, realEvent, false), SkyEndText(RealSky, moment, shortStep, false)}));
    UpdateStatusLine(true);
}

void UpdateStatusLine(bool now) {
    // No step runs while the animation is paused, a command holds it (a box,
    // the time-step dialog) or the main loop has not begun; a change of that
    // is shown at once.
    const bool held = Classroom.Paused || Shell.CommandRunning || !Classroom.Started;
    const int64_t t = SteadyNanoseconds();
    if (!now && held == Shown.Held && t - Shown.ShownNs < StatusPeriodNs) return;
    Shown.ShownNs = t;
    Shown.Held = held;
    // On an event jumped to, the line names it while the clock stands there.
    if (held && Classroom.AtEvent && Classroom.AtEvent->Day == Planets.SimTime)
        SetStatusText(EventStatusText(*Classroom.AtEvent), EventStatusShortText(*Classroom.AtEvent));
    // At an end of the sky's span, it says why the clock stands.
    else if (held && AtAnEnd(Planets.SimTime))
        SetStatusText(SkyEndText(TheSky(), Planets.SimTime, Settings.TimeStep, true),
                      SkyEndText(TheSky(), Planets.SimTime, Settings.TimeStep, false));
    else
        SetStatusText(StatusText(Planets.SimTime, Settings.TimeStep, held),
                      StatusShortText(Planets.SimTime, Settings.TimeStep, held));
}

std::string DayText(double simTime, double timeStep) {
    return TheSky().Texts.MomentText(simTime, timeStep);
}

std::string StatusText(double simTime, double timeStep, bool paused) {
    return SkyStatusText(TheSky(), simTime, timeStep, paused);
}

std::string StatusShortText(double simTime, double timeStep, bool paused) {
    return SkyStatusShortText(TheSky(), simTime, timeStep, paused);
}

std::string EventStatusText(const SkyEvent& e) {
    return SkyEventText(TheSky(), e, true);
}

std::string EventStatusShortText(const SkyEvent& e) {
    return SkyEventText(TheSky(), e, false);
}
