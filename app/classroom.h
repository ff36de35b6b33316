// classroom.h — the controls a teacher needs in front of a class: pausing,
// single steps forward and back, lines of sight, saving the picture, and the
// status line with the simulated day. They sit in a menu of their own after
// the menu bar's five; used or not, the five menus work as they always have.
#pragma once

#include "model/sky.h"
#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

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

// The extra menus' entries, in the order the handler numbers them: EXTRAS's,
// then EREIGNISSE's from EventsMenuFirst on.
enum ClassroomCommand : int { PauseResume = 0, StepForward = 1, StepBack = 2, SightLines = 3, SavePictureCommand = 4 };
constexpr int EventsMenuFirst = 5;

// Installs the menus "EXTRAS |" and "EREIGNISSE |" after the menu bar's own menus.
void InstallClassroomMenu();
// The menu's handler: a command by its position in the menu.
void ClassroomMenu(int item);
// Called after each of the five menus' commands.
void AfterMenuCommand();
// True once after the strip went on or off: the layout is due (the main loop
// lays the program out anew between two passes).
bool TakeLayoutDue();
// Runs the choices that waited for a jump or a new layout to end.
void RunDeferredChoices();
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
// The status line brought up to date at once (a command holds the animation).
void ShowStatusLine();

// One pass of the main loop's work: a step of the animation while it runs;
// while paused, a single step asked for, or the current state drawn once
// after a command cleared the views. Then the lines of sight and the status
// line follow.
void ClassroomPass();
// Whether the main loop has work without waiting for the next event.
bool ClassroomWaitsForEvents();

// The status line's text: "Tag 812,5   Zeitschritt 0,5 d   angehalten", and
// its short form for a narrow menu bar: "Tag 812,5   angehalten". The day
// has two decimals, more where the time step has more, without trailing
// zeros: "Tag 806,15", "Tag 813".
std::string StatusText(double simTime, double timeStep, bool paused);
std::string StatusShortText(double simTime, double timeStep, bool paused);
std::string DayText(double simTime, double timeStep);
// A saved file's name with the local time in it: ("heliogeo", ".png") at
// "2026-12-08 14:30:05" is "heliogeo-2026-12-08-143005.png".
std::string StampedFileName(const std::string& stem, const std::string& extension, const std::string& localTime);
// The local time as StampedFileName takes it.
std::string LocalTimeText();
// The box that says where a saved file went, or why nothing was saved;
// `what` names it ("Das Bild", "Die Ereignisliste").
void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where);

// Keeps the clock and step a step started from, forgetting the oldest beyond
// what a lesson needs.
void RememberVisit(std::deque<ClassroomState::Visit>& visits, double simTime, double timeStep);

// The menu "EREIGNISSE |" (sky_events.cpp): next and previous event, the sky
// strip, the list of coming events and its file.
CommandMenu EventsMenuItems();
// Its handler, by the item's position in it.
void EventsMenu(int item);
// The status line on an event reached: "Tag 806,15   Mars: Opposition", and
// its short form: "Tag 806,15   Opposition".
std::string EventStatusText(const SkyEvent& e);
std::string EventStatusShortText(const SkyEvent& e);
