// shell.h — the application shell: start-up pieces, quitting, laying the
// program out anew, and the error report.
#pragma once

#include "ui/ui.h"

#include <exception>

// Lays the program out on the screen rectangle, taking room off the top of
// the screen where window 0's menu rows would otherwise lie under the views.
void FitBelowMenuBar();
// The screen changed (a browser page turned or resized): the layout, the
// windows and the discs anew; the views start empty, every setting stays.
void LayOutAgain();
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
