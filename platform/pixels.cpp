// pixels.cpp — lines, ellipses, boxes, glyphs, capture and put on a retained
// image, and the record of what changed.
#include "platform/pixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace pixels {

namespace {

// The classic 16-colour palette, for colour numbers below 16 (0xFFRRGGBB).
constexpr std::array<uint32_t, 16> Palette = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
};

}  // namespace

uint32_t ToPixel(uint32_t colour) {
    if (colour < Palette.size()) return Palette[colour];
    return 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

uint32_t FromPixel(uint32_t pixel) {
    return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
}

Rect Intersect(const Rect& a, const Rect& b) {
    const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.w, b.x + b.w), bottom = std::min(a.y + a.h, b.y + b.h);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

Rect Unite(const Rect& a, const Rect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

Rect Between(int x1, int y1, int x2, int y2) {
    const long left = std::min(x1, x2), top = std::min(y1, y2);
    const long w = static_cast<long>(std::max(x1, x2)) - left + 1, h = static_cast<long>(std::max(y1, y2)) - top + 1;
    // Far-off corners make no rectangle worth drawing beyond what an int holds.
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::min(w, 1L << 30)),
            static_cast<int>(std::min(h, 1L << 30))};
}

namespace {

Rect Whole(const Surface& s) { return {0, 0, s.width, s.height}; }

}  // namespace

void Grow(Surface& s, int width, int height, uint32_t fill) {
    width = std::max({width, s.width, 1});
    height = std::max({height, s.height, 1});
    if (width == s.width && height == s.height) return;
    std::vector<uint32_t> grown(static_cast<std::size_t>(width) * height, fill);
    for (int y = 0; y < s.height; ++y)
        std::copy_n(s.px.data() + static_cast<std::size_t>(y) * s.width, s.width,
                    grown.data() + static_cast<std::size_t>(y) * width);
    s.px = std::move(grown);
    s.width = width;
    s.height = height;
    // The tile grid follows the new size when next used.
    if (s.tiled) {
        s.tiled = false;
        s.dirtyRects.assign(1, Whole(s));
    }
    s.dirtyTiles.clear();
    s.tilesAcross = 0;
}

void Fill(Surface& s, uint32_t colour) {
    // A first stretch pixel by pixel, then copied onto what follows, doubling:
    // the same pixels as one loop over them all, and a few block copies
    // where every single store would be checked (the sanitizer build).
    uint32_t* px = s.px.data();
    const std::size_t size = s.px.size();
    std::size_t done = std::min<std::size_t>(size, 256);
    std::fill_n(px, done, colour);
    while (done < size) {
        const std::size_t n = std::min(done, size - done);
        std::memcpy(px + done, px, n * sizeof *px);
        done += n;
    }
    MarkDirty(s, Whole(s));
}

// ---------------------------------------------------------------------------
// Fill patterns

bool PatternStroke(int pattern, int x, int y) {
    const int px = x & 7, py = y & 7;
    switch (pattern) {
        case 1: return !(px % 4 == 0 && py % 4 == 0);                  // nearly solid
        case 2: return !(px % 4 == 0 && py % 2 == 0);
        case 3: return !(px % 2 == 0 && py % 2 == 0);
        case 4: return (px + py) % 2 == 0;                             // half: a checkerboard
        case 5: return px % 2 == 0 && py % 2 == 0;
        case 6: return px % 4 == 0 && py % 2 == 0;
        case 7: return px % 4 == 0 && py % 4 == 0;                     // sparse dots
        case 8: return py % 4 == 0;                                    // horizontal bands
        case 9: return px % 4 == 0;                                    // vertical lines
        case 10: return px % 4 == 0 || py % 4 == 0;                    // a grid
        case 11: return (px + py) % 4 == 0;                            // rising hatch
        case 12: return (px - py + 8) % 4 == 0;                        // falling hatch
        case 13: return (px + py) % 4 == 0 || (px - py + 8) % 4 == 0;  // both
        default: return true;                                          // 0 and unknown: solid
    }
}

namespace {

// One row of a shape from x0 to x1 (inside the surface), solid or patterned.
void Span(Surface& s, int y, int x0, int x1, int pattern, uint32_t fg, uint32_t bg) {
    uint32_t* row = Row(s, y);
    if (pattern == 0 || pattern < 0 || pattern > 13) {
        std::fill(row + x0, row + x1 + 1, fg);
        return;
    }
    for (int x = x0; x <= x1; ++x) row[x] = PatternStroke(pattern, x, y) ? fg : bg;
}

}  // namespace

void FillBox(Surface& s, const Rect& r, int pattern, uint32_t fg, uint32_t bg) {
    const Rect c = Intersect(r, Whole(s));
    if (c.Empty()) return;
    for (int y = c.y; y <= c.Bottom(); ++y) Span(s, y, c.x, c.Right(), pattern, fg, bg);
    MarkDirty(s, c);
}

