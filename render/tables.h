// tables.h — the colour values and the window numbers: fixed at start-up and
// read by the drawing, the dialogs and the application above them.
#pragma once

#include <cstdint>

// Colour values 0x00BBGGRR (red in the lowest byte), fixed at start-up.
struct ColourValues {
    uint32_t ColBlack = 0;      // outlines and text
    uint32_t ColWhite = 0;      // paths and the polygon
    uint32_t ColBlue = 0;       // the title screen
    uint32_t ColCyan = 0;       // Venus
    double ColGreen = 0;        // Mercury; held as a real number, 65280
    uint32_t ColYellow = 0;     // the Sun
    uint32_t ColMagenta = 0;    // background of windows 0 and 1
    uint32_t ColAzure = 0;      // background of windows 2 and 3; drawing in it erases
    uint32_t ColRed = 0;        // Mars
};

extern ColourValues Colours;

// Window numbers.
constexpr int Win_0 = 0;  // main window: caption, menu bar
constexpr int Win_1 = 1;  // time-step input, only while a new step is typed
constexpr int Win_2 = 2;  // heliocentric view
constexpr int Win_3 = 3;  // geocentric view
constexpr int Win_4 = 4;  // the sky strip, only while it is shown
