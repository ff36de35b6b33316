// print_picture.cpp — the picture of the views as a black-and-white copier
// prints it legibly. On such a copier azure, magenta and the bodies' colours
// all come out as much the same grey; here the background is paper white, the
// paths and letters black, and each body's disc its own light grey, on which
// its black label and outline tell it apart.
#include "render/render.h"

#include <cstddef>
#include <cstdint>

namespace {

// A grey of an image.
uint32_t Grey(int level) {
    const auto v = static_cast<uint32_t>(level);
    return 0xFF000000u | v << 16 | v << 8 | v;
}
int Luma(uint32_t pixel) {
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    return (299 * r + 587 * g + 114 * b) / 1000;
}

// Each body's colour and its grey: light enough for black letters, apart
// enough to tell two discs side by side. Jupiter's disc keeps its black bands
// on the grey of its magenta, which is also window 0's between the views.
struct BodyGrey {
    uint32_t Colour;   // as an image holds it
    int Level;
};

// Lines in a body's colour (lines of sight, the strip's trails and days) are
// this dark, so that a one-pixel line is not lost in the copy.
constexpr int LineLevel = 0x50;
// The widest a line's crossing is, pixels: a three-pixel line, slanted.
constexpr int MostLineWidth = 5;
// A sky darker than this (the strip's night) is the paper, as the views' azure is.
constexpr int NightLuma = 0x30;

}  // namespace

void PrintPicture(const Image& picture, Image& print) {
    const ColourValues& c = Colours;
    const BodyGrey greys[] = {
        {ImageColour(c.ColYellow), 0xF0},  {ImageColour(c.ColCyan), 0xDC},
        {ImageColour(static_cast<uint32_t>(c.ColGreen)), 0xC4}, {ImageColour(c.ColMagenta), 0xC8},
        {ImageColour(c.ColBlue), 0xAC},    {ImageColour(c.ColRed), 0x94},
    };
    const uint32_t azure = ImageColour(c.ColAzure), black = ImageColour(c.ColBlack);
    const uint32_t white = Grey(0xFF);
    const int w = picture.Width, h = picture.Height;
    auto body = [&](uint32_t p) {
        for (const BodyGrey& g : greys)
            if (p == g.Colour) return &g;
        return static_cast<const BodyGrey*>(nullptr);
    };
    auto paper = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return true;
        const uint32_t p = picture.Pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u;
        return p == azure || (p != black && body(p) == nullptr && Luma(p) < NightLuma);
    };
    // A few pixels of one colour between paper on both sides, across or
    // down: a line (the lines of sight are one and three pixels wide), not a
    // disc, whose fill never meets the paper but through its outline.
    auto line = [&](int x, int y, uint32_t p) {
        auto between = [&](int dx, int dy) {
            int run = 1, ends = 0;
            for (int side : {-1, 1}) {
                int i = 1;
                while (i <= MostLineWidth && x + side * i * dx >= 0 && x + side * i * dx < w &&
                       y + side * i * dy >= 0 && y + side * i * dy < h &&
                       (picture.Pixels[static_cast<std::size_t>(y + side * i * dy) * w + x + side * i * dx] |
                        0xFF000000u) == p)
                    ++i;
                run += i - 1;
                ends += paper(x + side * i * dx, y + side * i * dy) ? 1 : 0;
            }
            return ends == 2 && run <= MostLineWidth;
        };
        return between(1, 0) || between(0, 1);
    };
    print.Width = w;
    print.Height = h;
    print.Pixels.assign(picture.Pixels.size(), white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = picture.Pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u;
            uint32_t& out = print.Pixels[static_cast<std::size_t>(y) * w + x];
            if (paper(x, y)) continue;
            if (p == black) {
                out = black;
                continue;
            }
            // Everything else dark on the paper, as light was on the sky: the
            // white paths black, the strip's grey stars and scale grey.
            const BodyGrey* g = body(p);
            out = Grey(g == nullptr ? 255 - Luma(p) : line(x, y, p) ? LineLevel : g->Level);
        }
}