// ---------------------------------------------------------------------------
// Lines

namespace {

// Whether step i of a line is drawn in the given style (solid: always).
bool StyleOn(int style, long long i) {
    switch (style) {
        case 2: return (i % 10) < 6;                                       // dashed
        case 3: return (i % 4) < 2;                                        // dotted
        case 4: return (i % 14) < 6 || ((i % 14) >= 9 && (i % 14) < 11);  // dash-dot
        default: return true;
    }
}

// floor(a / b) for b > 0.
long long FloorDiv(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

// Step i (0 at a, len at b) of the line lies at major = a + i along the longer
// axis and minor = a + round(i * dminor / len) along the other; a wide line
// paints width pixels across the minor axis at each step and goes on width/2
// steps beyond either end. Only the steps inside the surface are visited, so
// a line from far outside costs no more than its visible part.
void Line(Surface& s, int ax, int ay, int bx, int by, int width, int style, uint32_t colour) {
    if (s.px.empty()) return;
    const int half = (std::max(width, 1) - 1) / 2;
    const int across = std::max(width, 1);
    const long long dx = static_cast<long long>(bx) - ax, dy = static_cast<long long>(by) - ay;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long len = std::max(std::llabs(dx), std::llabs(dy));
    const int sMajor = (xMajor ? dx : dy) >= 0 ? 1 : -1;
    const int sMinor = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const long long dMinor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const long long major0 = xMajor ? ax : ay, minor0 = xMajor ? ay : ax;
    const long long majorSize = xMajor ? s.width : s.height;
    const long long minorSize = xMajor ? s.height : s.width;

    // The steps whose major coordinate lies inside the surface.
    long long iLo = -half, iHi = len + half;
    if (sMajor > 0) {
        iLo = std::max(iLo, -major0);
        iHi = std::min(iHi, majorSize - 1 - major0);
    } else {
        iLo = std::max(iLo, major0 - (majorSize - 1));
        iHi = std::min(iHi, major0);
    }
    if (iLo > iHi) return;

    // minor offset at step i: floor((2 i dMinor + len) / (2 len)), kept as a
    // quotient and a remainder that grow step by step.
    const long long den = 2 * std::max(len, 1LL);
    long long num = 2 * iLo * dMinor + len;
    long long q = FloorDiv(num, den);
    long long r = num - q * den;

    // Walk a pointer: one step along the major axis, sometimes one along the
    // minor; each span runs `across` pixels in the growing minor direction.
    const std::ptrdiff_t line = s.width;
    const std::ptrdiff_t majorStep = xMajor ? sMajor : sMajor * line;
    const std::ptrdiff_t minorStep = xMajor ? sMinor * line : sMinor;
    const std::ptrdiff_t spanStep = xMajor ? line : 1;
    long long spanFrom = minor0 + sMinor * q - half;  // minor coordinate of the span's first pixel
    const long long majorFirst = major0 + sMajor * iLo;
    uint32_t* p = s.px.data() + (xMajor ? spanFrom * line + majorFirst : majorFirst * line + spanFrom);
    const bool solid = style <= 1;
    long long minorLo = spanFrom, minorHi = spanFrom;
    for (long long i = iLo; i <= iHi; ++i) {
        if (solid || StyleOn(style, i < 0 ? -i : i)) {
            if (spanFrom >= 0 && spanFrom + across <= minorSize) {
                for (int j = 0; j < across; ++j) p[j * spanStep] = colour;
            } else {
                for (int j = 0; j < across; ++j)
                    if (spanFrom + j >= 0 && spanFrom + j < minorSize) p[j * spanStep] = colour;
            }
        }
        p += majorStep;
        r += 2 * dMinor;
        if (r >= den) {
            r -= den;
            p += minorStep;
            spanFrom += sMinor;
        }
        minorLo = std::min(minorLo, spanFrom);
        minorHi = std::max(minorHi, spanFrom);
    }
    // What it touched: the steps walked, the spans' reach across.
    const long long majorLast = major0 + sMajor * iHi;
    const long long mLo = std::max(minorLo, 0LL), mHi = std::min(minorHi + across - 1, minorSize - 1);
    if (mLo > mHi) return;
    const int lo = static_cast<int>(std::min(majorFirst, majorLast)), hi = static_cast<int>(std::max(majorFirst, majorLast));
    MarkDirty(s, xMajor ? Rect{lo, static_cast<int>(mLo), hi - lo + 1, static_cast<int>(mHi - mLo + 1)}
                        : Rect{static_cast<int>(mLo), lo, static_cast<int>(mHi - mLo + 1), hi - lo + 1});
}

// ---------------------------------------------------------------------------
// Ellipses

namespace {

// Half the width of row dy (|dy| <= b) of the ellipse with half-axes a, b:
// the pixels whose centres lie inside the ellipse that reaches the outer
// edges of the pixels at the axes' ends, so that its top and bottom rows are
// flat rather than one pixel sticking out.
int HalfWidth(int a, int b, int dy) {
    const double rb = b + 0.5;
    const double t = 1.0 - (static_cast<double>(dy) * dy) / (rb * rb);
    return std::min(a, static_cast<int>(std::floor((a + 0.5) * std::sqrt(std::max(t, 0.0)))));
}

// Calls row(y, x0, x1) for each run of the ellipse's pixels: all of them
// (rim = false) or only its rim, the pixels with a neighbour outside.
template <class RowFn>
void EllipseRuns(int cx, int cy, int a, int b, bool rim, RowFn row) {
    for (int dy = -b; dy <= b; ++dy) {
        const int w = HalfWidth(a, b, dy);
        if (!rim || dy == -b || dy == b) {
            row(cy + dy, cx - w, cx + w);
            continue;
        }
        // The rim of a middle row: from its end in to where the narrower of
        // the rows above and below ends, on either side.
        const int inner = std::min(HalfWidth(a, b, dy - 1), HalfWidth(a, b, dy + 1));
        const int from = std::min(w, inner + 1);
        row(cy + dy, cx - w, cx - from);
        row(cy + dy, cx + from, cx + w);
    }
}

}  // namespace

void FillEllipse(Surface& s, int cx, int cy, int a, int b, int pattern, uint32_t fg, uint32_t bg) {
    if (a < 0 || b < 0 || s.px.empty()) return;
    // Half-axes beyond any screen are not drawn: nothing sensible asks for them.
    if (a > (1 << 20) || b > (1 << 20)) return;
    EllipseRuns(cx, cy, a, b, false, [&](int y, int x0, int x1) {
        if (y < 0 || y >= s.height) return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, s.width - 1);
        if (x0 <= x1) Span(s, y, x0, x1, pattern, fg, bg);
    });
    MarkDirty(s, Rect{cx - a, cy - b, 2 * a + 1, 2 * b + 1});
}

void OutlineEllipse(Surface& s, int cx, int cy, int a, int b, uint32_t colour) {
    if (a < 0 || b < 0 || s.px.empty()) return;
    if (a > (1 << 20) || b > (1 << 20)) return;
    EllipseRuns(cx, cy, a, b, true, [&](int y, int x0, int x1) {
        if (y < 0 || y >= s.height) return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, s.width - 1);
        if (x0 <= x1) Span(s, y, x0, x1, 0, colour, colour);
    });
    MarkDirty(s, Rect{cx - a, cy - b, 2 * a + 1, 2 * b + 1});
}

