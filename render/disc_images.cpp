// disc_images.cpp — each body's disc and label, drawn once at start-up and
// captured as an image; during the animation a body is only ever copied.
#include "render/render.h"

#include "model/state.h"
#include "platform/platform.h"

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
        bool jupiter = look.Body == Jupiter;
        // The disc: solid in its colour; Jupiter's in black bands on magenta.
        SetForeground(look.Fill);
        SetFillPattern(0);
        if (jupiter) {
            SetBackground(Colours.ColMagenta);
            SetFillPattern(8);
        }
        FillEllipse(cx, cy, rx - 1, ry - 1);
        // Letters on a cell of the disc's colour, and the outline, in the
        // body's order. The Earth keeps its white from the label for the
        // outline; Mars and Jupiter are outlined in black.
        SetForeground(look.Letters);
        SetBackground(look.Cell);
        auto outline = [&] { DrawEllipse(cx, cy, rx - 1, ry - 1); };
        auto label = [&] { DrawText(cx - 9 * scale, cy - 7 * scale, look.Label); };
        if (look.LabelFirst) {
            label();
            if (look.Body == Mars || jupiter) SetForeground(Colours.ColBlack);
            outline();
        } else {
            outline();
            label();
        }
        CaptureImage(left, top, right, bottom, Images.DiscImage[look.Body]);
        // A clean rectangle for the next body.
        if (i + 1 < looks.size()) PutImage(left, top, Images.BlankImage[Sun]);
    }
    for (int16_t k : {Earth, Mercury, Mars, Jupiter, Venus}) Images.BlankImage[k] = Images.BlankImage[Sun];

    ClearWindow(SelectedWindow());
    ResetMainWindowColours();
}
