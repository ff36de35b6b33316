// real_sky.cpp — the real sky: the planets on their true orbits, on the
// calendar's days.
#include "model/real_sky.h"

#include "model/calendar.h"
#include "model/sky.h"
#include "model/state.h"

namespace {

// Until the true orbits are in, the model's own answers stand in for them.
GridPoint Place(int body, double day) { return ModelSky.Place(body, day); }
double GridDirection(int body, double day) { return ModelSky.GridDirection(body, day); }
double StripDirection(int body, double day) { return ModelSky.StripDirection(body, day); }
void ScreenPlace(int body, double day, double& x, double& y) { ModelSky.ScreenPlace(body, day, x, y); }
std::vector<SkyEvent> EventsOf(int body, double from, double to) { return ModelSky.EventsOf(body, from, to); }
double Elongation(int body, double day) { return ModelSky.Elongation(body, day); }

std::string MomentText(double day, double step) {
    return step > 0 && step >= 1 ? WeekdayDateText(day) : DateTimeText(day);
}

}  // namespace

double RealSkyPixelsPerAu() {
    return Planets.RadiusX[Jupiter] / 5.46;
}

double LongitudeOfDate(double longitudeJ2000, double) {
    return longitudeJ2000;
}

const Sky RealSky{Place,      GridDirection, StripDirection, ScreenPlace, EventsOf,
                  Elongation, MomentText,    DateText,       IsoText,     "Zeitpunkt (UTC)"};
