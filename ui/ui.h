// ui.h — the shell's state, title screen, message boxes, the time-step
// dialog and the service commands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The shell's program-wide state: what the boxes say and the end marker that
// every wait watches, and the menu bar's table and choice, which the
// application's menu fills in.
struct ShellState {
    std::string EndMarker;                  // "*" ends the main loop
    std::string MessageText;                // the next message box; "|" ends a line
    std::string CurrentError;               // the failure ReportError shows
    std::array<std::string, 81> MenuItems;  // the menu bar's entries; 0 to 30 used
    int16_t MenuChoice = 0;                 // 1-based position of the chosen item in its menu
    bool CommandRunning = false;            // a menu command is under way
};

extern ShellState Shell;

// Title screen.
void TitleScreen();
void WaitForKey(int16_t line);

// Message boxes: each shows MessageText.
void ShowMessage();
void ShowInfo();
// The information box's text ("|" ends a line).
std::string InfoText();
void ShowAuthor();

// Time-step dialog.
extern double InputValue;  // what InputNumber read
void TimeStepDialog();
// Window 1 opened for a line to be typed, its letters small enough for
// `columns` characters across; their size.
double OpenInputWindow(std::size_t columns = 34);
void InputNumber(double column, double line, const std::string& prompt, double defaultValue);
// What InputNumber makes of a typed line: the default for an empty or blank
// line; the number for one finite decimal number (spaces around it, a decimal
// comma and a leading "+" allowed) in at most 60 bytes; NaN for anything else.
double LineToNumber(const std::string& typed, double defaultValue);
// The dialog's decision on what InputNumber read: a number becomes the time
// step, a rejected one too, so that it is offered again as the default; NaN
// leaves the time step as it is. True when the value ends the dialog:
// 0 < value < 20.
bool TakeTimeStep(double value, double& timeStep);

// Date dialog: a date for the real sky typed in window 1, "TT.MM.JJJJ" and
// optionally "HH:MM" (local time), with `shown` offered (an empty line takes
// it); a date refused is asked for again, with the reason below the line.
// True with the moment read (days TT since J2000.0); false where Escape or
// the window's close box left the dialog, which changes nothing.
bool DateDialog(double shown, double& moment);

// Clearing step and service commands.
void ClearViews();
void ClearBackgrounds();
void TestCommand();
