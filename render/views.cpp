// views.cpp — what works on both views at once: their windows, a step's
// drawing, taking a hidden body out of them, and their picture.
#include "render/render.h"

#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"

#include <algorithm>

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
}

void RemoveBody(int16_t k) {
    SelectWindow(Win_2);
    RemoveHelioBody(k);
    SelectWindow(Win_3);
    RemoveGeoBody(k);
}

void ComposePicture(Image& picture) {
    // Both views where they stand on the screen, on window 0's colour between them.
    const int left = std::min(WindowLeft(Win_2), WindowLeft(Win_3));
    const int top = std::min(WindowTop(Win_2), WindowTop(Win_3));
    const int right = std::max(WindowLeft(Win_2) + WindowWidth(Win_2), WindowLeft(Win_3) + WindowWidth(Win_3));
    const int bottom = std::max(WindowTop(Win_2) + WindowHeight(Win_2), WindowTop(Win_3) + WindowHeight(Win_3));
    picture.Width = std::max(0, right - left);
    picture.Height = std::max(0, bottom - top);
    const uint32_t c = WindowBackground(Win_0);
    const uint32_t gap = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    picture.Pixels.assign(static_cast<std::size_t>(picture.Width) * picture.Height, gap);
    Image view;
    for (int n : {Win_2, Win_3}) {
        CaptureShownWindow(n, view);
        const int x0 = WindowLeft(n) - left, y0 = WindowTop(n) - top;
        const int w = std::min(view.Width, WindowWidth(n)), h = std::min(view.Height, WindowHeight(n));
        for (int y = 0; y < h; ++y)
            std::copy_n(view.Pixels.data() + static_cast<std::size_t>(y) * view.Width, w,
                        picture.Pixels.data() + static_cast<std::size_t>(y0 + y) * picture.Width + x0);
    }
}