// ---------------------------------------------------------------------------
// Text

void DrawGlyphs(Surface& s, int left, int top, int cellWidth, int cellHeight, const GlyphMask& mask, uint32_t fg,
                uint32_t bg) {
    FillBox(s, Rect{left, top, cellWidth, cellHeight}, 0, bg, bg);
    const Rect inside = Intersect(Rect{left + mask.x, top + mask.y, mask.width, mask.height}, Whole(s));
    if (inside.Empty()) return;
    for (int y = inside.y; y <= inside.Bottom(); ++y) {
        const uint8_t* on = mask.on.data() + static_cast<std::size_t>(y - top - mask.y) * mask.width;
        uint32_t* row = Row(s, y);
        for (int x = inside.x; x <= inside.Right(); ++x)
            if (on[x - left - mask.x] != 0) row[x] = fg;
    }
    MarkDirty(s, inside);
}

// ---------------------------------------------------------------------------
// Images

void Capture(const Surface& s, const Rect& r, uint32_t outside, Image& into) {
    // A rectangle far larger than any screen is a mistake, not a picture.
    if (r.Empty() || static_cast<long>(r.w) * r.h > 64L * 1024 * 1024) {
        EmptyImage(into);
        return;
    }
    into.Width = r.w;
    into.Height = r.h;
    into.Pixels.resize(static_cast<std::size_t>(r.w) * r.h);  // keeps its capacity
    // The columns that lie inside the surface; the rest reads as `outside`.
    const int from = std::clamp(r.x, 0, s.width), to = std::clamp(r.x + r.w, 0, s.width);
    for (int row = 0; row < r.h; ++row) {
        uint32_t* out = into.Pixels.data() + static_cast<std::size_t>(row) * r.w;
        const int y = r.y + row;
        if (y < 0 || y >= s.height || from >= to) {
            std::fill_n(out, r.w, outside);
            continue;
        }
        std::fill_n(out, from - r.x, outside);
        std::memcpy(out + (from - r.x), s.px.data() + static_cast<std::size_t>(y) * s.width + from,
                    sizeof(uint32_t) * (to - from));
        std::fill_n(out + (to - r.x), r.x + r.w - to, outside);
    }
}

