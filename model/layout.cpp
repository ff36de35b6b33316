// layout.cpp — every pixel size and position, derived from the screen size.
#include "model/layout.h"

#include "model/state.h"

#include <algorithm>
#include <cmath>

int32_t ScaleX(int32_t n) {
    return n * static_cast<int32_t>(Layout.ScreenWidth) / Layout.GridWidth;
}

int32_t ScaleY(int32_t n) {
    return n * static_cast<int32_t>(Layout.ScreenHeight) / Layout.GridHeight;
}

void SetScreenSize(int width, int height) {
    Layout.ScreenWidth = static_cast<int16_t>(std::clamp(width, 0, 32767));
    Layout.ScreenHeight = static_cast<int16_t>(std::clamp(height, 0, 32767));
    Layout.GridWidth = 320;
    Layout.GridHeight = 200;
    Layout.ScaleXFactor = Layout.ScreenWidth / 320.0;
    Layout.ScaleYFactor = Layout.ScreenHeight / 200.0;
}

void ComputeLayout() {
    ScreenLayout& l = Layout;
    l.HelioWinLeft = ScaleX(5);
    l.GeoWinLeft = ScaleX(161);
    l.HelioWinTopBase = ScaleY(2);
    l.GeoWinTopBase = ScaleY(2);
    l.ViewWinWidth = ScaleX(154);
    l.ViewWinWidthInt = ScaleX(154);
    l.ViewWinHeight = ScaleY(175) + l.CaptionAllowance;
    l.HelioCentreX = ScaleX(80);
    l.HelioCentreY = ScaleY(87);
    l.GeoCentreX = ScaleX(80);
    l.GeoCentreY = static_cast<int16_t>(ScaleY(87));
    l.DiscRadiusX = ScaleX(6);
    l.DiscRadiusY = ScaleY(6) * Planets.FlattenFactor;
}

void FinishLayout() {
    // Window 1 is at least 314 pixels wide, for its prompt, but never wider
    // than the screen it is shown on.
    Layout.InputWinWidthBase = std::min(std::max(ScaleX(158), 314), static_cast<int32_t>(Layout.ScreenWidth));
    Layout.DiscRadiusX = std::round(Layout.DiscRadiusX);
    Layout.DiscRadiusY = std::round(Layout.DiscRadiusY);
}

int32_t ViewWinTop(double topBase) {
    // The grid applies ScaleY to a margin already in pixels, so it grows
    // with the square of the height: from about 1 540 pixels on the views
    // would run past the foot of the screen, and below about 500 the two
    // fixed caption allowances take them past it. There the margin is the
    // largest that lets them end at the foot; in between the formula stands
    // as it is.
    const int32_t top = ScaleY(static_cast<int32_t>(topBase) + 5) + Layout.CaptionAllowance;
    const auto fits = static_cast<int32_t>(Layout.ScreenHeight - Layout.ViewWinHeight);
    return std::max<int32_t>(0, std::min(top, fits));
}
