// layout.h — the 320 x 200 design grid and the layout values derived from it.
#pragma once

#include <cstdint>

// n grid units across as pixels: n * ScreenWidth / 320, truncated toward zero.
// Computed in 32 bits, so that screens up to 7680 x 4320 and beyond get
// exactly what the formula gives.
int32_t ScaleX(int32_t n);
// n grid units down as pixels: n * ScreenHeight / 200, truncated toward zero.
int32_t ScaleY(int32_t n);

// Sets the screen size (clamped to what 16 bits hold), the divisors and the
// scale factors.
void SetScreenSize(int width, int height);
// Every layout value but the width base of the input window and the rounding
// of the disc half-sizes (needs FlattenFactor).
void ComputeLayout();
// The width base of the input window, and the disc half-sizes rounded to
// whole pixels.
void FinishLayout();

// The top edge of a view window from its base: the grid's formula, or, where
// that would put the view's foot below the screen's, as low as it can be.
int32_t ViewWinTop(double topBase);
