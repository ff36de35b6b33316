// ephemeris.cpp — the theories' places on a grid of days, interpolated, and
// the apparent places seen from the Earth.
#include "model/ephemeris.h"

#include "model/state.h"
#include "model/vsop87.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <math.h>
#include <numbers>

namespace {

constexpr double J2000 = 2451545.0;
// The speed of light in AU per day.
constexpr double LightAuPerDay = ERFA_DC;

// The grid's spacing in days for each body. Cubic Hermite interpolation
// errs by about r (ωh)⁴ / 384: for the planets it stays below 3·10⁻⁷ AU
// (0.06″ seen from 1 AU). The Earth's theory costs several times a planet's
// series, and the Moon pulls the Earth round their common centre every
// month: its points are 8 days apart, which errs by up to 2.5·10⁻⁶ AU (2″ in
// the direction of Venus at its nearest). That moves the sharp events by
// seconds, but the flat extremes by minutes: Venus's greatest elongations
// by up to 13 (README), within the hour they are given to.
constexpr std::array<double, 7> GridDays{0, 8, 1, 4, 8, 32, 0};

// Each body's grid points, kept where they fall in a table of their own: a
// pass of the animation or a search for events moves slowly along the days,
// so nearly every point asked for is already there.
struct Node {
    long long Index = 0;
    bool Filled = false;
    BodyState State;
};
constexpr std::size_t Slots = 512;
// Half the span over which a velocity takes in the turn of the frame of date, days.
constexpr double VelocitySpan = 0.01;
std::array<std::array<Node, Slots>, 7> Grid;

const BodyState& GridState(int body, long long index) {
    Node& slot = Grid[body][static_cast<std::size_t>(index) & (Slots - 1)];
    if (!slot.Filled || slot.Index != index) {
        const double t = static_cast<double>(index) * GridDays[body];
        slot.State = ExactState(body, t);
        slot.Index = index;
        slot.Filled = true;
    }
    return slot.State;
}

// The nutation in longitude every few days, interpolated linearly: its
// shortest term of note (13.7 days, 0.2″) bends from a straight line by
// less than 0.1″ in that time.
constexpr double NutationDays = 4;
struct NutationPoint {
    long long Index = 0;
    bool Filled = false;
    double Dpsi = 0;
};
std::array<NutationPoint, 512> Nutation;

double NutationAt(long long index) {
    NutationPoint& slot = Nutation[static_cast<std::size_t>(index) & (Nutation.size() - 1)];
    if (!slot.Filled || slot.Index != index) {
        double deps = 0;
        eraNut00b(J2000, static_cast<double>(index) * NutationDays, &slot.Dpsi, &deps);
        slot.Index = index;
        slot.Filled = true;
    }
    return slot.Dpsi;
}

// A coordinate of a planet's series at τ millennia from J2000.0, and its
// rate a millennium.
void SeriesAt(const Vsop87Series& series, int coordinate, double tau, double& value, double& rate) {
    value = rate = 0;
    for (int power = 5; power >= 0; --power) {
        const Vsop87Term* terms = series.Terms[coordinate][power];
        double sum = 0, sumRate = 0;
        for (int i = 0; i < series.Count[coordinate][power]; ++i) {
            // sincos (glibc's and emscripten's, a GNU extension) reduces the
            // angle once for both: a third less time in the browser, whose
            // compiler does not join std::sin and std::cos as GCC does.
            double sine, cosine;
            sincos(terms[i].B + terms[i].C * tau, &sine, &cosine);
            sum += terms[i].A * cosine;
            sumRate -= terms[i].A * terms[i].C * sine;
        }
        // Horner's scheme, and its derivative.
        rate = rate * tau + value + sumRate;
        value = value * tau + sum;
    }
}

// A planet's heliocentric position (AU) and velocity (AU a day) in the
// equator of J2000.
void PlanetState(int body, double moment, double pv[2][3]) {
    const Vsop87Series& series = *Vsop87[body - Mercury];
    constexpr double DaysPerMillennium = 365250;
    double l, b, r, dl, db, dr;
    SeriesAt(series, 0, moment / DaysPerMillennium, l, dl);
    SeriesAt(series, 1, moment / DaysPerMillennium, b, db);
    SeriesAt(series, 2, moment / DaysPerMillennium, r, dr);
    dl /= DaysPerMillennium;
    db /= DaysPerMillennium;
    dr /= DaysPerMillennium;
    const double cl = std::cos(l), sl = std::sin(l), cb = std::cos(b), sb = std::sin(b);
    double p[3] = {r * cb * cl, r * cb * sl, r * sb};
    double v[3] = {dr * cb * cl - r * sb * db * cl - r * cb * sl * dl, dr * cb * sl - r * sb * db * sl + r * cb * cl * dl,
                   dr * sb + r * cb * db};
    // From the ecliptic and equinox of J2000 to the equator of J2000:
    // VSOP87's ecliptic of J2000 taken for the IAU's, which differs from it
    // by well under a tenth of an arcsecond.
    struct Rotation {
        double R[3][3];
    };
    static Rotation eclipticJ2000 = [] {
        Rotation m;
        eraEcm06(J2000, 0, m.R);
        return m;
    }();
    eraTrxp(eclipticJ2000.R, p, pv[0]);
    eraTrxp(eclipticJ2000.R, v, pv[1]);
}

}  // namespace

