// shell.cpp — quitting, laying the program out anew and the error report.
#include "app/shell.h"

#include "app/classroom.h"

#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <utility>

namespace {

// A new layout is due before the next pass.
bool LayoutDue = false;

}  // namespace

void AskForNewLayout() {
    LayoutDue = true;
}

bool TakeLayoutDue() {
    return std::exchange(LayoutDue, false);
}

void FitBelowMenuBar() {
    // The sky strip, while it is shown, has a band of its own below the
    // views.
    ReserveScreenBottom(Classroom.SkyStripOn ? SkyStripHeight() : 0);
    // Window 0's caption and menu rows must end above the views' top; where
    // they do not (a small screen, or titles on two rows), the screen
    // rectangle is fitted into what is left below them.
    int reserve = 0;
    for (int tries = 0; tries < 8; ++tries) {
        ReserveScreenTop(reserve);
        SetScreenSize(ScreenWidthPixels(), ScreenHeightPixels());
        LayOutModel();
        const int over = MenuBarBottom() - (ScreenTop() + ViewWinTop(Layout.HelioWinTopBase));
        if (over <= 0) return;
        reserve += over;
    }
}

void LayOutAgain() {
    const double from = Views.DrawnFrom, to = Views.DrawnTo, now = Planets.SimTime;
    FitBelowMenuBar();
    // Window 0 takes the new area; the views their new places and sizes, and
    // the discs their new size. What the views held is gone: they start
    // empty, as after a choice of system, with every setting as it was.
    OpenWindowDefault(Win_0);
    ClearWindow(Win_0);
    SelectWindow(Win_0);
    OpenViewWindow(Win_2);
    SelectWindow(Win_0);
    OpenViewWindow(Win_3);
    BuildDiscImages();
    ClearViews();
    // The bodies where the clock stands, on the new orbits, and the paths
    // the class has watched grow drawn again at the new size.
    PlacePlanets();
    KeepPositions();
    DrawPathsAgain(from, to, now);
}

void QuitCommand() {
    Shell.EndMarker = "*";
}

void ReportError() {
    Shell.EndMarker = "*";
    Shell.MessageText = " Fehler : | " + Shell.CurrentError +
                        " || Wenden Sie sich ggf. an || die Person, die die Computer Ihrer Schule betreut.";
    ShowMessage();
}

void OnWindowClosed(int n) {
    // Window 0's close box ends the program as "&Quit" does. A view window
    // that is closed just goes; the animation runs on.
    if (n == Win_0) QuitCommand();
}
