// test_pixels.cpp — the pixel core on its own, with no window system: lines,
// ellipses, boxes and patterns, glyphs, capture and put, and the record of
// what changed. Every edition draws with these procedures, so what holds
// here holds on the desktop and in the browser alike.
#include "platform/pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace pixels;

namespace {

constexpr uint32_t Azure = 0xFF0080FF, White = 0xFFFFFFFF, Black = 0xFF000000, Red = 0xFFFF0000,
                   Yellow = 0xFFFFFF00, Magenta = 0xFFFF00FF;

Surface View(int w = 200, int h = 150) {
    Surface s;
    Grow(s, w, h, Azure);
    ForgetDirty(s);
    return s;
}

int Count(const Surface& s, uint32_t colour, Rect r = {0, 0, 1 << 20, 1 << 20}) {
    r = Intersect(r, Rect{0, 0, s.width, s.height});
    int n = 0;
    for (int y = r.y; y <= r.Bottom(); ++y)
        for (int x = r.x; x <= r.Right(); ++x) n += At(s, x, y) == colour;
    return n;
}

// Every pixel that differs between two states of a surface lies in one of
// the rectangles reported as changed.
void ExpectChangesReported(const std::vector<uint32_t>& before, Surface& s, const char* what) {
    const std::vector<Rect> dirty = DirtyRects(s);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (before[static_cast<std::size_t>(y) * s.width + x] == At(s, x, y)) continue;
            bool reported = false;
            for (const Rect& r : dirty) reported |= !Intersect(r, Rect{x, y, 1, 1}).Empty();
            ASSERT_TRUE(reported) << what << ": pixel " << x << "," << y << " changed unreported";
        }
}

}  // namespace

TEST(Lines, ThinLinesHaveOnePixelPerStepEndsIncluded) {
    Surface s = View();
    Line(s, 10, 10, 20, 10, 1, 1, White);
    for (int x = 10; x <= 20; ++x) EXPECT_EQ(At(s, x, 10), White);
    EXPECT_EQ(Count(s, White), 11);
    Line(s, 100, 100, 140, 110, 1, 1, Red);
    EXPECT_EQ(Count(s, Red), 41);
    EXPECT_EQ(At(s, 100, 100), Red);
    EXPECT_EQ(At(s, 140, 110), Red);
}

TEST(Lines, WideLinesCoverThinOnesEverywhere) {
    // Erasing a line by drawing it again three pixels wide in the background
    // leaves nothing of it, in every direction and where it leaves the surface.
    Surface s = View();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> coord(-300, 500);
    for (int n = 0; n < 500; ++n) {
        const int ax = coord(random), ay = coord(random), bx = coord(random), by = coord(random);
        Line(s, ax, ay, bx, by, 1, 1, White);
        Line(s, ax, ay, bx, by, 3, 1, Azure);
        ASSERT_EQ(Count(s, White), 0) << ax << "," << ay << " to " << bx << "," << by;
    }
    // Far-off points cost nothing and break nothing.
    Line(s, -1'000'000'000, 5, 1'000'000'000, 5, 1, 1, White);
    EXPECT_EQ(Count(s, White), s.width);
}

TEST(Lines, Styles) {
    Surface s = View();
    const int expected[] = {101, 101, 61, 51, 59};  // solid, solid, dashed, dotted, dash-dot over 101 steps
    for (int style = 0; style <= 4; ++style) {
        Fill(s, Azure);
        Line(s, 0, 20, 100, 20, 1, style, White);
        EXPECT_EQ(Count(s, White), expected[style]) << "style " << style;
    }
}

