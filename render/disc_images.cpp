// disc_images.cpp — each body's disc and label, drawn once at start-up and
// captured as an image; during the animation a body is only ever copied.
#include "render/render.h"

#include "model/real_sky.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/view_common.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

BodyImages Images;

namespace {

// How each body looks, in the order the images are made.
struct DiscLook {
    int16_t Body;
    const char* Label;
    uint32_t Fill;      // disc colour (Jupiter: the pattern's strokes, on magenta)
    uint32_t Letters;
    uint32_t Cell;      // behind the letters: the disc's own colour
    bool LabelFirst;    // label before the outline
};

std::array<DiscLook, 6> Looks() {
    const ColourValues& c = Colours;
    const auto green = static_cast<uint32_t>(c.ColGreen);
    return {{
        {Sun, "SO", c.ColYellow, c.ColBlack, c.ColYellow, false},
        {Mercury, "ME", green, c.ColBlack, green, true},
        {Earth, "ER", c.ColBlue, c.ColWhite, c.ColBlue, true},
        {Venus, "VE", c.ColCyan, c.ColBlack, c.ColCyan, false},
        {Mars, "MA", c.ColRed, c.ColWhite, c.ColRed, true},
        {Jupiter, "JU", c.ColBlack, c.ColBlack, c.ColMagenta, true},
    }};
}

}  // namespace

uint32_t DiscColour(int16_t k) {
    for (const DiscLook& look : Looks())
        if (look.Body == k) return look.Cell;
    return Colours.ColBlack;
}

uint32_t ImageColour(uint32_t c) {
    return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

namespace {

// The label's top-left corner lies 9 pixels left of and 7 above the disc's
// centre, so a label 18 pixels wide is centred across; on a sharp screen all
// three are as many device pixels more as the pixel ratio says (`scale`), so
// that the label keeps its size. Take the largest bold "courier" up to that
// width whose cells lie wholly inside the disc.
void ChooseLabelFont(double rx, double ry, double scale) {
    SetFontFace("courier");
    SetFontBold(true);
    const double ax = rx - 1, ay = ry - 1;  // the disc's half-axes
    const double left = -9 * scale, top = -7 * scale;
    for (int size = static_cast<int>(16 * scale); size >= static_cast<int>(6 * scale); --size) {
        SetFontSize(size);
        int width = 0;
        for (const DiscLook& look : Looks()) width = std::max(width, TextWidth(look.Label));
        int height = TextHeight();
        auto inside = [&](double x, double y) { return (x * x) / (ax * ax) + (y * y) / (ay * ay) <= 1.0; };
        double right = left + width - 1, bottom = top + height - 1;
        if (width <= 18 * scale && inside(left, top) && inside(right, top) && inside(left, bottom) &&
            inside(right, bottom))
            return;
    }
}

// A body's disc round (cx, cy), half-axes rx - 1 and ry - 1, into the
// drawing target: solid in its colour (Jupiter's in black bands on magenta),
// then its letters (`label` draws them, in the font set, or nothing) and the
// outline in the body's order. The Earth keeps its white from the label for
// the outline; Mars and Jupiter are outlined in black.
template <typename Label>
void DrawLook(const DiscLook& look, double cx, double cy, double rx, double ry, Label label) {
    const bool jupiter = look.Body == Jupiter;
    SetForeground(look.Fill);
    SetFillPattern(0);
    if (jupiter) {
        SetBackground(Colours.ColMagenta);
        SetFillPattern(8);
    }
    FillEllipse(cx, cy, rx - 1, ry - 1);
    SetForeground(look.Letters);
    SetBackground(look.Cell);
    auto outline = [&] { DrawEllipse(cx, cy, rx - 1, ry - 1); };
    if (look.LabelFirst) {
        label();
        if (look.Body == Mars || jupiter) SetForeground(Colours.ColBlack);
        outline();
    } else {
        outline();
        label();
    }
}

}  // namespace

void BuildDiscImages() {
    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    // The canvas point: (100, 100) in window 3, moved in on screens so large
    // that a disc would not fit there, and on screens so small that window 3
    // ends before it.
    const double cx = std::max(rx + 1, std::min(std::max(100.0, rx + 1), Layout.ViewWinWidthInt - rx - 2));
    const double cy = std::max(ry + 1, std::min(std::max(100.0, ry + 1), Layout.ViewWinHeight - ry - 2));
    const double left = cx - rx - 1, top = cy - ry - 1, right = cx + rx + 1, bottom = cy + ry + 1;

    // Labels keep their size on the screen where the disc has room for them
    // (a disc of 19 pixels' radius, 1024 pixels' width, holds the 18-pixel
    // label); on a small rectangle of a sharp screen they are as large in
    // device pixels as on a plain one, so that their letters stay on the disc.
    const double scale = std::min(PixelRatio(), std::max(1.0, rx / 19.0));
    SetRasterMode(13);
    ChooseLabelFont(rx, ry, scale);
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColWhite);
    SetFillPattern(0);
    ClearWindow(SelectedWindow());
    CaptureImage(left, top, right, bottom, Images.BlankImage[Sun]);

    const std::array<DiscLook, 6> looks = Looks();
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const DiscLook& look = looks[i];
        DrawLook(look, cx, cy, rx, ry, [&] { DrawText(cx - 9 * scale, cy - 7 * scale, look.Label); });
        CaptureImage(left, top, right, bottom, Images.DiscImage[look.Body]);
        // A clean rectangle for the next body.
        if (i + 1 < looks.size()) PutImage(left, top, Images.BlankImage[Sun]);
    }
    for (int16_t k : {Earth, Mercury, Mars, Jupiter, Venus}) Images.BlankImage[k] = Images.BlankImage[Sun];

    ClearWindow(SelectedWindow());
    ResetMainWindowColours();
    MeasureViewLegend();
}

