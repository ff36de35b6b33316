// model_sky.cpp — the model's sky: every body on a circle round the Sun at
// an even speed, all at angle 0 on day 0, as the planet table gives them.
//
// Its events are found in closed form: each is where the difference of the
// planet's and the Earth's heliocentric angles takes one value. That
// difference grows evenly with time, so each event recurs once per synodic
// period, and its days are (value + 2πn) / (ω_planet − ω_Earth).
#include "model/sky.h"

#include "model/decimal.h"
#include "model/planets.h"
#include "model/state.h"
#include "model/text_items.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// The table's periods come first, then the radii, both in body order from the Earth.
double Omega(int body) { return FullTurn / NumberItemAt(PlanetNumbersItem + body - Earth); }
double Radius(int body) { return NumberItemAt(PlanetNumbersItem + 5 + body - Earth); }

bool Inner(int body) { return Radius(body) < Radius(Earth); }

GridPoint Place(int body, double day) {
    if (body < Earth || body > Jupiter) return {};
    const double phi = Omega(body) * day;
    return {Radius(body) * std::cos(phi), Radius(body) * std::sin(phi)};
}

GridAngle GridDirection(int body, double day) {
    const GridPoint p = Place(body, day), e = Place(Earth, day);
    const double a = std::atan2(p.Y - e.Y, p.X - e.X);
    return {a < 0 ? a + 2 * Pi : a};
}

// The orbits are in pixels already.
double PixelsPerUnit(const std::array<int16_t, 7>&) { return 1; }

// The views' arithmetic as it always was: the angle never reduced to one
// turn, the radii in whole pixels across and flattened ones down (at the
// scale 1 that PixelsPerUnit gives).
void ScreenPlace(int body, double day, double /*pixelsPerUnit*/, double& x, double& y) {
    x = y = 0;  // the Sun
    if (body < Earth || body > Jupiter) return;
    const PlanetModel& p = Planets;
    const double phi = p.Omega[body] * day;
    x = p.RadiusX[body] * std::cos(phi);
    y = p.RadiusY[body] * std::sin(phi);
}

// The orbits ScreenPlace reads.
ScreenKey ScreenKeyNow(const std::array<int16_t, 7>&) {
    const PlanetModel& p = Planets;
    ScreenKey key;
    for (int k = Earth; k <= Jupiter; ++k) {
        key.Omega[k] = p.Omega[k];
        key.RadiusX[k] = p.RadiusX[k];
        key.RadiusY[k] = p.RadiusY[k];
    }
    return key;
}

// The places a day is written with: two, as an event's day has; more where
// the clock's step has more (six at most, as the status line shows the step).
int PlacesFor(double step) {
    if (step == 0) return 2;
    const std::string text = GermanDecimalText(step, 6);
    const std::size_t comma = text.find(',');
    if (text.find("·10") != std::string::npos) return 6;
    return comma == std::string::npos ? 2 : std::clamp(static_cast<int>(text.size() - comma - 1), 2, 6);
}

std::string DayMoment(double day, double step) {
    std::string text = GermanNumber(day, PlacesFor(step));
    // No trailing zeros, and no comma without places after it.
    if (text.find(',') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == ',') text.pop_back();
    }
    if (text == "-0") text = "0";
    return "Tag " + text;
}

// The direction's rate of change, radians a day: the cross product of the
// planet's place and velocity relative to the Earth, over the distance squared.
double DirectionRate(int body, double day) {
    const GridPoint p = Place(body, day), e = Place(Earth, day);
    const double wp = Omega(body), we = Omega(Earth);
    const double dx = p.X - e.X, dy = p.Y - e.Y;
    const double vx = -wp * p.Y + we * e.Y, vy = wp * p.X - we * e.X;
    return (dx * vy - dy * vx) / (dx * dx + dy * dy);
}

// The angle from the Sun's direction to the planet's, seen from the Earth:
// positive east of the Sun, in (−π, π]. On the model's circles, all in one
// plane, that is the difference of their directions.
ElongationAngle Elongation(int body, double day) {
    double e = GridDirection(body, day).Radians - GridDirection(Sun, day).Radians;
    while (e > Pi) e -= 2 * Pi;
    while (e <= -Pi) e += 2 * Pi;
    return {e};
}

std::vector<SkyEvent> EventsOf(int body, double from, double to) {
    std::vector<SkyEvent> events;
    if (body < Mercury || body > Jupiter || !(from <= to)) return events;
    const double rp = Radius(body), re = Radius(Earth), wp = Omega(body), we = Omega(Earth);
    // Where the difference of the angles takes each event's value: planet and
    // Earth in line with the Sun (0 and π); the line of sight tangent to the
    // inner planet's orbit (cos = rp/re); the Sun and the outer planet at a
    // right angle (cos = re/rp); the direction's rate zero (the standstills).
    const double tangent = std::acos((Inner(body) ? rp / re : re / rp));
    const double still = std::acos((rp * rp * wp + re * re * we) / (rp * re * (wp + we)));
    const double values[] = {0, Pi, tangent, -tangent, still, -still};
    const double rate = wp - we;
    for (double value : values) {
        // Every n with (value + 2πn) / rate in [from, to].
        double n1 = (from * rate - value) / (2 * Pi), n2 = (to * rate - value) / (2 * Pi);
        if (n1 > n2) std::swap(n1, n2);
        for (double n = std::ceil(n1 - 1e-9); n <= n2 + 1e-9; ++n) {
            const double day = (value + 2 * Pi * n) / rate;
            if (day < from || day > to) continue;
            // Which event it is, from the sky on that day.
            EventKind kind;
            if (value == 0)
                kind = Inner(body) ? EventKind::InferiorConjunction : EventKind::Opposition;
            else if (value == Pi)
                kind = Inner(body) ? EventKind::SuperiorConjunction : EventKind::Conjunction;
            else if (value == tangent || value == -tangent) {
                const bool east = Elongation(body, day).Radians > 0;
                kind = Inner(body) ? (east ? EventKind::GreatestEastElongation : EventKind::GreatestWestElongation)
                                   : (east ? EventKind::EastQuadrature : EventKind::WestQuadrature);
            } else {
                kind = DirectionRate(body, day + 0.01) < 0 ? EventKind::StationRetrograde : EventKind::StationDirect;
            }
            events.push_back({day, body, kind});
        }
    }
    std::sort(events.begin(), events.end(), [](const SkyEvent& a, const SkyEvent& b) { return a.Day < b.Day; });
    return events;
}

std::string DayLabel(double day) {
    return "Tag " + GermanNumber(day, 0);
}

CsvMoment DayValue(double day) {
    return {PointNumber(day, 2)};
}

}  // namespace

const Sky ModelSky{
    .Bodies = {.Place = Place,
               .GridDirection = GridDirection,
               .Elongation = Elongation,
               .Strip = StripShows::ScreenDirection},
    .Events = {.Of = EventsOf, .Span = [] { return SkySpan{}; }},
    .Screen = {.PixelsPerUnit = PixelsPerUnit, .Place = ScreenPlace, .Key = ScreenKeyNow},
    .Texts = {.MomentText = DayMoment, .DayLabel = DayLabel, .MomentValue = DayValue, .MomentHeading = "Tag"},
};
