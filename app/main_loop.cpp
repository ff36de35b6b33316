// main_loop.cpp — let events through, take one step, again, until "&Quit".
#include "app/main_loop.h"

#include "app/choices.h"
#include "app/classroom.h"
#include "app/pacing.h"
#include "app/shell.h"

#include "platform/platform.h"

void RunMainLoop(const LoopOptions& options) {
    Pacer pacer;
    StartPacer(pacer, options.StepsPerSecond, SteadyNanoseconds());
    long passes = 0;
    for (;;) {
        // Pending events are delivered here (a menu choice runs its command
        // inside); a paced loop idles in here until the pass is due.
        // Paused, the loop sleeps until something happens.
        if (ClassroomWaitsForEvents())
            WaitForEvents();
        else if (pacer.PeriodNs > 0)
            WaitEventsUntil(pacer.NextPassNs);
        else
            ProcessEvents();
        // A screen that changed for good (a browser page turned), or the
        // sky strip switched, gets the program laid out anew, between two
        // commands and never inside a view's drawing.
        LayOutWhereDue();
        RunGuarded(ClassroomPass);
        if (pacer.PeriodNs > 0) PassDone(pacer, SteadyNanoseconds());
        if (Shell.EndMarker == "*") break;
        if (options.MaxPasses > 0 && ++passes >= options.MaxPasses) break;
    }
}
