// real_sky.h — what the real sky offers besides the Sky interface (sky.h):
// the scale of its views and the frame of date that its strip is drawn in.
#pragma once

// Pixels per astronomical unit in the views: the farthest shown planet's
// orbit fits the view as Jupiter's circle does in the model.
double RealSkyPixelsPerAu();
// An ecliptic longitude of J2000.0 (a star's, a constellation's boundary) in
// the ecliptic and equinox of a moment (days TT since J2000.0), radians.
double LongitudeOfDate(double longitudeJ2000, double moment);
