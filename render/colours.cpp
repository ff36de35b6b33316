// colours.cpp — the colour values, numbered colour pairs and the main
// window's reset.
//
// The pairs hand small colour numbers to the drawing state; the platform
// shows numbers below 16 in the classic 16-colour palette, so pair 2 is white
// on cyan and pair 3 blue on magenta.
#include "render/render.h"

#include "model/layout.h"
#include "platform/platform.h"

ColourValues Colours;

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

void InitScreenAndColours() {
    SetScreenSize(ScreenWidthPixels(), ScreenHeightPixels());
    Colours.ColBlack = 0x000000;
    Colours.ColWhite = 0xFFFFFF;
    Colours.ColBlue = 0xFF0000;
    Colours.ColCyan = 0xFFFF00;
    Colours.ColGreen = 65280;  // 0x00FF00
    Colours.ColYellow = 0x00FFFF;
    Colours.ColMagenta = 0xFF00FF;
    Colours.ColAzure = 0xFF8000;
    Colours.ColRed = 0x0000FF;
    SetSchemeColours(1);
    SetForeground(Colours.ColBlue);
    SetBackground(Colours.ColWhite);
}

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
