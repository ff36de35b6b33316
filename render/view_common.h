// view_common.h — what the two views share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// A window y as the 16-bit whole number the views draw discs and path ends
// at. It rounds as the platform rounds every real coordinate (half up), so a
// disc drawn at this y and erased next step at the real y lands on the same
// pixels.
inline int16_t ToPixelRow(double y) {
    double r = std::floor(y + 0.5);
    return static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
}
