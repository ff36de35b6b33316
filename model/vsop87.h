// vsop87.h — the series of the planetary theory VSOP87 (version B) for Mercury,
// Venus, Mars and Jupiter, as vsop87.cpp holds them: each planet's heliocentric
// longitude L and latitude B (radians) and distance R (AU) in the ecliptic and
// equinox of J2000, each the sum over α = 0…5 of τ^α Σ A cos(B + C τ), with τ
// in Julian millennia of TT from J2000.0.
#pragma once

struct Vsop87Term {
    double A, B, C;
};

struct Vsop87Series {
    // [L, B, R][α]: the terms and how many.
    const Vsop87Term* Terms[3][6];
    int Count[3][6];
};

// Mercury, Venus, Mars, Jupiter.
extern const Vsop87Series* const Vsop87[4];
