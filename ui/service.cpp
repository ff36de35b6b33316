// service.cpp — clearing the views, and the SERVICE menu's own commands.
#include "ui/ui.h"

#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <string>

void ClearViews() {
    // Window 0 becomes the drawing target in colour pair 3.
    ResetMainWindowColours();
    ClearWindow(Win_2);
    ClearWindow(Win_3);
    ClearWindow(SelectedWindow());
    ClearBackgrounds();
    Views.DrawnFrom = Views.DrawnTo = Planets.SimTime;
    // With only the geocentric view shown, window 0 stays the target.
    if (Settings.SystemMode != 2) SelectWindow(Win_2);
}

void ClearBackgrounds() {
    for (int k = Earth; k <= Sun; ++k) {
        EmptyImage(Images.HelioBackground[k]);
        EmptyImage(Images.GeoBackground[k]);
    }
}

void TestCommand() {
    // The six switches go to the top left of the drawing target, one after the
    // other, so that every "&Test" is seen in the same place.
    TextCursorTo(1, 1);
    for (int k = Earth; k <= Sun; ++k) PrintText(std::to_string(Settings.PlanetOn[k]) + " ");
}
