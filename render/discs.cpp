// discs.cpp — putting a body's disc into a view and taking it away again.
//
// Each view keeps, per body, the pixels it last saved under that body's disc
// rectangle; erasing puts them back (or, while the polygon is on, a plain
// azure rectangle, since the saved pixels may hold old polygon lines).
#include "render/render.h"

#include "model/state.h"
#include "platform/platform.h"

#include <cmath>

namespace {

// The rectangle a disc image covers, corners included; not rounded.
struct DiscRect {
    double Left, Top, Right, Bottom;
};

DiscRect RectAround(double x, double y, double rx, double ry) {
    return {x - rx - 1, y - ry - 1, x + rx + 1, y + ry + 1};
}

// Every edge within the screen, measured in the view window's coordinates
// against the whole screen's size. An edge is judged by the pixel it lies on
// (edges on pixel 0 or on the size pass), so a centre and the whole number
// below it, which cover the same pixels, always get the same answer.
bool OnScreen(const DiscRect& r) {
    const double sw = ScreenWidthPixels(), sh = ScreenHeightPixels();
    auto across = [sw](double v) { return v >= 0 && std::floor(v) <= sw; };
    auto down = [sh](double v) { return v >= 0 && std::floor(v) <= sh; };
    return across(r.Left) && across(r.Right) && down(r.Top) && down(r.Bottom);
}

bool IsBody(int16_t k) { return k >= Earth && k <= Sun; }

// The saved background of body k in window w; none for other windows.
Image* SavedBackground(int16_t k, int16_t w) {
    if (w == Win_2) return &Images.HelioBackground[k];
    if (w == Win_3) return &Images.GeoBackground[k];
    return nullptr;
}

}  // namespace

bool DiscOnScreen(double x, double y, double rx, double ry) {
    return OnScreen(RectAround(x, y, rx, ry));
}

void DrawDisc(double x, double y, double rx, double ry, int16_t k, int16_t w) {
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColWhite);
    DiscRect r = RectAround(x, y, rx, ry);
    if (IsBody(k) && OnScreen(r)) {
        if (Image* saved = SavedBackground(k, w)) CaptureImage(r.Left, r.Top, r.Right, r.Bottom, *saved);
        SetRasterMode(13);
        PutImage(r.Left, r.Top, Images.DiscImage[k]);
    }
    SetRasterMode(0);
}

void EraseDisc(double x, double y, double rx, double ry, int16_t k, int16_t w) {
    SetRasterMode(1);
    DiscRect r = RectAround(x, y, rx, ry);
    if (IsBody(k) && OnScreen(r)) {
        // Only the two views have discs to take away.
        if (Image* saved = SavedBackground(k, w))
            PutImage(r.Left, r.Top, Settings.PolygonOn < 0 ? *saved : Images.BlankImage[k]);
    }
    SetRasterMode(0);
}

void SaveBackground(double x, double y, double rx, double ry, int16_t k, int16_t w) {
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColWhite);
    SetRasterMode(13);
    DiscRect r = RectAround(x, y, rx, ry);
    if (IsBody(k) && OnScreen(r))
        if (Image* saved = SavedBackground(k, w)) CaptureImage(r.Left, r.Top, r.Right, r.Bottom, *saved);
    SetRasterMode(0);
}