BodyState ExactState(int body, double moment) {
    BodyState s;
    if (body < Earth || body > Jupiter) return s;
    double pv[2][3];
    if (body == Earth) {
        double barycentric[2][3];
        eraEpv00(J2000, moment, pv, barycentric);
    } else {
        PlanetState(body, moment, pv);
    }
    // From the equator of J2000 to the ecliptic and equinox of date, which
    // turns slowly (by 50″ a year): the velocity as the rate of the turned
    // position, over a short span either side.
    double rm[3][3], before[3], after[3], p[3];
    eraEcm06(J2000, moment, rm);
    eraRxp(rm, pv[0], s.P);
    for (int i = 0; i < 3; ++i) p[i] = pv[0][i] - VelocitySpan * pv[1][i];
    eraEcm06(J2000, moment - VelocitySpan, rm);
    eraRxp(rm, p, before);
    for (int i = 0; i < 3; ++i) p[i] = pv[0][i] + VelocitySpan * pv[1][i];
    eraEcm06(J2000, moment + VelocitySpan, rm);
    eraRxp(rm, p, after);
    for (int i = 0; i < 3; ++i) s.V[i] = (after[i] - before[i]) / (2 * VelocitySpan);
    return s;
}

BodyState HeliocentricState(int body, double moment) {
    BodyState s;
    if (body < Earth || body > Jupiter) return s;
    const double h = GridDays[body];
    const double k = std::floor(moment / h);
    const auto index = static_cast<long long>(k);
    const BodyState& a = GridState(body, index);
    const BodyState& b = GridState(body, index + 1);
    // Cubic Hermite on [a, b] at u in [0, 1].
    const double u = moment / h - k, u2 = u * u, u3 = u2 * u;
    const double h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = 3 * u2 - 2 * u3, h11 = u3 - u2;
    const double d00 = (6 * u2 - 6 * u) / h, d10 = 3 * u2 - 4 * u + 1, d11 = 3 * u2 - 2 * u;
    for (int i = 0; i < 3; ++i) {
        s.P[i] = h00 * a.P[i] + h * (h10 * a.V[i] + h11 * b.V[i]) + h01 * b.P[i];
        s.V[i] = d00 * (a.P[i] - b.P[i]) + d10 * a.V[i] + d11 * b.V[i];
    }
    return s;
}

double NutationInLongitude(double moment) {
    const double k = std::floor(moment / NutationDays);
    const auto index = static_cast<long long>(k);
    const double a = NutationAt(index), b = NutationAt(index + 1);
    return a + (b - a) * (moment / NutationDays - k);
}

ApparentPlace Apparent(int body, double moment) {
    ApparentPlace place;
    if (body < Mercury || body > Sun) return place;
    const bool sun = body == Sun;
    // The light seen now left the body a light time ago; the Earth's place a
    // light time ago stands in for the aberration by the Earth's motion (its
    // velocity changes too little in that time to matter).
    const BodyState earth = HeliocentricState(Earth, moment);
    double g[3];
    {
        const BodyState now = sun ? BodyState{} : HeliocentricState(body, moment);
        for (int i = 0; i < 3; ++i) g[i] = now.P[i] - earth.P[i];
    }
    const double lightTime = eraPm(g) / LightAuPerDay;
    const BodyState then = sun ? BodyState{} : HeliocentricState(body, moment - lightTime);
    const BodyState earthThen = HeliocentricState(Earth, moment - lightTime);
    for (int i = 0; i < 3; ++i) g[i] = then.P[i] - earthThen.P[i];
    place.Distance = eraPm(g);
    // From the mean equinox of date to the true one: a turn about the
    // ecliptic's pole by the nutation in longitude.
    const double dpsi = NutationInLongitude(moment), c = std::cos(dpsi), s = std::sin(dpsi);
    place.U[0] = (c * g[0] - s * g[1]) / place.Distance;
    place.U[1] = (s * g[0] + c * g[1]) / place.Distance;
    place.U[2] = g[2] / place.Distance;
    place.Longitude = std::atan2(place.U[1], place.U[0]);
    if (place.Longitude < 0) place.Longitude += 2 * std::numbers::pi;
    place.Latitude = std::asin(std::clamp(place.U[2], -1.0, 1.0));
    return place;
}
