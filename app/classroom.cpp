// classroom.cpp — pausing, single steps, lines of sight, the picture and the
// status line.
#include "app/classroom.h"

#include "app/menu.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/decimal.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <new>
#include <utility>

ClassroomState Classroom;

namespace {

// Enough steps back (or forward again) for any lesson: over five minutes of
// animation, 320 kB. Older ones are forgotten, and a step from there is the
// clock plus or minus the step.
constexpr std::size_t MaxVisits = 20'000;
// The status line follows the running clock this often.
constexpr int64_t StatusPeriodNs = 250'000'000;

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

void SingleStep(int direction) {
    const double now = Planets.SimTime;
    if (direction > 0) {
        MoveModelTo(Landing(Classroom.Later, +1));
        RememberVisit(Classroom.Earlier, now, Settings.TimeStep);
    } else {
        MoveModelTo(Landing(Classroom.Earlier, -1));
        RememberVisit(Classroom.Later, now, Settings.TimeStep);
    }
    DrawStep();
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


void SaveThePicture() {
    SavedAs saved = SavedAs::Failed;
    std::string where;
    // A picture too large for the memory left fails alone; the program goes on.
    try {
        Image picture;
        ComposePicture(picture);
        saved = SavePicture(picture, StampedFileName("heliogeo", ".png", LocalTimeText()), where);
    } catch (const std::bad_alloc&) {
        saved = SavedAs::Failed;
        where = "zu wenig Speicher";
    }
    TellWhereSaved("Das Bild", saved, where);
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

}  // namespace

void RememberVisit(std::deque<ClassroomState::Visit>& visits, double simTime, double timeStep) {
    if (visits.size() >= MaxVisits) visits.pop_front();
    visits.push_back({simTime, timeStep});
}

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where) {
    // The box's lines as they are: a "|" in a folder's name is no line's end.
    switch (saved) {
        case SavedAs::File: MessageBoxLines({what + " ist gespeichert: ", " ", " " + where}); break;
        case SavedAs::Download: MessageBoxLines({what + " wird heruntergeladen: ", " ", " " + where}); break;
        case SavedAs::Failed: MessageBoxLines({what + " ließ sich nicht speichern: " + where}); break;
    }
}

void InstallClassroomMenu() {
    // Pausing and single steps, the commands used most in front of a class,
    // get a button each on a touch screen: previous event, back, pause,
    // forward, next event.
    InstallCommandMenus({{"EXTRAS |",
                          {
                              {"&Anhalten / Weiter", "Space", "Leertaste", 2, "\u275A\u275A / \u25B6"},
                              {"Schritt &vor", "Right", "\u2192", 3, "\u25B6|"},
                              {"Schritt &zurück", "Left", "\u2190", 1, "|\u25C0"},
                              {"&Sichtlinien ein/aus", "S", "S", -1, ""},
                              {"&Bild speichern", "Ctrl+S", "Strg+S", -1, ""},
                          }},
                         EventsMenuItems()},
                        ClassroomMenu);
    // Room for the widest lines of a long lesson, an event's name included.
    auto wider = [](const std::string& a, const std::string& b) { return a.size() >= b.size() ? a : b; };
    const SkyEvent widestEvent{8'888'888.888, Mercury, EventKind::GreatestWestElongation};
    SetStatusRoom(wider(StatusText(8'888'888.888, 8.88888, true), EventStatusText(widestEvent)),
                  wider(StatusShortText(8'888'888.888, 8.88888, true), EventStatusShortText(widestEvent)));
    UpdateStatusLine(true);
}

void ShowStatusLine() {
    UpdateStatusLine(true);
}

namespace {

void RunCommand(int item) {
    Shell.CommandRunning = true;
    UpdateStatusLine(true);
    RunGuarded([item] {
        switch (item) {
            case PauseResume: TogglePause(); break;
            case StepForward: AskStep(+1); break;
            case StepBack: AskStep(-1); break;
            case SightLines:
                Classroom.SightLinesOn = !Classroom.SightLinesOn;
                ShowSightLines(Classroom.SightLinesOn);
                break;
            case SavePictureCommand: SaveThePicture(); break;
            default:
                if (item >= EventsMenuFirst) EventsMenu(item - EventsMenuFirst);
                break;
        }
    });
    Shell.CommandRunning = false;
}

}  // namespace

void ClassroomMenu(int item) {
    // A key pressed while a jump draws its steps is not lost: the last one
    // runs when the jump is done.
    if (Classroom.Drawing) {
        Classroom.DeferredCommand = item;
        Classroom.DeferredMenuItem = -1;
        return;
    }
    // As with the other menus: one command at a time, none once the program ends.
    if (Shell.CommandRunning || Shell.EndMarker == "*") return;
    RunCommand(item);
    RunDeferredChoices();
    UpdateStatusLine(true);
}

void RunDeferredChoices() {
    while (!Classroom.Drawing && Shell.EndMarker != "*") {
        if (Classroom.DeferredCommand >= 0) {
            const int item = std::exchange(Classroom.DeferredCommand, -1);
            RunCommand(item);
        } else if (Classroom.DeferredMenuItem >= 0) {
            int32_t item = std::exchange(Classroom.DeferredMenuItem, -1);
            MenuBarChoice(item);
        } else {
            return;
        }
    }
}

bool TakeLayoutDue() {
    return std::exchange(Classroom.LayoutDue, false);
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

void AfterMenuCommand() {
    // What a command cleared is drawn again at once while the clock stands.
    if (Classroom.Paused) Classroom.RedrawPending = true;
    // The views may have been opened again (the time-step dialog, a new
    // layout): the strip goes back below them, or goes once it is off.
    if (Classroom.SkyStripOn) ShowSkyStrip(true);
    else if (IsWindowOpen(Win_4)) ShowSkyStrip(false);
}

void ClassroomPass() {
    Classroom.Started = true;
    if (!Classroom.Paused) {
        RememberVisit(Classroom.Earlier, Planets.SimTime, Settings.TimeStep);
        Classroom.Later.clear();
        AnimationStep();
    } else if (Classroom.PendingSteps != 0) {
        const int direction = Classroom.PendingSteps > 0 ? 1 : -1;
        Classroom.PendingSteps -= direction;
        Classroom.RedrawPending = false;
        SingleStep(direction);
    } else if (Classroom.RedrawPending) {
        Classroom.RedrawPending = false;
        MoveModelTo(Planets.SimTime);
        DrawStep();
    } else {
        return;
    }
    if (Classroom.SightLinesOn) ShowSightLines(true);
    if (Classroom.SkyStripOn) DrawSkyStrip();
    UpdateStatusLine(Classroom.Paused);
}

bool ClassroomWaitsForEvents() {
    return Classroom.Paused && Classroom.PendingSteps == 0 && !Classroom.RedrawPending;
}

namespace {

// The time step as the status line shows it: six significant digits keep the
// line short whatever was typed (19.999999999999996 is shown as 20).
std::string StepText(double timeStep) {
    return GermanDecimalText(timeStep, 6);
}

}  // namespace

std::string DayText(double simTime, double timeStep) {
    // Two places, as an event's day has; more where the time step has more
    // (six at most, as the step is shown).
    const std::string step = StepText(timeStep);
    const std::size_t comma = step.find(',');
    const int places = step.find('e') != std::string::npos ? 6
                       : comma == std::string::npos        ? 2
                                                           : std::clamp(static_cast<int>(step.size() - comma - 1), 2, 6);
    return MomentText(simTime, places);
}

std::string StatusText(double simTime, double timeStep, bool paused) {
    return DayText(simTime, timeStep) + "   Zeitschritt " + StepText(timeStep) + " d   " +
           (paused ? "angehalten" : "läuft");
}

std::string StatusShortText(double simTime, double timeStep, bool paused) {
    return DayText(simTime, timeStep) + "   " + (paused ? "angehalten" : "läuft");
}

std::string StampedFileName(const std::string& stem, const std::string& extension, const std::string& localTime) {
    // "2026-12-08 14:30:05" becomes "-2026-12-08-143005".
    std::string name = stem + "-";
    for (char ch : localTime) {
        if (ch == ' ') name += '-';
        else if (ch != ':') name += ch;
    }
    return name + extension;
}
