// classroom.h — the controls a teacher needs in front of a class: pausing,
// single steps forward and back with their history, the lines of sight, the
// steps a jump or a new layout draws, and the stop at the ends of the sky's
// span; and the main loop's pass that carries them out. The choices that
// ask for them arrive in choices.cpp; these call nothing above them.
#pragma once

#include "app/classroom_state.h"

#include <deque>

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
// shortened so that the clock lands exactly on `day`. Meanwhile
// Classroom.Drawing holds, and choices wait.
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

// The commands "&Anhalten / Weiter", "Schritt &vor" / "Schritt &zurück" and
// "&Sichtlinien ein/aus".
void TogglePause();
// A single step, forward (+1) or back (-1); while the animation runs, the
// first one pauses it.
void AskStep(int direction);
void ToggleSightLines();

// "&Konstruktion ein/aus": the construction of the loop of the moment for
// the one planet shown besides the Earth (Mercury, Venus or Mars), its
// numbers drawn up to the clock; while it is shown and the clock paused, →
// and ← go from number to number. Chosen again, it goes.
void ToggleConstruction();
// Takes the construction away (another choice of planets or system, a
// switch of sky).
void EndConstruction();

// What follows the clock wherever it went: the lines of sight, the
// construction and the sky strip.
void FollowTheClock();
// The clock moved to `day` as a jump moves it: the steps in between drawn as
// the animation draws them, forward so that paths grow on, back so that
// they are gone over again rather than cut by a chord; without paths the way
// back is one step. The steps back and forth are forgotten: from there → and
// ← are one time step each.
void MoveClockTo(double day);
