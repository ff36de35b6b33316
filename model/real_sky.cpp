// real_sky.cpp — the real sky: the planets on their true orbits, on the
// calendar's days. Places come from the theories (ephemeris.h); the views
// show them to scale, seen from the ecliptic's south so that they go round
// clockwise as in the model and nothing flips at the switch.
//
// Events are found as almanacs define them, on the apparent places: stepping
// each planet's motion half a day at a time and bisecting every change of
// sign to a minute. They are kept per span of days, so that stepping from
// event to event or making the list again costs little.
#include "model/real_sky.h"

#include "model/calendar.h"
#include "model/ephemeris.h"
#include "model/sky.h"
#include "model/state.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <utility>

namespace {

constexpr double Pi = std::numbers::pi;

// An angle in (−π, π].
double Turned(double a) {
    return std::remainder(a, 2 * Pi);
}

GridPoint Place(int body, double day) {
    if (body < Earth || body > Jupiter) return {};
    const BodyState s = HeliocentricState(body, day);
    return {s.P[0], s.P[1]};
}

GridAngle Direction(int body, double day) {
    if (body < Mercury || body > Sun) return {};
    return {Apparent(body, day).Longitude};
}

// The ecliptic's x and y as the screen's: seen from the south, the planets
// go round clockwise on a screen whose y grows downward.
void ScreenPlace(int body, double day, double pixelsPerAu, double& x, double& y) {
    x = y = 0;
    if (body < Earth || body > Jupiter) return;
    const BodyState s = HeliocentricState(body, day);
    x = s.P[0] * pixelsPerAu;
    y = s.P[1] * pixelsPerAu;
}

ElongationAngle Elongation(int body, double day) {
    if (body < Mercury || body > Jupiter) return {};
    ApparentPlace p = Apparent(body, day), sun = Apparent(Sun, day);
    const double separation = eraSepp(p.U, sun.U);
    return {Turned(p.Longitude - sun.Longitude) < 0 ? -separation : separation};
}

// ---------------------------------------------------------------------------
// Events.

// What each kind of event is a change of sign of, at one moment: the
// planet's longitude less the Sun's (the conjunctions, the opposition, the
// quadratures), the rate of its longitude (the standstills) and the rate of
// its angular distance from the Sun (the greatest elongations: where that
// rate turns from growing to shrinking).
struct Aspect {
    double Difference = 0;  // λ planet − λ Sun, in (−π, π]
    double Rate = 0;        // dλ/dt, radians a day
    double SeparationRate = 0;
    bool Nearer = false;    // the planet nearer than the Sun
};

// Half the span of the central differences, days: far below the minute the
// events are found to, far above the rounding of a longitude.
constexpr double Nudge = 0.01;

Aspect AspectAt(int body, double t) {
    ApparentPlace p0 = Apparent(body, t - Nudge), p = Apparent(body, t), p1 = Apparent(body, t + Nudge);
    ApparentPlace s0 = Apparent(Sun, t - Nudge), s = Apparent(Sun, t), s1 = Apparent(Sun, t + Nudge);
    Aspect a;
    a.Difference = Turned(p.Longitude - s.Longitude);
    a.Rate = Turned(p1.Longitude - p0.Longitude) / (2 * Nudge);
    a.SeparationRate = (eraSepp(p1.U, s1.U) - eraSepp(p0.U, s0.U)) / (2 * Nudge);
    a.Nearer = p.Distance < s.Distance;
    return a;
}

// The events' values, each a function of an aspect whose sign changes at it.
enum class Crossing { Conjunction, Opposition, EastQuadrature, WestQuadrature, Station, Elongation };

double ValueOf(Crossing c, const Aspect& a) {
    switch (c) {
        case Crossing::Conjunction: return a.Difference;
        case Crossing::Opposition: return Turned(a.Difference - Pi);
        case Crossing::EastQuadrature: return Turned(a.Difference - Pi / 2);
        case Crossing::WestQuadrature: return Turned(a.Difference + Pi / 2);
        case Crossing::Station: return a.Rate;
        case Crossing::Elongation: return a.SeparationRate;
    }
    return 0;
}

// A change of sign between two values, not the jump of an angle from +π to −π.
bool Changes(Crossing c, double v0, double v1) {
    if ((v0 < 0) == (v1 < 0)) return false;
    const bool angle = c != Crossing::Station && c != Crossing::Elongation;
    return !angle || std::abs(v1 - v0) < Pi;
}

// The moment of the change in (t0, t1], to a minute.
double Bisect(int body, Crossing c, double t0, double v0, double t1) {
    while (t1 - t0 > 1.0 / 1440) {
        const double mid = (t0 + t1) / 2, v = ValueOf(c, AspectAt(body, mid));
        if ((v < 0) == (v0 < 0)) {
            t0 = mid;
            v0 = v;
        } else {
            t1 = mid;
        }
    }
    return (t0 + t1) / 2;
}

// A span of days whose events are kept: (First, First + BlockDays].
constexpr double BlockDays = 50;
// Steps of at most half a day, as many as fit the span evenly.
constexpr int StepsPerBlock = 100;

std::vector<SkyEvent> BlockEvents(int body, long long block) {
    const bool inner = body == Mercury || body == Venus;
    std::vector<Crossing> crossings{Crossing::Conjunction, Crossing::Station};
    if (inner) {
        crossings.push_back(Crossing::Elongation);
    } else {
        crossings.insert(crossings.end(),
                         {Crossing::Opposition, Crossing::EastQuadrature, Crossing::WestQuadrature});
    }
    std::vector<SkyEvent> events;
    const double first = static_cast<double>(block) * BlockDays, step = BlockDays / StepsPerBlock;
    Aspect before = AspectAt(body, first);
    for (int i = 1; i <= StepsPerBlock; ++i) {
        const double t0 = first + (i - 1) * step, t1 = first + i * step;
        const Aspect after = AspectAt(body, t1);
        for (Crossing c : crossings) {
            const double v0 = ValueOf(c, before), v1 = ValueOf(c, after);
            if (!Changes(c, v0, v1)) continue;
            // Only a maximum of the distance from the Sun is an elongation.
            if (c == Crossing::Elongation && v0 < 0) continue;
            const double day = Bisect(body, c, t0, v0, t1);
            EventKind kind = EventKind::Opposition;
            switch (c) {
                case Crossing::Conjunction:
                    kind = !inner ? EventKind::Conjunction
                                  : AspectAt(body, day).Nearer ? EventKind::InferiorConjunction
                                                               : EventKind::SuperiorConjunction;
                    break;
                case Crossing::Opposition: kind = EventKind::Opposition; break;
                case Crossing::EastQuadrature: kind = EventKind::EastQuadrature; break;
                case Crossing::WestQuadrature: kind = EventKind::WestQuadrature; break;
                case Crossing::Station:
                    kind = v0 > 0 ? EventKind::StationRetrograde : EventKind::StationDirect;
                    break;
                case Crossing::Elongation:
                    kind = AspectAt(body, day).Difference > 0 ? EventKind::GreatestEastElongation
                                                              : EventKind::GreatestWestElongation;
                    break;
            }
            events.push_back({day, body, kind});
        }
        before = after;
    }
    std::sort(events.begin(), events.end(), [](const SkyEvent& a, const SkyEvent& b) { return a.Day < b.Day; });
    return events;
}

// The spans found so far; forgotten all at once when they grow many.
std::map<std::pair<int, long long>, std::vector<SkyEvent>> Found;
constexpr std::size_t MostSpansKept = 4000;

const std::vector<SkyEvent>& EventsInBlock(int body, long long block) {
    const auto key = std::make_pair(body, block);
    auto it = Found.find(key);
    if (it == Found.end()) {
        if (Found.size() >= MostSpansKept) Found.clear();
        it = Found.emplace(key, BlockEvents(body, block)).first;
    }
    return it->second;
}

std::vector<SkyEvent> EventsOf(int body, double from, double to) {
    std::vector<SkyEvent> events;
    if (body < Mercury || body > Jupiter || !(from <= to)) return events;
    const auto firstBlock = static_cast<long long>(std::ceil(from / BlockDays)) - 1;
    const auto lastBlock = static_cast<long long>(std::ceil(to / BlockDays)) - 1;
    for (long long block = firstBlock; block <= lastBlock; ++block)
        for (const SkyEvent& e : EventsInBlock(body, block))
            if (e.Day >= from && e.Day <= to) events.push_back(e);
    return events;
}

std::string MomentText(double day, double step) {
    if (step == 0) return DateTimeText(day);
    return step < 1 ? WeekdayDateTimeText(day) : WeekdayDateText(day);
}

// Each orbit's least and greatest distance from the Sun in the ecliptic's
// plane over 1600 to 2400 (AU), as the theories give them (ExactState scanned
// every six hours, rounded outward), by BodyIndex; the Sun's own "orbit" is its point.
constexpr double Perihelion[] = {0, 0.9830, 0.3068, 0.7173, 1.3800, 4.9432, 0};
constexpr double Aphelion[] = {0, 1.0170, 0.4660, 0.7278, 1.6659, 5.4590, 0};

// The bodies from the Sun outward, as their orbits lie.
constexpr int Outward[] = {Sun, Mercury, Venus, Earth, Mars, Jupiter};

// The Sun and the Earth are always in the views.
bool InViews(int body, const std::array<int16_t, 7>& planetOn) {
    return body == Sun || body == Earth || planetOn[body] == 1;
}

// Pixels per astronomical unit with the planets `planetOn` shown
// (RealSkyPixelsPerAu).
double PixelsPerAu(const std::array<int16_t, 7>& planetOn) {
    // The farthest shown orbit's greatest distance, with a whole disc round
    // it, inside the shortest distance from the Sun's point to the view's
    // edges; at the foot, above the legend. A disc's box reaches its
    // half-size and one pixel from its centre, and the last pixel of a view
    // lies one before its width.
    const ScreenLayout& l = Layout;
    double farthest = Aphelion[Earth];
    for (int k = Mercury; k <= Jupiter; ++k)
        if (InViews(k, planetOn)) farthest = std::max(farthest, Aphelion[k]);
    const double room = std::min({l.HelioCentreX, l.ViewWinWidthInt - l.HelioCentreX, l.HelioCentreY,
                                  l.ViewWinHeight - l.HelioCentreY - l.ViewLegendHeight}) -
                        l.DiscRadiusX - 2;
    return std::max(room, 1.0) / farthest;
}

// The scale is all that ScreenPlace reads besides the ephemeris.
ScreenKey ScreenKeyNow(const std::array<int16_t, 7>& planetOn) {
    ScreenKey key;
    key.PixelsPerUnit = PixelsPerAu(planetOn);
    return key;
}

CsvMoment IsoValue(double day) {
    return {IsoText(day)};
}

// The calendar's years (calendar.h).
SkySpan Span() {
    const std::string years = std::to_string(FirstYear) + " bis " + std::to_string(LastYear);
    return {FirstMoment(), LastMoment(), "der echte Himmel reicht nur von " + years, "nur " + years};
}

}  // namespace

