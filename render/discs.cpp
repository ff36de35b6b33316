// discs.cpp — putting a body's disc into a view and taking it away again.
//
// Each view keeps, per body, the pixels it last saved under that body's disc
// rectangle; erasing puts them back (or, while the polygon is on, a plain
// azure rectangle, since the saved pixels may hold old polygon lines).
#include "render/render.h"

#include "model/state.h"
#include "platform/platform.h"
#include "render/view_common.h"

#include <algorithm>
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

namespace {

struct Box {
    int Left = 0, Top = 0, Right = -1, Bottom = -1;  // both corners included; Right < Left: none
    bool Meets(const Box& b) const {
        return Right >= Left && b.Right >= b.Left && Left <= b.Right && b.Left <= Right && Top <= b.Bottom &&
               b.Top <= Bottom;
    }
};

Box SpriteBox(const Sprite& s, int x, int y) {
    return {x + s.Left, y + s.Top, x + s.Left + s.Pixels.Width - 1, y + s.Top + s.Pixels.Height - 1};
}

// Puts the sprite's own pixels into the image whose corner stands at
// (left, top).
void Overlay(Image& into, int left, int top, const Sprite& s, int x, int y) {
    const int dx = x + s.Left - left, dy = y + s.Top - top;
    for (const Sprite::Run& run : s.Own) {
        const uint32_t* from = s.Pixels.Pixels.data() + run.Row * s.Pixels.Width + run.Column;
        std::copy(from, from + run.Length, into.Pixels.data() + (dy + run.Row) * into.Width + dx + run.Column);
    }
}

}  // namespace

void TakeAwayRealSkyBodies(int16_t w) {
    std::vector<int16_t>& drawn = w == Win_2 ? Images.HelioDrawn : Images.GeoDrawn;
    const auto& placed = w == Win_2 ? Images.HelioPlaced : Images.GeoPlaced;
    for (auto k = drawn.rbegin(); k != drawn.rend(); ++k)
        if (Image* saved = SavedBackground(*k, w)) PutImage(placed[*k][0], placed[*k][1], *saved);
    drawn.clear();
}

void PutRealSkyBodies(int16_t w, const std::vector<int16_t>& bodies, const std::array<double, 7>& x,
                      const std::array<double, 7>& y) {
    MakeRealSkyDiscs();
    std::vector<int16_t>& drawn = w == Win_2 ? Images.HelioDrawn : Images.GeoDrawn;
    auto& placed = w == Win_2 ? Images.HelioPlaced : Images.GeoPlaced;
    // Each body's centre pixel and its disc inside the rim.
    std::array<int, 7> cx{}, cy{};
    std::array<Box, 7> disc{}, label{};
    for (int16_t k : bodies) {
        cx[k] = static_cast<int>(std::clamp(std::floor(x[k]), -1e6, 1e6));
        cy[k] = static_cast<int>(std::clamp(std::floor(y[k]), -1e6, 1e6));
        const Box box = SpriteBox(Images.RealDisc[k], cx[k], cy[k]);
        disc[k] = {box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2};
    }
    // The labels beside their discs, from the body farthest out inward: right
    // of the disc, else left of it, wherever that lies in the view clear of
    // every other disc and of the labels placed before; else the label gives
    // way.
    for (int16_t k : {Jupiter, Mars, Earth, Venus, Mercury, Sun}) {
        Sprite& l = Images.RealLabel[k];
        if (l.Pixels.Width == 0 || std::find(bodies.begin(), bodies.end(), k) == bodies.end()) continue;
        const int r = -Images.RealDisc[k].Left - 1;
        for (int left : {r + 1, -r - 1 - l.Pixels.Width}) {
            l.Left = left;
            const Box box = SpriteBox(l, cx[k], cy[k]);
            const bool clear = box.Left >= 0 && box.Right < WindowWidth(w) &&
                               std::none_of(bodies.begin(), bodies.end(), [&](int16_t other) {
                                   return other != k && (box.Meets(disc[other]) || box.Meets(label[other]));
                               });
            if (clear) {
                label[k] = box;
                break;
            }
        }
    }
    // Each body over what lies there: its disc and kept label over the
    // pixels saved under both.
    static Image composed;
    for (int16_t k : bodies) {
        Image* saved = SavedBackground(k, w);
        if (saved == nullptr) continue;
        Box box = SpriteBox(Images.RealDisc[k], cx[k], cy[k]);
        const bool labelled = label[k].Right >= label[k].Left;
        if (labelled)
            box = {std::min(box.Left, label[k].Left), std::min(box.Top, label[k].Top),
                   std::max(box.Right, label[k].Right), std::max(box.Bottom, label[k].Bottom)};
        CaptureImage(box.Left, box.Top, box.Right, box.Bottom, *saved);
        if (IsEmptyImage(*saved)) continue;
        composed = *saved;
        Overlay(composed, box.Left, box.Top, Images.RealDisc[k], cx[k], cy[k]);
        if (labelled) Overlay(composed, box.Left, box.Top, Images.RealLabel[k], cx[k], cy[k]);
        SetRasterMode(13);
        PutImage(box.Left, box.Top, composed);
        placed[k] = {box.Left, box.Top};
        drawn.push_back(k);
    }
    SetRasterMode(0);
}

void StepRealSkyView(int16_t w, int16_t fixed, int16_t first, int16_t last, const std::array<double, 7>& prevX,
                     const std::array<double, 7>& prevY, const std::array<double, 7>& x,
                     const std::array<double, 7>& y, PolygonThrough polygon) {
    const StepParts draw = PartsToDraw();
    TakeAwayRealSkyBodies(w);
    SolidLines(3);
    if (draw.Polygon) {
        SetForeground(Colours.ColAzure);
        polygon(prevX, prevY);
    }
    SolidLines(1);
    SetForeground(Colours.ColWhite);
    static std::vector<int16_t> bodies;
    bodies.assign({fixed});
    for (int16_t k = first; k <= last; ++k) {
        if (Settings.PlanetOn[k] != 1) continue;
        if (draw.Paths) DrawLine(prevX[k], prevY[k], x[k], y[k]);
        if (draw.Discs) bodies.push_back(k);
    }
    PutRealSkyBodies(w, bodies, x, y);
    if (draw.Polygon) {
        SetForeground(Colours.ColWhite);
        polygon(x, y);
    }
}
