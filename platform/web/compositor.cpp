// compositor.cpp — the page's picture composed from its windows.
#include "platform/web/compositor.h"

#include <algorithm>

namespace compositor {

namespace {

// Part `part` of the picture of rectangle r, as RGBA in `out` (r's rows):
// one colour, or the pixels (0xFFRRGGBB) from `from`, a row `stride` long.
void Paint(const pixels::Rect& r, const pixels::Rect& part, uint8_t* out, uint32_t colour,
           const uint32_t* from = nullptr, int stride = 0) {
    for (int y = 0; y < part.h; ++y) {
        uint8_t* o = out + (static_cast<std::size_t>(part.y - r.y + y) * r.w + (part.x - r.x)) * 4;
        const uint32_t* in = from != nullptr ? from + static_cast<std::size_t>(y) * stride : nullptr;
        for (int x = 0; x < part.w; ++x, o += 4) {
            const uint32_t p = in != nullptr ? in[x] : colour;
            o[0] = static_cast<uint8_t>(p >> 16);
            o[1] = static_cast<uint8_t>(p >> 8);
            o[2] = static_cast<uint8_t>(p);
            o[3] = 255;
        }
    }
}

}  // namespace

pixels::Rect PageRect(const Page& page, int n, const pixels::Surface& main) {
    if (n != 0) return page.placed[n];
    return pixels::Rect{0, page.mainTop, main.width, main.height};
}

pixels::Rect Outer(const Page& page, int n, const pixels::Surface& main) {
    const pixels::Rect r = PageRect(page, n, main);
    if (n == 0) return r;
    const int b = page.frame;
    return pixels::Rect{r.x - b, r.y - b, r.w + 2 * b, r.h + 2 * b};
}

void Resize(Page& page, int width, int height) {
    page.marks = pixels::Surface{};
    page.marks.width = std::max(1, width);
    page.marks.height = std::max(1, height);
    Expose(page, pixels::Rect{0, 0, page.marks.width, page.marks.height});
}

void Expose(Page& page, const pixels::Rect& r) {
    pixels::MarkDirty(page.marks, r);
}

void Place(Page& page, int n, const pixels::Rect& r, const pixels::Surface& main) {
    std::vector<int>& stacking = page.stacking;
    if (std::find(stacking.begin(), stacking.end(), n) == stacking.end()) {
        if (n == 0) stacking.insert(stacking.begin(), 0);
        else stacking.push_back(n);
    }
    if (n != 0) {
        Expose(page, Outer(page, n, main));
        page.placed[n] = r;
    }
    Expose(page, Outer(page, n, main));
}

void MoveMain(Page& page, int top, const pixels::Surface& main) {
    if (top == page.mainTop) return;
    Expose(page, PageRect(page, 0, main));
    page.mainTop = top;
    Expose(page, PageRect(page, 0, main));
}

void Compose(const Page& page, const pixels::Rect& r, const ShownPixels& shown, uint8_t* out) {
    const std::vector<int>& stacking = page.stacking;
    const pixels::Surface* main = shown(0);
    const pixels::Surface none;
    const pixels::Surface& ground = main != nullptr ? *main : none;
    // From the highest window that covers all of r: nothing below shows.
    std::size_t first = 0;
    for (std::size_t i = stacking.size(); i-- > 0;) {
        const int n = stacking[i];
        if (shown(n) != nullptr && pixels::Intersect(r, PageRect(page, n, ground)) == r) {
            first = i;
            break;
        }
    }
    if (first == 0 && pixels::Intersect(r, PageRect(page, 0, ground)) != r) Paint(r, r, out, PageGround);
    for (std::size_t i = first; i < stacking.size(); ++i) {
        const int n = stacking[i];
        const pixels::Surface* s = shown(n);
        if (s == nullptr) continue;
        const pixels::Rect at = PageRect(page, n, ground);
        if (n != 0) {
            const pixels::Rect frame = pixels::Intersect(r, Outer(page, n, ground));
            if (!frame.Empty()) Paint(r, frame, out, FrameColour);
        }
        const pixels::Rect part =
            pixels::Intersect(r, pixels::Rect{at.x, at.y, std::min(at.w, s->width), std::min(at.h, s->height)});
        if (part.Empty()) continue;
        Paint(r, part, out, 0, s->px.data() + static_cast<std::size_t>(part.y - at.y) * s->width + (part.x - at.x),
              s->width);
    }
}

}  // namespace compositor
