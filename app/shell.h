// shell.h — the application shell: colour values, the end marker, the text of
// the next message box, the menu table; start-up pieces, quitting, the view
// windows' rebuild and the error report.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>

// Colour values 0x00BBGGRR (red in the lowest byte), fixed at start-up.
struct ColourValues {
    uint32_t ColBlack = 0;      // outlines and text
    uint32_t ColWhite = 0;      // paths and the polygon
    uint32_t ColBlue = 0;       // the title screen
    uint32_t ColCyan = 0;       // Venus
    double ColGreen = 0;        // Mercury; held as a real number, 65280
    uint32_t ColYellow = 0;     // the Sun
    uint32_t ColMagenta = 0;    // background of windows 0 and 1
    uint32_t ColAzure = 0;      // background of windows 2 and 3; drawing in it erases
    uint32_t ColRed = 0;        // Mars
};

// The shell's own program-wide state.
struct ShellState {
    std::string EndMarker;                  // "*" ends the main loop
    std::string MessageText;                // the next message box; "|" ends a line
    std::string CurrentError;               // the failure ReportError shows
    std::array<std::string, 81> MenuItems;  // the menu bar's entries; 0 to 30 used
    int16_t MenuChoice = 0;                 // 1-based position of the chosen item in its menu
    bool CommandRunning = false;            // a menu command is under way
};

extern ColourValues Colours;
extern ShellState Shell;

// Window numbers.
constexpr int Win_0 = 0;  // main window: caption, menu bar
constexpr int Win_1 = 1;  // time-step input, only while a new step is typed
constexpr int Win_2 = 2;  // heliocentric view
constexpr int Win_3 = 3;  // geocentric view

// Reads the screen size, sets the colour values, selects colour pair 1 and
// then blue on white.
void InitScreenAndColours();
// Lays the program out on the screen rectangle, taking room off the top of
// the screen where window 0's menu rows would otherwise lie under the views.
void FitBelowMenuBar();
// The screen changed (a browser page turned or resized): the layout, the
// windows and the discs anew; the views start empty, every setting stays.
void LayOutAgain();
// Opens view window 2 or 3 at its place and size and makes it the drawing target.
void OpenViewWindow(int n);
// The "&Quit" command: the main loop ends after the current pass.
void QuitCommand();
// After the time-step dialog: closes window 1 and puts both views back, empty.
void RebuildViewWindows();
// Shows CurrentError in a box and ends the program after the current pass.
void ReportError();
// Called when the user closes a window by its close box.
void OnWindowClosed(int n);

// Runs a procedure; a failure escaping it goes to ReportError instead of
// ending the program abruptly.
template <class Procedure>
void RunGuarded(Procedure&& procedure) {
    try {
        procedure();
    } catch (const std::exception& e) {
        Shell.CurrentError = e.what();
        ReportError();
    } catch (...) {
        Shell.CurrentError = "unbekannter Fehler";
        ReportError();
    }
}
