// views.cpp — what works on both views at once: their windows, a step's
// drawing, taking a hidden body out of them, and their picture.
#include "render/render.h"

#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"

#include <algorithm>
#include <vector>

void OpenViewWindow(int n) {
    bool helio = n == Win_2;
    OpenWindow(n, static_cast<int>(helio ? Layout.HelioWinLeft : Layout.GeoWinLeft),
               ViewWinTop(helio ? Layout.HelioWinTopBase : Layout.GeoWinTopBase), Layout.ViewWinWidthInt,
               static_cast<int>(Layout.ViewWinHeight));
    SelectWindow(n);
}

void RebuildViewWindows() {
    CloseWindow(Win_1);
    ClearWindow(Win_2);
    ClearWindow(Win_3);
    // The real sky takes nothing of the old drawing away from empty views
    // (the pixels saved under its bodies would bring pieces of paths back).
    Images.HelioDrawn.clear();
    Images.GeoDrawn.clear();
    Views.DrawnFrom = Views.DrawnTo = Planets.SimTime;
    SelectWindow(Win_0);
    OpenViewWindow(Win_3);
    OpenViewWindow(Win_2);
    ClearWindow(SelectedWindow());
}

void DrawStep() {
    // SystemMode is read afresh for each view: a command chosen while the
    // heliocentric view lets events through may change it.
    if (Settings.SystemMode == 1 || Settings.SystemMode == 3) {
        SelectWindow(Win_2);
        DrawHelioView();
    }
    if (Settings.SystemMode == 2 || Settings.SystemMode == 3) {
        SelectWindow(Win_3);
        DrawGeoView();
    }
    KeepPositions();
    Views.DrawnFrom = std::min(Views.DrawnFrom, Planets.SimTime);
    Views.DrawnTo = std::max(Views.DrawnTo, Planets.SimTime);
    ShowViewOverlays();
}

void RemoveBody(int16_t k) {
    SelectWindow(Win_2);
    RemoveHelioBody(k);
    SelectWindow(Win_3);
    RemoveGeoBody(k);
}

void ComposePicture(Image& picture) {
    // Both views where they stand on the screen, on window 0's colour between
    // them, and the sky strip over them while it is shown.
    std::vector<int> windows{Win_2, Win_3};
    if (IsWindowOpen(Win_4)) windows.push_back(Win_4);
    CaptureShownWindows(windows, Win_0, picture);
}
