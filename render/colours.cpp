// colours.cpp — numbered colour pairs and the main window's reset.
//
// The pairs hand small colour numbers to the drawing state; the platform
// shows numbers below 16 in the classic 16-colour palette, so pair 2 is white
// on cyan and pair 3 blue on magenta.
#include "render/render.h"

#include "app/shell.h"
#include "platform/platform.h"

namespace {

struct ColourPair {
    uint32_t Foreground;
    uint32_t Background;
};

constexpr ColourPair Pairs[] = {
    {1, 3},   // 1: blue on cyan
    {15, 3},  // 2: white on cyan
    {1, 5},   // 3: blue on magenta
    {15, 5},  // 4: white on magenta
    {4, 15},  // 5: red on white
};

}  // namespace

void SetSchemeColours(int16_t n) {
    if (n < 1 || n > 5) return;
    SetForeground(Pairs[n - 1].Foreground);
    SetBackground(Pairs[n - 1].Background);
}

void ResetMainWindowColours() {
    SelectWindow(Win_0);
    SetSchemeColours(3);
    SetFillPattern(4);
}