double RealSkyPixelsPerAu() {
    return PixelsPerAu(Settings.PlanetOn);
}

double RealSkyDiscRadius(int body) {
    if (body < Earth || body > Sun) return 0;
    // In pixels from a disc's centre to its rim (the half-size less one):
    // the model's disc, or less, down to a disc 7 pixels across on a
    // 1024-pixel screen (more on larger ones).
    const double largest = Layout.DiscRadiusX - 1;
    const double least = std::min(largest, std::max(3.0, std::round(3 * Layout.DiscRadiusX / 19)));
    // Each shown body's disc keeps 2 pixels clear of its neighbours' discs
    // on both sides where the orbits leave room for that: neighbouring
    // orbits farther apart than two least discs and 2 pixels are drawn apart.
    const std::array<int16_t, 7>& shown = Settings.PlanetOn;
    const double scale = PixelsPerAu(shown);
    double gap = std::numeric_limits<double>::infinity();
    const int at = static_cast<int>(std::find(std::begin(Outward), std::end(Outward), body) - std::begin(Outward));
    for (int i = at - 1; i >= 0; --i)
        if (InViews(Outward[i], shown)) {
            gap = std::min(gap, (Perihelion[body] - Aphelion[Outward[i]]) * scale);
            break;
        }
    for (int i = at + 1; i < std::ssize(Outward); ++i)
        if (InViews(Outward[i], shown)) {
            gap = std::min(gap, (Perihelion[Outward[i]] - Aphelion[body]) * scale);
            break;
        }
    return std::clamp(std::floor((gap - 2) / 2), least, largest) + 1;
}

