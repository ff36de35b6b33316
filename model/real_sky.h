// real_sky.h — what the real sky offers besides the Sky interface (sky.h):
// the scale of its views and the frame of date that its strip is drawn in.
#pragma once

// Pixels per astronomical unit in the views: the farthest shown planet's
// orbit, with a disc round it, fits inside the heliocentric view (above the
// legend at its foot), whichever way from the Sun it lies. The geocentric
// view keeps the same scale. Read: the layout (Layout) and the planets shown
// (Settings.PlanetOn), as the sky's mapping reads them (sky.h).
double RealSkyPixelsPerAu();
// A shown body's disc in the views at that scale: its half-size in pixels
// (as Layout.DiscRadiusX is the model's), the model's or less, so that the
// discs of neighbouring orbits stand apart where the orbits leave room.
// Read: as RealSkyPixelsPerAu.
double RealSkyDiscRadius(int body);
// An ecliptic longitude of J2000.0 (a star's, a constellation's boundary) in
// the ecliptic and equinox of a moment (days TT since J2000.0), radians.
double LongitudeOfDate(double longitudeJ2000, double moment);
