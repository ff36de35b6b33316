// compositor.h — the browser's page as one picture: every open window where
// it stands, the later opened above the earlier, window 0 below the menu bar,
// a thin line round every other window, and the page's ground where none is.
// Only what changed is kept (the page has the canvas's size and marks, no
// pixels of its own): each changed rectangle is composed anew from the
// windows when it is shown.
//
// Plain C++ like pixels.h, so that it is tested natively; the browser's
// window system (web_platform.cpp) hands it the windows' pixels and shows
// what it composes.
#pragma once

#include "platform/pixels.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace compositor {

// What shows where no window does (under the menu bar, the bar's edge), and
// the line round every window but window 0 (0xFFRRGGBB).
constexpr uint32_t PageGround = 0xFFC8C8C8;
constexpr uint32_t FrameColour = 0xFF555555;
constexpr int MaxPageWindows = 8;

struct Page {
    pixels::Surface marks;                            // the canvas's size and what changed in it
    std::vector<int> stacking;                        // bottom to top; window 0 first
    std::array<pixels::Rect, MaxPageWindows> placed;  // where each window but 0 stands on the page
    int mainTop = 0;                                  // where window 0's pixels begin: the menu bar's foot
    int frame = 1;                                    // the line round a window, device pixels
};

// What a window shows, or nullptr while it is not shown (closed, or never made).
using ShownPixels = std::function<const pixels::Surface*(int n)>;

// Window n's client area on the page: window 0 from the menu bar's foot as
// large as its pixels (`main`), every other where it was placed.
pixels::Rect PageRect(const Page& page, int n, const pixels::Surface& main);
// The same with the line round it.
pixels::Rect Outer(const Page& page, int n, const pixels::Surface& main);
// The canvas has a new size: all of it is to be shown anew.
void Resize(Page& page, int width, int height);
// Marks a rectangle of the page to be shown anew.
void Expose(Page& page, const pixels::Rect& r);
// Window n stands at r on the page from now on (it was elsewhere, or not
// shown); where it was and where it is now are shown anew. Window 0's place
// is its menu bar's foot (MoveMain).
void Place(Page& page, int n, const pixels::Rect& r, const pixels::Surface& main);
// The menu bar's foot moved: window 0 with it.
void MoveMain(Page& page, int top, const pixels::Surface& main);
// The page's picture in r, from the windows that are shown there, as RGBA
// (r's rows, four bytes a pixel) into out.
void Compose(const Page& page, const pixels::Rect& r, const ShownPixels& shown, uint8_t* out);

}  // namespace compositor
