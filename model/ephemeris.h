// ephemeris.h — where the Sun, the Earth and the four planets really are, from
// planetary theories (the Earth from ERFA's eraEpv00, the planets from the
// series of VSOP87 in vsop87.h), and how they look from the Earth. A moment is
// days of Terrestrial Time since J2000.0 (calendar.h).
//
// The theories are evaluated on a grid of days and interpolated between its
// points (cubic Hermite from positions and velocities), so that a body's place
// costs a small fraction of the theory's own evaluation; the grid is fine
// enough that the interpolation adds well under an arcsecond to a planet's
// place, and up to 2″ to the Earth's as seen toward Venus (ephemeris.cpp).
#pragma once

// Heliocentric position (AU) and velocity (AU per day), in the mean ecliptic
// and equinox of date: x toward the vernal equinox, z toward the ecliptic's
// north pole.
struct BodyState {
    double P[3] = {0, 0, 0};
    double V[3] = {0, 0, 0};
};

// A body (a BodyIndex) at a moment, straight from the theory; the Sun at the origin.
BodyState ExactState(int body, double moment);
// The same, interpolated on the grid.
BodyState HeliocentricState(int body, double moment);

// A body as seen from the Earth's centre at a moment: its apparent direction
// (light time and annual aberration taken into account) as a unit vector in
// the ecliptic and true equinox of date, its longitude (radians, 0 up to 2π)
// and latitude, and its distance when the light left it (AU).
struct ApparentPlace {
    double U[3] = {1, 0, 0};
    double Longitude = 0, Latitude = 0, Distance = 0;
};
ApparentPlace Apparent(int body, double moment);

// The nutation in longitude (radians) at a moment: the true equinox of date
// less the mean one.
double NutationInLongitude(double moment);