class Ellipses : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Ellipses, FillAndOutlineShareTheirBoundary) {
    const auto [a, b] = GetParam();
    Surface filled = View(), outlined = View();
    const int cx = 100, cy = 75;
    FillEllipse(filled, cx, cy, a, b, 0, Yellow, Yellow);
    OutlineEllipse(outlined, cx, cy, a, b, Black);
    // Both reach exactly the ends of the half-axes.
    for (const Surface* s : {&filled, &outlined}) {
        const uint32_t c = s == &filled ? Yellow : Black;
        EXPECT_EQ(At(*s, cx - a, cy), c);
        EXPECT_EQ(At(*s, cx + a, cy), c);
        EXPECT_EQ(At(*s, cx, cy - b), c);
        EXPECT_EQ(At(*s, cx, cy + b), c);
        EXPECT_EQ(Count(*s, c, Rect{cx - a, cy - b, 2 * a + 1, 2 * b + 1}), Count(*s, c));
    }
    EXPECT_EQ(At(filled, cx - a - 1, cy), Azure);
    EXPECT_EQ(At(filled, cx, cy + b + 1), Azure);
    // The outline is the rim of the filled shape: every outline pixel is
    // filled and touches an unfilled one; every other filled pixel does not.
    for (int y = cy - b; y <= cy + b; ++y)
        for (int x = cx - a; x <= cx + a; ++x) {
            const bool in = At(filled, x, y) == Yellow;
            const bool rim = in && (At(filled, x - 1, y) != Yellow || At(filled, x + 1, y) != Yellow ||
                                    At(filled, x, y - 1) != Yellow || At(filled, x, y + 1) != Yellow);
            ASSERT_EQ(At(outlined, x, y) == Black, rim) << x - cx << "," << y - cy;
        }
    // Symmetric about both axes.
    for (int y = cy - b; y <= cy + b; ++y)
        for (int x = cx - a; x <= cx + a; ++x) {
            ASSERT_EQ(At(filled, x, y), At(filled, 2 * cx - x, y));
            ASSERT_EQ(At(filled, x, y), At(filled, x, 2 * cy - y));
        }
}

INSTANTIATE_TEST_SUITE_P(HalfAxes, Ellipses,
                         testing::Values(std::pair{18, 18}, std::pair{18, 15}, std::pair{5, 4}, std::pair{1, 1},
                                         std::pair{0, 0}, std::pair{40, 3}, std::pair{3, 40}));

TEST(Boxes, PatternsPaintStrokesAndGaps) {
    Surface s = View();
    for (int pattern = 1; pattern <= 13; ++pattern) {
        FillBox(s, Between(10, 10, 49, 49), pattern, Black, Magenta);
        const int black = Count(s, Black, Rect{10, 10, 40, 40}), magenta = Count(s, Magenta, Rect{10, 10, 40, 40});
        EXPECT_EQ(black + magenta, 40 * 40) << "pattern " << pattern;
        EXPECT_GT(black, 0) << "pattern " << pattern;
        EXPECT_GT(magenta, 0) << "pattern " << pattern;
    }
    // 1 to 7 get ever thinner; 8 is horizontal bands.
    int last = 40 * 40;
    for (int pattern = 1; pattern <= 7; ++pattern) {
        FillBox(s, Between(10, 10, 49, 49), pattern, Black, Magenta);
        const int black = Count(s, Black, Rect{10, 10, 40, 40});
        EXPECT_LT(black, last) << "pattern " << pattern;
        last = black;
    }
    FillBox(s, Between(10, 10, 49, 49), 8, Black, Magenta);
    for (int y = 10; y < 50; ++y) EXPECT_EQ(Count(s, Black, Rect{10, y, 40, 1}) % 40, 0) << "row " << y;
    FillBox(s, Between(49, 49, 10, 10), 0, Red, Magenta);
    EXPECT_EQ(Count(s, Red, Rect{10, 10, 40, 40}), 40 * 40);
    EXPECT_EQ(Count(s, Red), 40 * 40);
}

