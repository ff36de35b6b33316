// tolerances.h — how close a computed value must come to what it is checked
// against, each with its unit. Values the program computes twice the same way
// agree to rounding; values worked out by hand agree to the digits written.
#pragma once

// Pixels: far below one pixel, so two ways to the same place must agree.
constexpr double PixelTolerance = 1e-9;
// Radians: directions that must agree (parallel lines, the strip and a line of sight).
constexpr double AngleTolerance = 1e-9;
// Days: an event's day in closed form against a relation it must meet.
constexpr double DayTolerance = 1e-6;
// Design-grid units squared: a dot product that vanishes at a right angle.
constexpr double GridTolerance = 1e-6;
// A pure number worked out by hand to seven places.
constexpr double HandRounding = 1e-7;
