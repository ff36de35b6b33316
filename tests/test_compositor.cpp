// test_compositor.cpp — the browser's page composed from its windows, on its
// own: window 0 below the menu bar's foot, the later opened above the
// earlier with a line round each, the page's ground where no window is, a
// closed window not at all, and what changed marked where it did.
#include "platform/web/compositor.h"

#include <gtest/gtest.h>

#include <map>

using namespace compositor;

namespace {

constexpr uint32_t Magenta = 0xFFFF00FF, Azure = 0xFF0080FF, White = 0xFFFFFFFF;

pixels::Surface Filled(int w, int h, uint32_t colour) {
    pixels::Surface s;
    pixels::Grow(s, w, h, colour);
    return s;
}

// The pixel at (x, y) of a composed rectangle r, as 0xFFRRGGBB.
uint32_t At(const std::vector<uint8_t>& rgba, const pixels::Rect& r, int x, int y) {
    const uint8_t* p = rgba.data() + (static_cast<std::size_t>(y - r.y) * r.w + (x - r.x)) * 4;
    return 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2];
}

}  // namespace

TEST(Compositor, WindowsStandWhereTheyArePlacedTheLaterAbove) {
    std::map<int, pixels::Surface> windows{{0, Filled(100, 80, Magenta)}, {2, Filled(30, 20, Azure)},
                                           {3, Filled(30, 20, White)}};
    std::map<int, bool> open{{0, true}, {2, true}, {3, true}};
    const ShownPixels shown = [&](int n) { return open[n] ? &windows[n] : nullptr; };
    Page page;
    page.frame = 2;
    Resize(page, 120, 120);
    Place(page, 0, {}, windows[0]);
    MoveMain(page, 10, windows[0]);
    Place(page, 2, {20, 30, 30, 20}, windows[0]);
    Place(page, 3, {40, 40, 30, 20}, windows[0]);
    const pixels::Rect all{0, 0, 120, 120};
    std::vector<uint8_t> rgba(120 * 120 * 4);
    Compose(page, all, shown, rgba.data());
    const struct {
        int x, y;
        uint32_t colour;
    } expected[] = {
        {5, 5, PageGround},       // above window 0: the menu bar's place
        {5, 15, Magenta},         // window 0, from the bar's foot
        {110, 50, PageGround},    // beside window 0's pixels
        {25, 35, Azure},          // window 2
        {19, 35, FrameColour},    // its line, two pixels wide
        {18, 35, FrameColour},
        {17, 35, Magenta},
        {45, 45, White},          // window 3, opened later, over window 2
        {39, 45, FrameColour},    // its line over window 2 too
    };
    for (const auto& e : expected) EXPECT_EQ(At(rgba, all, e.x, e.y), e.colour) << e.x << "," << e.y;
    // Closed, window 3 leaves window 2 whole; a part composes as the whole does.
    open[3] = false;
    const pixels::Rect part{40, 40, 20, 20};
    std::vector<uint8_t> some(20 * 20 * 4);
    Compose(page, part, shown, some.data());
    EXPECT_EQ(At(some, part, 45, 45), Azure);
    EXPECT_EQ(At(some, part, 55, 55), Magenta);
    // Moving a window marks where it was and where it is.
    pixels::ForgetDirty(page.marks);
    Place(page, 2, {60, 60, 30, 20}, windows[0]);
    bool old = false, now = false;
    for (const pixels::Rect& r : pixels::DirtyRects(page.marks)) {
        old |= !pixels::Intersect(r, {25, 35, 1, 1}).Empty();
        now |= !pixels::Intersect(r, {65, 65, 1, 1}).Empty();
    }
    EXPECT_TRUE(old && now);
}
