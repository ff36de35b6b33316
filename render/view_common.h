// view_common.h — what the two views share.
#pragma once

#include "model/state.h"
#include "platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// A window y as the 16-bit whole number the views draw discs and path ends
// at: the row the real y lies in (truncated, for the y >= 0 where discs are
// drawn at all). The platform puts a real y on that same row, so a disc drawn
// at this y and erased next step at the real y covers the same pixels, and
// both pass or both fail the screen test.
inline int16_t ToPixelRow(double y) {
    double r = std::floor(y);
    return static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
}

// The views' small letters (the real sky's legend, a label beside a disc too
// small to hold it): 9 pixels at least at a pixel ratio of 1, larger with the
// discs on a large screen; margins grow with them by LetterScale.
inline double LetterScale() {
    return std::min(PixelRatio(), std::max(1.0, Layout.DiscRadiusX / 19.0));
}
inline int SmallLetterSize() {
    return static_cast<int>(std::max(std::lround(9 * PixelRatio()), std::lround(10 * LetterScale())));
}

// Where the ray from (ex, ey) through (px, py) leaves the rectangle
// 0 .. width-1 x 0 .. height-1 (the lines of sight and the construction's
// lines end there, before the planet where it stands at the edge or beyond);
// false if it starts outside or has no direction.
inline bool RayExit(double ex, double ey, double px, double py, double width, double height, double& x, double& y) {
    const double dx = px - ex, dy = py - ey;
    if (dx == 0 && dy == 0) return false;
    if (ex < 0 || ey < 0 || ex > width - 1 || ey > height - 1) return false;
    double t = 1e300;
    if (dx > 0) t = std::min(t, (width - 1 - ex) / dx);
    if (dx < 0) t = std::min(t, -ex / dx);
    if (dy > 0) t = std::min(t, (height - 1 - ey) / dy);
    if (dy < 0) t = std::min(t, -ey / dy);
    x = std::clamp(ex + t * dx, 0.0, width - 1);
    y = std::clamp(ey + t * dy, 0.0, height - 1);
    return true;
}

// What a step draws, as the settings say.
struct StepParts {
    bool Polygon;  // the polygon, erased and drawn anew (planets only, polygon on)
    bool Discs;    // the bodies' discs (planets only, planets and paths)
    bool Paths;    // a path segment per body (paths only, planets and paths)
};

inline StepParts PartsToDraw() {
    const DisplaySettings& s = Settings;
    return {s.DrawMode == 6 && s.PolygonOn > 0, s.DrawMode == 6 || s.DrawMode == 7, s.DrawMode == 5 || s.DrawMode == 7};
}

// Solid lines of the given width, drawn by copying.
inline void SolidLines(int width) {
    SetLineStyle(1);
    SetLineWidth(width);
    SetRasterMode(13);
}

// Puts a just-hidden body's saved background back at its new and its old
// place, with the corner at centre - radius, wherever the centre lies low
// enough for a whole disc.
inline void PutBackSaved(double oldX, double oldY, double newX, int16_t newY, const Image& saved) {
    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    if (newY > ry + 1) PutImage(newX - rx, newY - ry, saved);
    if (oldY > ry + 1) PutImage(oldX - rx, oldY - ry, saved);
}
