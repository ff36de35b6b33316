// planets.h — the planet table, the start values, the simulated clock and
// the mapping of positions into the two view windows.
#pragma once

// One full turn, as the program has always reckoned it (a little short of 2π,
// so a body needs 1.0000104 periods for a turn).
constexpr double FullTurn = 6.28312;

// Fills the planet table, the start values of the display settings and the
// layout. Needs the screen size (SetScreenSize) and FlattenFactor.
void InitModel();
// The layout and the orbits' radii for the screen size as it is set now; the
// clock, the settings and the bodies' positions stay.
void LayOutModel();

// One tick of the clock: SimTime grows by TimeStep, and every body moves to
// where the sky puts it (the model: angle Omega * SimTime on its orbit,
// clockwise on screen, since y grows downward; the Sun at the origin).
void AdvanceModel();
// The clock set to simTime (forward or back), every body placed for it.
void MoveModelTo(double simTime);
// Every body placed for the clock as it stands.
void PlacePlanets();
// The new positions become the old ones.
void KeepPositions();

// Heliocentric mapping: the Sun at (HelioCentreX, HelioCentreY) of window 2.
void MapHelio();
// Geocentric transform: the origin moves from the Sun to the Earth, which
// stands at (GeoCentreX, GeoCentreY) of window 3.
void TransformGeo();
