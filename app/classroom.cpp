// classroom.cpp — pausing, single steps and their history, the lines of
// sight, the steps a jump or a new layout draws, and the main loop's pass.
#include "app/classroom.h"

#include "app/animation.h"
#include "app/status_line.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Enough steps back (or forward again) for any lesson: over five minutes of
// animation, 320 kB. Older ones are forgotten, and a step from there is the
// clock plus or minus the step.
constexpr std::size_t MaxVisits = 20'000;

// Where a step lands: where the last step the other way started, if it was
// taken with the time step as it is now; else the clock plus or minus the
// time step.
double Landing(std::deque<ClassroomState::Visit>& visits, double direction) {
    const double dt = Settings.TimeStep;
    if (!visits.empty() && visits.back().TimeStep == dt) {
        const double t = visits.back().SimTime;
        visits.pop_back();
        return t;
    }
    visits.clear();
    return Planets.SimTime + direction * dt;
}

// A single step; false where an end of the sky's span stopped it: it lands
// on the end, or stays there.
bool SingleStep(int direction) {
    const double now = Planets.SimTime;
    // With the construction shown, from number to number while there is one.
    if (Classroom.Construction) {
        const LoopConstruction& c = *Classroom.Construction;
        const int number = direction > 0 ? NextNumber(c, now) : PreviousNumber(c, now);
        if (number > 0) {
            MoveClockTo(c.Moments[static_cast<std::size_t>(number - 1)]);
            return true;
        }
    }
    auto& ahead = direction > 0 ? Classroom.Later : Classroom.Earlier;
    auto& behind = direction > 0 ? Classroom.Earlier : Classroom.Later;
    const double landing = Landing(ahead, direction), day = WithinTheSky(landing);
    if (day != landing && day == now) return false;
    MoveModelTo(day);
    RememberVisit(behind, now, Settings.TimeStep);
    DrawStep();
    return day == landing;
}

}  // namespace

double WithinTheSky(double day) {
    const SkySpan span = TheSky().Events.Span();
    return std::clamp(day, span.First, span.Last);
}

void StopAtTheEnd() {
    Classroom.Paused = true;
    Classroom.PendingSteps = 0;
    Classroom.RedrawPending = false;
    Classroom.AtEvent.reset();
    FollowTheClock();
    UpdateStatusLine(true);
    MessageBox("Angehalten: " + TheSky().Events.Span().Why + ".");
}

void RememberVisit(std::deque<ClassroomState::Visit>& visits, double simTime, double timeStep) {
    if (visits.size() >= MaxVisits) visits.pop_front();
    visits.push_back({simTime, timeStep});
}

void TogglePause() {
    Classroom.Paused = !Classroom.Paused;
    Classroom.PendingSteps = 0;
}

void AskStep(int direction) {
    // While the animation runs, the first step key stops it where it is.
    if (!Classroom.Paused) {
        Classroom.Paused = true;
        Classroom.PendingSteps = 0;
        return;
    }
    // A key held down asks faster than steps are drawn: a few are kept.
    Classroom.PendingSteps = std::clamp(Classroom.PendingSteps + direction, -4, 4);
}

void ToggleSightLines() {
    Classroom.SightLinesOn = !Classroom.SightLinesOn;
    ShowSightLines(Classroom.SightLinesOn);
}

void ToggleConstruction() {
    if (Classroom.Construction) {
        EndConstruction();
        return;
    }
    // One planet besides the Earth, whose loop is large enough to draw
    // against the Earth's orbit.
    int body = 0, shown = 0;
    for (int k = Mercury; k <= Jupiter; ++k)
        if (Settings.PlanetOn[k] == 1) body = k, ++shown;
    if (shown != 1 || body == Jupiter) {
        MessageBox("Zeigen Sie dazu nur einen Planeten: PLANETEN \u201Enur Erde-Sonne\u201C, dann "
                   "\u201EMerkur ein/aus\u201C, \u201EVenus ein/aus\u201C oder \u201EMars ein/aus\u201C.");
        return;
    }
    LoopConstruction c = ConstructionOfMoment(body, Planets.SimTime);
    if (c.Moments.empty()) {
        MessageBox("F\u00FCr diese Schleife reicht der Himmel nicht: " + TheSky().Events.Span().Why + ".");
        return;
    }
    Classroom.Construction = std::move(c);
    // Its numbers up to the clock at once; the clock stays.
    ShowConstruction(&*Classroom.Construction, Planets.SimTime);
}

