// state.h — the program-wide state of the model: display settings, the planet
// table with positions and clock, the screen layout, and the bodies' points in
// the two view windows. Plain data; the procedures that work on it live in
// layout.h and planets.h.
//
// Per-body tables are indexed by BodyIndex: 1 Earth, 2 Mercury, 3 Venus,
// 4 Mars, 5 Jupiter, 6 Sun; entry 0 exists and is never used.
#pragma once

#include <array>
#include <cstdint>

enum BodyIndex : int { Earth = 1, Mercury = 2, Venus = 3, Mars = 4, Jupiter = 5, Sun = 6 };

// What the pupil has chosen; menu commands write it, the drawing reads it.
// Everything starts at zero; the model's initialisation sets the start values.
struct DisplaySettings {
    double SystemMode = 0;              // 0 nothing shown, 1 heliocentric, 2 geocentric, 3 both
    int32_t DrawMode = 0;               // 6 planets only, 5 paths only, 7 planets and paths
    double PolygonOn = 0;               // -1.0 polygon off, +1.0 on; switched by negation
    std::array<int16_t, 7> PlanetOn{};  // 1 body shown, -1 hidden; switched by negation
    double TimeStep = 0;                // simulated days per animation step, 0 < dt < 20
};

// The kinematic model: circles round the Sun at constant angular speed.
// Positions are pixels relative to the Sun, x right, y down, the vertical
// radii already flattened.
struct PlanetModel {
    double FlattenFactor = 0;           // vertical factor for orbit radii and disc half-sizes
    std::array<double, 7> Omega{};      // angular speed, radians per day
    std::array<double, 11> RadiusX{};   // horizontal orbit radius, whole pixels
    std::array<double, 11> RadiusY{};   // vertical orbit radius, pixels (not rounded)
    std::array<double, 7> PrevX{};      // position before the current step
    std::array<double, 7> PrevY{};
    std::array<double, 21> PosX{};      // position after the current step
    std::array<double, 21> PosY{};
    double SimTime = 0;                 // simulated days since start; never reset
    double PlacedScale = 0;             // the sky's pixels per unit the positions were placed at
};

// Every size and position of the program, derived from the screen size
// through a 320 x 200 design grid. Computed once at start-up.
struct ScreenLayout {
    int16_t ScreenWidth = 0;            // pixels
    int16_t ScreenHeight = 0;
    int16_t GridWidth = 320;            // the divisors of ScaleX and ScaleY
    int16_t GridHeight = 200;
    double ScaleXFactor = 0;            // ScreenWidth / 320, for text positions
    double ScaleYFactor = 0;            // ScreenHeight / 200
    int16_t CaptionAllowance = 0;       // pixels added to the view windows' top and height
    double HelioWinLeft = 0;            // left edge of window 2
    double GeoWinLeft = 0;              // left edge of window 3
    double HelioWinTopBase = 0;         // base of the view windows' top edge
    double GeoWinTopBase = 0;
    double ViewWinWidth = 0;            // width of windows 2 and 3
    int32_t ViewWinWidthInt = 0;        // the same, as an integer
    double ViewWinHeight = 0;           // height of windows 2 and 3
    double HelioCentreX = 0;            // the Sun's point in window 2
    double HelioCentreY = 0;
    double GeoCentreX = 0;              // the Earth's point in window 3
    int16_t GeoCentreY = 0;
    double DiscRadiusX = 0;             // half-size of a body's disc, whole pixels
    double DiscRadiusY = 0;
    double InputWinWidthBase = 0;       // window 1 is this minus 10 wide
    double ViewLegendHeight = 0;        // what the real sky's legend takes at a view's foot, pixels
};

// Where each body stands in the two view windows, before and after the
// current step (pixels of that window). The Sun has no entry in window 2,
// where it stands still; in window 3 entry 1 (the Earth) is the centre.
struct ViewPositions {
    std::array<double, 7> HelioPrevScreenX{}, HelioPrevScreenY{};
    std::array<double, 7> HelioScreenX{}, HelioScreenY{};
    std::array<double, 7> GeoPrevScreenX{}, GeoPrevScreenY{};
    std::array<double, 7> GeoScreenX{}, GeoScreenY{};
    // The days the paths drawn since the views were last cleared run over
    // (simulated days), so that they can be drawn again on a new layout.
    double DrawnFrom = 0, DrawnTo = 0;
};

extern DisplaySettings Settings;
extern PlanetModel Planets;
extern ScreenLayout Layout;
extern ViewPositions Views;

// Puts all four back to their state before start-up (all zero), and the
// sky to the model's.
void ResetModelState();