namespace {

// Draws into the drawing target's corner on the views' background, keeps
// what was drawn in the sprite, the pixels not in that background as its
// own, and puts back what was there.
template <typename Draw>
void DrawSprite(int width, int height, Sprite& sprite, Draw draw) {
    // What lies under it is put back with a margin: a bold glyph may reach a
    // pixel or two beyond the width and height its font gives it, and none
    // of that may be left in the view.
    const int margin = height;
    Image under;
    CaptureImage(0, 0, width - 1 + margin, height - 1 + margin, under);
    SetForeground(Colours.ColAzure);
    SetFillPattern(0);
    FillBox(0, 0, width - 1, height - 1);
    draw();
    CaptureImage(0, 0, width - 1, height - 1, sprite.Pixels);
    PutImage(0, 0, under);
    const uint32_t ground = ImageColour(Colours.ColAzure);
    sprite.Own.clear();
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width;) {
            auto own = [&](int c) { return sprite.Pixels.Pixels[static_cast<std::size_t>(row * width + c)] != ground; };
            int end = column;
            while (end < width && own(end)) ++end;
            if (end > column) sprite.Own.push_back({row, column, end - column});
            column = end + 1;
        }
}

}  // namespace

void MakeRealSkyDiscs() {
    std::array<double, 8> now{};
    for (int k = Earth; k <= Sun; ++k) now[k] = RealSkyDiscRadius(k);
    now[7] = PixelRatio();
    if (now == Images.RealMadeFor) return;
    Images.RealMadeFor = now;
    const uint32_t foreground = Foreground(), background = Background();
    const int pattern = FillPattern();
    SetRasterMode(13);
    const int letters = SmallLetterSize();
    for (const DiscLook& look : Looks()) {
        const int k = look.Body, r = static_cast<int>(now[k]);
        Sprite &disc = Images.RealDisc[k], &label = Images.RealLabel[k];
        disc.Left = disc.Top = -r - 1;
        label = Sprite{};
        // A disc of the model's size is the model's own image.
        if (r == Layout.DiscRadiusX && r == Layout.DiscRadiusY) {
            DrawSprite(2 * r + 3, 2 * r + 3, disc, [&] { PutImage(0, 0, Images.DiscImage[k]); });
            continue;
        }
        // A smaller one holds its label centred where letters of the smallest
        // size or larger fit inside its rim, as large as fit up to the
        // model's; else the label stands beside it, black on the view.
        SetFontFace("courier");
        SetFontBold(true);
        const double a = r - 1;
        int size = static_cast<int>(16 * LetterScale());
        for (; size >= letters; --size) {
            SetFontSize(size);
            const double x = TextWidth(look.Label) / 2.0, y = TextHeight() / 2.0;
            if (x * x / (a * a) + y * y / (a * a) <= 1) break;
        }
        const bool inside = size >= letters;
        SetFontSize(inside ? size : letters);
        const int w = TextWidth(look.Label), h = TextHeight();
        DrawSprite(2 * r + 3, 2 * r + 3, disc, [&] {
            DrawLook(look, r + 1, r + 1, r, r, [&] {
                if (inside) DrawText(r + 1 - w / 2, r + 1 - h / 2, look.Label);
            });
        });
        if (inside) continue;
        DrawSprite(w, h, label, [&] {
            SetForeground(Colours.ColBlack);
            SetBackground(Colours.ColAzure);
            DrawText(0, 0, look.Label);
        });
        label.Left = r + 1;
        label.Top = -h / 2;
    }
    SetForeground(foreground);
    SetBackground(background);
    SetFillPattern(pattern);
}
