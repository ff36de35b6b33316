// shell.h — the application shell: start-up pieces, quitting, laying the
// program out anew, and the error report.
#pragma once

#include "ui/ui.h"

#include <exception>

// Lays the program out on the screen rectangle, taking room off the top of
// the screen where window 0's menu rows would otherwise lie under the views,
// and off its foot for the sky strip while it is shown.
void FitBelowMenuBar();
// The screen changed (a browser page turned or resized), or the sky strip
// went on or off: the layout, the windows and the discs anew; every setting
// stays, and the paths drawn since the views were last cleared are drawn
// again at the new size.
void LayOutAgain();
// The strip went on or off: the program is laid out anew between two passes
// of the main loop; TakeLayoutDue says so once.
void AskForNewLayout();
bool TakeLayoutDue();
// The "&Quit" command: the main loop ends after the current pass.
void QuitCommand();
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