TEST(Glyphs, TextIsOpaqueInItsCell) {
    Surface s = View();
    GlyphMask mask;
    mask.x = 1;
    mask.y = -1;  // a glyph reaching above its cell
    mask.width = 3;
    mask.height = 4;
    mask.on = {1, 0, 1,  0, 1, 0,  1, 1, 1,  0, 0, 0};
    DrawGlyphs(s, 50, 50, 6, 5, mask, Black, Yellow);
    EXPECT_EQ(Count(s, Black), 6);
    EXPECT_EQ(Count(s, Yellow) + Count(s, Black, Rect{50, 50, 6, 5}), 30);
    EXPECT_EQ(At(s, 51, 49), Black);  // above the cell, where the mask reaches
    EXPECT_EQ(At(s, 49, 50), Azure);
}

TEST(Images, CaptureAndPutRoundTripAndClip) {
    Surface s = View();
    FillBox(s, Between(180, 0, 199, 10), 0, Red, Red);
    Image img;
    Capture(s, Between(180, -5, 205, 10), Azure, img);
    ASSERT_EQ(img.Width, 26);
    ASSERT_EQ(img.Height, 16);
    EXPECT_EQ(img.Pixels[5 * 26 + 0], Red);    // inside
    EXPECT_EQ(img.Pixels[5 * 26 + 22], Azure);  // right of the surface
    EXPECT_EQ(img.Pixels[0], Azure);           // above it
    const uint32_t* buffer = img.Pixels.data();
    Capture(s, Between(0, 0, 25, 15), Azure, img);
    EXPECT_EQ(img.Pixels.data(), buffer);  // the buffer is reused
    // Put back beyond the edges: clipped, no failure.
    Capture(s, Between(180, -5, 205, 10), Azure, img);
    Fill(s, Magenta);
    Put(s, 180, -5, img);
    Put(s, -100000, 100000, img);
    EXPECT_EQ(At(s, 180, 0), Red);
    EXPECT_EQ(At(s, 179, 0), Magenta);
    // Empty images and absurd rectangles.
    Image empty;
    Put(s, 0, 0, empty);
    Capture(s, Between(0, 0, 100000, 100000), Azure, img);
    EXPECT_TRUE(IsEmptyImage(img));
}

TEST(Changes, EveryChangedPixelIsReported) {
    // Random drawing, a few operations between two looks (one paced step's
    // worth) and many (unpaced steps between two frames): whatever changed is
    // in the reported rectangles, which never overlap much.
    std::mt19937 random(4711);
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Surface s = View(300, 200);
    Image img;
    Capture(s, Between(0, 0, 20, 20), Azure, img);
    for (int round = 0; round < 60; ++round) {
        const std::vector<uint32_t> before = s.px;
        const int operations = round % 2 == 0 ? in(1, 10) : in(100, 300);
        for (int n = 0; n < operations; ++n) {
            const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(in(0, 0xFFFFFF));
            switch (in(0, 4)) {
                case 0: Line(s, in(-50, 350), in(-50, 250), in(-50, 350), in(-50, 250), in(1, 3), 1, colour); break;
                case 1: FillBox(s, Between(in(-20, 320), in(-20, 220), in(-20, 320), in(-20, 220)), in(0, 8), colour, Azure); break;
                case 2: FillEllipse(s, in(-20, 320), in(-20, 220), in(0, 30), in(0, 30), 0, colour, colour); break;
                case 3: OutlineEllipse(s, in(-20, 320), in(-20, 220), in(0, 30), in(0, 30), colour); break;
                default: Put(s, in(-30, 310), in(-30, 210), img); break;
            }
        }
        ExpectChangesReported(before, s, round % 2 == 0 ? "few operations" : "many operations");
        if (HasFatalFailure()) return;
        ForgetDirty(s);
        EXPECT_TRUE(DirtyRects(s).empty());
    }
}

TEST(Surfaces, GrowingKeepsThePixels) {
    Surface s = View(10, 10);
    FillBox(s, Between(0, 0, 9, 9), 0, Red, Red);
    Grow(s, 20, 15, Azure);
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(Count(s, Red), 100);
    EXPECT_EQ(Count(s, Azure), 20 * 15 - 100);
    Grow(s, 5, 5, Azure);  // never shrinks
    EXPECT_EQ(s.width, 20);
}