void EndConstruction() {
    if (!Classroom.Construction) return;
    Classroom.Construction.reset();
    ShowConstruction(nullptr, Planets.SimTime);
}

void FollowTheClock() {
    if (Classroom.SightLinesOn) ShowSightLines(true);
    if (Classroom.Construction) ShowConstruction(&*Classroom.Construction, Planets.SimTime);
    if (Classroom.SkyStripOn) DrawSkyStrip();
}

void MoveClockTo(double day) {
    Classroom.Earlier.clear();
    Classroom.Later.clear();
    const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 7;
    if (day > Planets.SimTime || paths) {
        DrawStepsTo(day);
    } else {
        MoveModelTo(day);
        DrawStep();
    }
}

void DrawStepsTo(double day) {
    const double from = Planets.SimTime, span = day - from;
    const double step = std::max(Settings.TimeStep, std::abs(span) / MaxDrawnSteps);
    const double direction = span < 0 ? -1 : 1;
    const bool drawing = std::exchange(Classroom.Drawing, true);
    // Each step from the start, not from the last one, so that no rounding
    // adds up over the steps.
    for (long i = 1; i * step < std::abs(span); ++i) {
        MoveModelTo(from + direction * static_cast<double>(i) * step);
        DrawStep();
        // The window closed meanwhile: the program ends, the steps with it.
        if (Shell.EndMarker == "*") break;
    }
    if (Shell.EndMarker != "*") {
        MoveModelTo(day);
        DrawStep();
    }
    Classroom.Drawing = drawing;
}

void DrawPathsAgain(double from, double to, double now) {
    // Only paths need their past; discs and the polygon stand where the
    // clock does.
    const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 7;
    if (Settings.SystemMode == 0 || !paths) return;
    from = std::max(from, to - MaxDrawnSteps * Settings.TimeStep);
    if (!(from < to)) return;
    MoveModelTo(from);
    KeepPositions();
    DrawStepsTo(to);
    if (now != to) DrawStepsTo(now);
}

void ClassroomPass() {
    Classroom.Started = true;
    if (!Classroom.Paused) {
        // The step that would pass the end of the sky's span is shortened to
        // land on it, and the clock stops there.
        const double next = Planets.SimTime + Settings.TimeStep, end = WithinTheSky(next);
        if (end != next) {
            if (end != Planets.SimTime) {
                RememberVisit(Classroom.Earlier, Planets.SimTime, Settings.TimeStep);
                Classroom.Later.clear();
                MoveModelTo(end);
                DrawStep();
            }
            StopAtTheEnd();
            return;
        }
        RememberVisit(Classroom.Earlier, Planets.SimTime, Settings.TimeStep);
        Classroom.Later.clear();
        AnimationStep();
    } else if (Classroom.PendingSteps != 0) {
        const int direction = Classroom.PendingSteps > 0 ? 1 : -1;
        Classroom.PendingSteps -= direction;
        Classroom.RedrawPending = false;
        if (!SingleStep(direction)) {
            StopAtTheEnd();
            return;
        }
    } else if (Classroom.RedrawPending) {
        Classroom.RedrawPending = false;
        MoveModelTo(Planets.SimTime);
        DrawStep();
    } else {
        return;
    }
    FollowTheClock();
    UpdateStatusLine(Classroom.Paused);
}

bool ClassroomWaitsForEvents() {
    return Classroom.Paused && Classroom.PendingSteps == 0 && !Classroom.RedrawPending;
}
