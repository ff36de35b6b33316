// events.h — the moments that explain a planet's loop, as seen from the
// Earth: conjunctions, oppositions, elongations, quadratures and the two
// standstills. Worked out from the model itself (its circles in design-grid
// units, its angular speeds, every body at angle 0 on day 0) in closed form,
// so they hold to the last digit and need no stepping.
//
// Directions grow eastward: the way the planets go round in the views.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class EventKind : int {
    InferiorConjunction,  // Mercury and Venus
    SuperiorConjunction,
    GreatestEastElongation,
    GreatestWestElongation,
    Opposition,           // Mars and Jupiter
    Conjunction,
    EastQuadrature,
    WestQuadrature,
    StationRetrograde,    // every planet: it stops and turns backward
    StationDirect,        // it stops and goes forward again
};

struct SkyEvent {
    double Day = 0;
    int Body = 0;  // a BodyIndex, never the Earth or the Sun
    EventKind Kind = EventKind::Opposition;
    bool operator==(const SkyEvent&) const = default;
};

// The German names, as the status line and the list give them.
std::string EventName(EventKind kind);
std::string BodyName(int body);

// Where a body stands on day t, relative to the Sun, in design-grid units.
struct GridPoint {
    double X = 0, Y = 0;
};
GridPoint BodyPoint(int body, double day);
// The direction of a body (a planet or the Sun) as seen from the Earth on
// day t, in radians from 0 up to 2π.
double DirectionFromEarth(int body, double day);

// Every event of one planet in [from, to], in time order.
std::vector<SkyEvent> EventsOf(int body, double from, double to);
// Every event of the shown planets (planetOn[k] == 1; the Earth never
// counts) in [from, to], in time order.
std::vector<SkyEvent> EventsBetween(double from, double to, const std::array<int16_t, 7>& planetOn);
// The first event of a shown planet after `day` and the last before it (an
// event on `day` itself is neither); none when no planet but the Earth is shown.
std::optional<SkyEvent> NextEvent(double day, const std::array<int16_t, 7>& planetOn);
std::optional<SkyEvent> PreviousEvent(double day, const std::array<int16_t, 7>& planetOn);

// A planet's next loop after `day`: the first and last day of its running
// backward, the days between and the width of sky it runs back over.
struct LoopFigures {
    double FirstDay = 0, LastDay = 0, Days = 0, WidthDegrees = 0;
};
LoopFigures NextLoop(int body, double day);