double LongitudeOfDate(double longitudeJ2000, double moment) {
    // The general precession in longitude since J2000.0 (IAU 2006) turns the
    // equinox; the ecliptic's own slow turn moves a point of it by well under
    // an arcsecond in four centuries. The nutation in longitude, as the
    // planets' apparent places have it, makes it the true equinox of date.
    // The strip asks for a dozen longitudes at one moment: the turn is kept.
    static double lastMoment = std::numeric_limits<double>::quiet_NaN(), turn = 0;
    if (moment != lastMoment) {
        double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
        eraP06e(2451545.0, moment, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa, &thetaa,
                &pa, &gam, &phi, &psi);
        turn = pa + NutationInLongitude(moment);
        lastMoment = moment;
    }
    const double longitude = std::fmod(longitudeJ2000 + turn, 2 * Pi);
    return longitude < 0 ? longitude + 2 * Pi : longitude;
}

const Sky RealSky{
    .Bodies = {.Place = Place,
               .GridDirection = Direction,
               .Elongation = Elongation,
               .Strip = StripShows::GridDirection},
    .Events = {.Of = EventsOf, .Span = Span},
    .Screen = {.PixelsPerUnit = PixelsPerAu, .Place = ScreenPlace, .Key = ScreenKeyNow},
    .Texts = {.MomentText = MomentText,
              .DayLabel = DateText,
              .MomentValue = IsoValue,
              .MomentHeading = "Zeitpunkt (UTC)"},
};
