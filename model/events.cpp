// events.cpp — a planet's events, each where the difference of its and the
// Earth's heliocentric angles takes one value. That difference grows evenly
// with time, so each event recurs once per synodic period, and its days are
// (value + 2πn) / (ω_planet − ω_Earth).
#include "model/events.h"

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

// The direction's rate of change, radians a day: the cross product of the
// planet's place and velocity relative to the Earth, over the distance squared.
double DirectionRate(int body, double day) {
    const GridPoint p = BodyPoint(body, day), e = BodyPoint(Earth, day);
    const double wp = Omega(body), we = Omega(Earth);
    const double dx = p.X - e.X, dy = p.Y - e.Y;
    const double vx = -wp * p.Y + we * e.Y, vy = wp * p.X - we * e.X;
    return (dx * vy - dy * vx) / (dx * dx + dy * dy);
}

// The angle from the Sun's direction to the planet's, seen from the Earth:
// positive east of the Sun, in (−π, π].
double Elongation(int body, double day) {
    double e = DirectionFromEarth(body, day) - DirectionFromEarth(Sun, day);
    while (e > Pi) e -= 2 * Pi;
    while (e <= -Pi) e += 2 * Pi;
    return e;
}

}  // namespace

std::string EventName(EventKind kind) {
    switch (kind) {
        case EventKind::InferiorConjunction: return "untere Konjunktion";
        case EventKind::SuperiorConjunction: return "obere Konjunktion";
        case EventKind::GreatestEastElongation: return "größte östliche Elongation";
        case EventKind::GreatestWestElongation: return "größte westliche Elongation";
        case EventKind::Opposition: return "Opposition";
        case EventKind::Conjunction: return "Konjunktion";
        case EventKind::EastQuadrature: return "östliche Quadratur";
        case EventKind::WestQuadrature: return "westliche Quadratur";
        case EventKind::StationRetrograde: return "Stillstand (rückläufig)";
        case EventKind::StationDirect: return "Stillstand (rechtläufig)";
    }
    return {};
}

std::string BodyName(int body) {
    switch (body) {
        case Earth: return "Erde";
        case Mercury: return "Merkur";
        case Venus: return "Venus";
        case Mars: return "Mars";
        case Jupiter: return "Jupiter";
        case Sun: return "Sonne";
        default: return {};
    }
}

GridPoint BodyPoint(int body, double day) {
    if (body < Earth || body > Jupiter) return {};
    const double phi = Omega(body) * day;
    return {Radius(body) * std::cos(phi), Radius(body) * std::sin(phi)};
}

double DirectionFromEarth(int body, double day) {
    const GridPoint p = BodyPoint(body, day), e = BodyPoint(Earth, day);
    const double a = std::atan2(p.Y - e.Y, p.X - e.X);
    return a < 0 ? a + 2 * Pi : a;
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
                const bool east = Elongation(body, day) > 0;
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

std::vector<SkyEvent> EventsBetween(double from, double to, const std::array<int16_t, 7>& planetOn) {
    std::vector<SkyEvent> events;
    for (int body = Mercury; body <= Jupiter; ++body) {
        if (planetOn[body] != 1) continue;
        std::vector<SkyEvent> own = EventsOf(body, from, to);
        events.insert(events.end(), own.begin(), own.end());
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const SkyEvent& a, const SkyEvent& b) { return a.Day < b.Day; });
    return events;
}

namespace {

// An event closer than this to the day asked about counts as on it, so that
// from an event reached the next one is the one after it.
constexpr double Same = 1e-6;
// Longer than any planet's synodic period, so each one's every event recurs in it.
constexpr double Window = 1000;

}  // namespace

std::optional<SkyEvent> NextEvent(double day, const std::array<int16_t, 7>& planetOn) {
    for (const SkyEvent& e : EventsBetween(day, day + Window, planetOn))
        if (e.Day > day + Same) return e;
    return std::nullopt;
}

std::optional<SkyEvent> PreviousEvent(double day, const std::array<int16_t, 7>& planetOn) {
    const std::vector<SkyEvent> events = EventsBetween(day - Window, day, planetOn);
    for (auto e = events.rbegin(); e != events.rend(); ++e)
        if (e->Day < day - Same) return *e;
    return std::nullopt;
}

LoopFigures NextLoop(int body, double day) {
    LoopFigures loop;
    const std::vector<SkyEvent> events = EventsOf(body, day, day + 2 * Window);
    auto first = std::find_if(events.begin(), events.end(),
                              [](const SkyEvent& e) { return e.Kind == EventKind::StationRetrograde; });
    if (first == events.end()) return loop;
    auto last = std::find_if(first, events.end(), [](const SkyEvent& e) { return e.Kind == EventKind::StationDirect; });
    if (last == events.end()) return loop;
    loop.FirstDay = first->Day;
    loop.LastDay = last->Day;
    loop.Days = last->Day - first->Day;
    double width = DirectionFromEarth(body, first->Day) - DirectionFromEarth(body, last->Day);
    while (width < 0) width += 2 * Pi;
    while (width >= 2 * Pi) width -= 2 * Pi;
    loop.WidthDegrees = width * 180 / Pi;
    return loop;
}