void Put(Surface& s, int x, int y, const Image& image) {
    if (IsEmptyImage(image)) return;
    const Rect r = Intersect(Rect{x, y, image.Width, image.Height}, Whole(s));
    if (r.Empty()) return;
    const uint32_t* in = image.Pixels.data() + static_cast<std::size_t>(r.y - y) * image.Width + (r.x - x);
    for (int row = r.y; row <= r.Bottom(); ++row, in += image.Width)
        std::memcpy(Row(s, row) + r.x, in, sizeof(uint32_t) * r.w);
    MarkDirty(s, r);
}

// ---------------------------------------------------------------------------
// What changed

namespace {

void MarkTiles(Surface& s, const Rect& c) {
    const int across = (s.width + TileSize - 1) / TileSize;
    const int down = (s.height + TileSize - 1) / TileSize;
    if (s.tilesAcross != across || static_cast<int>(s.dirtyTiles.size()) != across * down) {
        s.dirtyTiles.assign(static_cast<std::size_t>(across) * down, 0);
        s.tilesAcross = across;
    }
    for (int ty = c.y / TileSize; ty <= c.Bottom() / TileSize; ++ty) {
        uint8_t* row = s.dirtyTiles.data() + static_cast<std::size_t>(ty) * across;
        std::fill(row + c.x / TileSize, row + c.Right() / TileSize + 1, uint8_t{1});
    }
}

long Area(const Rect& r) { return static_cast<long>(r.w) * r.h; }

bool Overlap(const Rect& a, const Rect& b) { return !Intersect(a, b).Empty(); }

}  // namespace

void MarkDirty(Surface& s, const Rect& r) {
    const Rect c = Intersect(r, Whole(s));
    if (c.Empty()) return;
    s.dirty = true;
    ++s.changes;
    if (!s.tiled && s.dirtyRects.size() < MaxDirtyRects) {
        s.dirtyRects.push_back(c);
        return;
    }
    if (!s.tiled) {
        for (const Rect& d : s.dirtyRects) MarkTiles(s, d);
        s.dirtyRects.clear();
        s.tiled = true;
    }
    MarkTiles(s, c);
}

std::vector<Rect> DirtyRects(Surface& s) {
    std::vector<Rect> out;
    DirtyRects(s, out);
    return out;
}

void DirtyRects(Surface& s, std::vector<Rect>& out) {
    out.clear();
    if (!s.dirty) return;
    if (!s.tiled) {
        out = s.dirtyRects;
        // Overlapping rectangles become one where that costs no more pixels
        // than the two: a disc's old and new box, mostly.
        for (bool merged = true; merged;) {
            merged = false;
            for (std::size_t i = 0; i < out.size() && !merged; ++i)
                for (std::size_t j = i + 1; j < out.size(); ++j) {
                    if (!Overlap(out[i], out[j])) continue;
                    const Rect both = Unite(out[i], out[j]);
                    if (Area(both) > Area(out[i]) + Area(out[j])) continue;
                    out[i] = both;
                    out.erase(out.begin() + static_cast<long>(j));
                    merged = true;
                    break;
                }
        }
        return;
    }
    const int down = static_cast<int>(s.dirtyTiles.size()) / s.tilesAcross;
    for (int ty = 0; ty < down; ++ty) {
        const uint8_t* row = s.dirtyTiles.data() + static_cast<std::size_t>(ty) * s.tilesAcross;
        for (int tx = 0; tx < s.tilesAcross;) {
            if (row[tx] == 0) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end < s.tilesAcross && row[end] != 0) ++end;
            out.push_back(Intersect(Rect{tx * TileSize, ty * TileSize, (end - tx) * TileSize, TileSize}, Whole(s)));
            tx = end;
        }
    }
}

void ForgetDirty(Surface& s) {
    if (!s.dirty) return;
    s.dirtyRects.clear();
    if (s.tiled) std::fill(s.dirtyTiles.begin(), s.dirtyTiles.end(), uint8_t{0});
    s.dirty = false;
    s.tiled = false;
}

}  // namespace pixels

// The image procedures of the contract that need no window.

void EmptyImage(Image& image) {
    image.Width = 0;
    image.Height = 0;
    image.Pixels.clear();
}

bool IsEmptyImage(const Image& image) {
    return image.Width <= 0 || image.Height <= 0;
}

uint32_t ImagePixel(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height) return 0;
    return pixels::FromPixel(image.Pixels[static_cast<std::size_t>(y) * image.Width + x]);
}
