// zodiac.h — the constellations along the ecliptic, for the sky strip's
// chart and the band of fixed stars of a loop's construction.
#pragma once

// Where the ecliptic of J2000.0 crosses the constellations' boundaries, in
// degrees of longitude: each constellation runs from its own longitude to the
// next one's. The boundaries are the IAU's of 1930 (E. Delporte, in B1875.0
// coordinates), here from N. G. Roman's table of them (PASP 99, 695, 1987;
// CDS catalogue VI/42), crossed with the ecliptic carried into B1875.0 by the
// IAU 1976 precession. D. Asher's table "Zodiacal constellation boundaries"
// (Armagh Observatory, star.arm.ac.uk/orrery/zodiac.html) gives the same
// longitudes to 0.001°.
struct Constellation {
    double From;
    const char* Name;
};
inline constexpr Constellation Zodiac[] = {
    {28.687, "Widder"},    {53.417, "Stier"},           {90.140, "Zwillinge"}, {117.988, "Krebs"},
    {138.038, "Löwe"},     {173.851, "Jungfrau"},       {217.810, "Waage"},    {241.047, "Skorpion"},
    {247.638, "Schlangenträger"}, {266.238, "Schütze"}, {299.656, "Steinbock"}, {327.488, "Wassermann"},
    {351.650, "Fische"},
};
