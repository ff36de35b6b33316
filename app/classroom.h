// classroom.h — the controls a teacher needs in front of a class: pausing,
// single steps forward and back with their history, lines of sight, and the
// jumps to the moments that explain a loop with the sky strip and the event
// list (sky_events.cpp). They sit in menus of their own after the menu bar's
// five (commands.h); used or not, the five menus work as they always have.
#pragma once

#include "model/sky.h"

#include <cstdint>
#include <deque>
#include <optional>

struct ClassroomState {
    bool Paused = false;
    int PendingSteps = 0;            // single steps asked for while paused: > 0 forward, < 0 back
    bool RedrawPending = false;      // a command may have cleared the views while paused
    bool SightLinesOn = false;
    // The clock before each step, so that a step back lands exactly where
    // the step started, and before each step back, so that stepping forward
    // again lands exactly where the step back started.
    struct Visit {
        double SimTime = 0;
        double TimeStep = 0;         // the step that was taken from there
    };
    std::deque<Visit> Earlier;
    std::deque<Visit> Later;
    int64_t StatusShownNs = 0;       // when the status line was last brought up to date
    bool StatusHeld = true;          // the status line says "angehalten"
    bool Started = false;            // the main loop has taken its first pass
    bool SkyStripOn = false;
    bool LayoutDue = false;          // the strip went on or off: the views are laid out anew before the next pass
    std::optional<SkyEvent> AtEvent; // the event last jumped to; named while the clock stands on it
    // While a jump (or a new layout) draws its steps, a choice waits for its
    // end: the last command of the menus or keys, or the last choice of the
    // menu bar, -1 for none; only one of them is kept.
    bool Drawing = false;
    int DeferredCommand = -1;
    int32_t DeferredMenuItem = -1;
};

extern ClassroomState Classroom;

// The handler of the program's own commands (commands.h), by position: one
// command at a time, none once the program ends, and one chosen while a jump
// draws its steps runs when the jump is done.
void ClassroomMenu(int position);
// Runs the choices that waited for a jump or a new layout to end.
void RunDeferredChoices();
// Called after each of the five menus' commands.
void AfterMenuCommand();
// True once after the strip went on or off: the layout is due (the main loop
// lays the program out anew between two passes).
bool TakeLayoutDue();

// One pass of the main loop's work: a step of the animation while it runs;
// while paused, a single step asked for, or the current state drawn once
// after a command cleared the views. Then the lines of sight, the sky strip
// and the status line follow.
void ClassroomPass();
// Whether the main loop has work without waiting for the next event.
bool ClassroomWaitsForEvents();

// The steps from the clock as it stands to `day`, forward or back, drawn one
// after the other without waiting, as the animation draws them: at most
// MaxDrawnSteps of them, each the time step or longer, the last one
// shortened so that the clock lands exactly on `day`.
constexpr double MaxDrawnSteps = 2000;
void DrawStepsTo(double day);
// After a new layout: the paths drawn since the views were last cleared
// (from day `from` to day `to`, at most the last MaxDrawnSteps time steps of
// them), drawn again up to the clock as it stands at `now`.
void DrawPathsAgain(double from, double to, double now);

// The day a move towards `day` reaches: `day` itself, or the end of the
// sky's span (sky.h) that it would pass.
double WithinTheSky(double day);
// The clock at an end of the sky's span, where a step, a jump or the running
// animation was stopped: it pauses there, the lines of sight, the strip and
// the status line follow, and a box says why.
void StopAtTheEnd();

// Keeps the clock and step a step started from, forgetting the oldest beyond
// what a lesson needs.
void RememberVisit(std::deque<ClassroomState::Visit>& visits, double simTime, double timeStep);

// The commands (commands.cpp calls them).
void TogglePause();
// A single step, forward (+1) or back (-1); while the animation runs, the
// first one pauses it.
void AskStep(int direction);
void ToggleSightLines();
// The next (+1) or previous (-1) event of a shown planet (sky_events.cpp).
void JumpToEvent(int direction);
void ToggleSkyStrip();
void ShowEventList();
