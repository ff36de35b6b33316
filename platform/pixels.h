// pixels.h — the pixel work of every window system, in plain C++: a window's
// retained image and what is drawn into it (exact integer lines, ellipses,
// boxes with fill patterns, text from a glyph mask), capture and put of
// images, and the record of what changed since the screen last showed it.
//
// Nothing here knows a window system. The desktop shows a surface through
// Qt, the browser through a canvas; both draw with these same procedures, so
// the same calls leave the same pixels in either.
//
// Pixels are 0xFFRRGGBB, row by row. Coordinates are whole pixels; a
// rectangle is its top-left corner and its size.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixels {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Empty() const { return w <= 0 || h <= 0; }
    int Right() const { return x + w - 1; }   // last column inside
    int Bottom() const { return y + h - 1; }  // last row inside
    bool operator==(const Rect&) const = default;
};

// A colour value 0x00BBGGRR as the program counts colours (or a number of the
// classic 16-colour palette, below 16) as a pixel, and a pixel back as a
// colour value.
uint32_t ToPixel(uint32_t colour);
uint32_t FromPixel(uint32_t pixel);

Rect Intersect(const Rect& a, const Rect& b);
Rect Unite(const Rect& a, const Rect& b);   // the smallest rectangle holding both
// The rectangle between two corners, both included, in any order.
Rect Between(int x1, int y1, int x2, int y2);

// A window's retained pixels and what changed in them since the last look.
struct Surface {
    int width = 0, height = 0;
    std::vector<uint32_t> px;        // width * height, row by row
    // What changed: the rectangles themselves while they are few (one paced
    // step's worth), else a grid of tiles (many unpaced steps between two
    // frames).
    std::vector<Rect> dirtyRects;
    std::vector<uint8_t> dirtyTiles;
    int tilesAcross = 0;
    bool dirty = false;
    bool tiled = false;
    uint64_t changes = 0;            // counts the markings, so a copy can tell it is behind
};

constexpr int TileSize = 32;                 // pixels; the grain of repainting once tiled
constexpr std::size_t MaxDirtyRects = 96;

// Grows the surface to at least width x height (new pixels in `fill`), keeps
// what is there.
void Grow(Surface& s, int width, int height, uint32_t fill);
void Fill(Surface& s, uint32_t colour);
inline uint32_t* Row(Surface& s, int y) { return s.px.data() + static_cast<std::size_t>(y) * s.width; }
inline uint32_t At(const Surface& s, int x, int y) { return s.px[static_cast<std::size_t>(y) * s.width + x]; }

// Fill patterns by number: 0 solid; 1..7 ever thinner dots; 8 horizontal
// bands; 9 vertical lines; 10 a grid; 11..13 diagonal hatches. True where the
// pattern has a stroke at window pixel (x, y).
bool PatternStroke(int pattern, int x, int y);

// A box, both corners included: solid in fg (pattern 0), or the pattern's
// strokes in fg on gaps of bg.
void FillBox(Surface& s, const Rect& r, int pattern, uint32_t fg, uint32_t bg);

// A line from a to b, `width` pixels across, with square ends (a wide line
// reaches width/2 pixels past either end). Its middle run is exactly the
// one-pixel line between the same points, so a wider line drawn over a thin
// one always covers it. style: 0 or 1 solid, 2 dashed, 3 dotted, 4 dash-dot.
void Line(Surface& s, int ax, int ay, int bx, int by, int width, int style, uint32_t colour);

// Ellipses with whole half-axes a, b round (cx, cy): the filled one covers
// cx-a .. cx+a and cy-b .. cy+b; the outline is the filled shape's rim, one
// pixel wide, so it runs on the same boundary.
void FillEllipse(Surface& s, int cx, int cy, int a, int b, int pattern, uint32_t fg, uint32_t bg);
void OutlineEllipse(Surface& s, int cx, int cy, int a, int b, uint32_t colour);

// Glyphs as the window system draws them: a mask of letter pixels, its
// origin at the text's top-left corner (the mask may reach past the cell).
struct GlyphMask {
    int x = 0, y = 0;                // the mask's top-left, relative to the text's corner
    int width = 0, height = 0;
    std::vector<uint8_t> on;         // width * height, non-zero: letter pixel
};
// Opaque text: the cell (left, top, cellWidth x cellHeight) in bg, then the
// letter pixels in fg.
void DrawGlyphs(Surface& s, int left, int top, int cellWidth, int cellHeight, const GlyphMask& mask, uint32_t fg,
                uint32_t bg);

// Captures the rectangle into `into` (reusing its buffer); what lies outside
// the surface reads as `outside`. A rectangle larger than any screen gives an
// empty image.
void Capture(const Surface& s, const Rect& r, uint32_t outside, Image& into);
// Puts an image with its top-left corner at (x, y), clipped to the surface.
void Put(Surface& s, int x, int y, const Image& image);

// What changed. Marking clips to the surface.
void MarkDirty(Surface& s, const Rect& r);
// The changed area as rectangles that do not overlap: the marked ones,
// merged where two overlap and their union costs no more pixels than both;
// or, once tiled, rows of changed tiles. Forgets nothing.
std::vector<Rect> DirtyRects(Surface& s);
// The same into `out`, which keeps its buffer from one call to the next.
void DirtyRects(Surface& s, std::vector<Rect>& out);
void ForgetDirty(Surface& s);

}  // namespace pixels
