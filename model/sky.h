// sky.h — what the program asks of the sky, in one place: where each body
// stands at a moment and its direction from the Earth, the events in a span,
// where the views draw it and the text of a moment. The views, the sky strip, the jumps, the event list
// and the status line ask only this; which sky answers is the program's
// setting (the model's circles, model_sky.cpp, or the real sky,
// real_sky.cpp), so none of them branches on it.
//
// Two kinds of direction are asked for, both as seen from the Earth, in
// radians from 0 up to 2π, growing eastward (the way the planets go round in
// the views):
//   - on the grid: in the sky's own geometry (the model's circles in design-
//     grid units, round). Events, the list and the loops are found on it.
//   - on the screen: the angle of the line of sight in the views' pixels,
//     whose orbits are flattened vertically. The model's sky strip shows
//     it, so that strip and lines of sight agree; it differs from the grid's
//     by a few degrees at most. The real sky's strip shows the grid's.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
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

// A place relative to the Sun in the sky's own units (the model: design-grid
// units), x and y as in the views.
struct GridPoint {
    double X = 0, Y = 0;
};

// The days a sky's clock stays within, and what is said where it stops at an
// end. The model's circles have no end: from −∞ to +∞, and nothing to say.
struct SkySpan {
    double First = -std::numeric_limits<double>::infinity();
    double Last = std::numeric_limits<double>::infinity();
    std::string Why;    // "der echte Himmel reicht nur von 1600 bis 2400"
    std::string Words;  // the same for the status line: "nur 1600 bis 2400"
};

// What the procedures of one sky return, each kind its own type, so that a
// procedure put into another's place does not compile.
//
// A direction from the Earth on the grid, radians from 0 up to 2π.
struct GridAngle {
    double Radians = 0;
};
// A planet's angular distance from the Sun as seen from the Earth, radians,
// positive east of the Sun (the evening sky).
struct ElongationAngle {
    double Radians = 0;
};
// A moment as a file holds it, for a spreadsheet to read.
struct CsvMoment {
    std::string Text;
};

// Which direction the sky strip shows (see above).
enum class StripShows : int { ScreenDirection, GridDirection };

// Everything a sky's places on the screen are reckoned from besides the body
// and the day, as a value to compare: equal keys, equal places, and equal
// directions on the screen.
struct ScreenKey {
    // The views' scale (Sky::ScreenPart::PixelsPerUnit).
    double PixelsPerUnit = 1;
    // The model's orbits in the views' pixels, by BodyIndex, as LayOutModel
    // made them (Planets.Omega, RadiusX, RadiusY); the real sky's are 0.
    std::array<double, 7> Omega{}, RadiusX{}, RadiusY{};
    bool operator==(const ScreenKey&) const = default;
};

// One sky: the procedures that answer for it, in four parts.
struct Sky {
    // Where the bodies stand and which way they are seen.
    struct BodiesPart {
        // Where a body (a planet or the Sun) stands on day `day`, on the grid.
        GridPoint (*Place)(int body, double day);
        // Its direction from the Earth on the grid: the model's circles; the
        // real sky's apparent geocentric ecliptic longitude of date.
        GridAngle (*GridDirection)(int body, double day);
        // A planet's angular distance from the Sun as seen from the Earth.
        ElongationAngle (*Elongation)(int body, double day);
        // The model's strip shows its directions on the screen, so that strip
        // and lines of sight agree; the real sky's its ecliptic longitudes of
        // date, which a star chart shows.
        StripShows Strip;
    } Bodies;
    // The events, and the days they and the clock stay within.
    struct EventsPart {
        // Every event of one planet in [from, to], in time order.
        std::vector<SkyEvent> (*Of)(int body, double from, double to);
        // The days its clock stays within (SkySpan).
        SkySpan (*Span)();
    } Events;
    // The views' mapping: where they draw each body.
    struct ScreenPart {
        // The views' scale as it stands: pixels per unit of the places
        // (GridPoint). The real sky's fits the farthest orbit of the planets
        // shown (`planetOn`, as Settings.PlanetOn; the Earth and the Sun
        // always are) to the view (read: Layout); the model's places are in
        // pixels already: 1.
        double (*PixelsPerUnit)(const std::array<int16_t, 7>& planetOn);
        // Where the views draw a body on day `day` at that scale: pixels
        // relative to the Sun, x right, y down. The views' positions at each
        // step come from here. The model's reads its orbits in pixels
        // (Planets, as LayOutModel made them), the real sky's nothing else.
        void (*Place)(int body, double day, double pixelsPerUnit, double& x, double& y);
        // What Place answers from, as it stands (ScreenKey).
        ScreenKey (*Key)(const std::array<int16_t, 7>& planetOn);
    } Screen;
    // The texts of a moment.
    struct TextsPart {
        // A moment as the program writes it, for a clock that moves `step`
        // days at a time, or exactly (step 0: an event's moment): "Tag 806,15",
        // "Fr 19.02.2027", "19.02.2027 16:49".
        std::string (*MomentText)(double day, double step);
        // A day alone, as a label: "Tag 1574", "10.01.2027".
        std::string (*DayLabel)(double day);
        // A moment in a file, as a spreadsheet reads it: "806.15",
        // "2027-02-19T15:49Z"; and the heading of its column.
        CsvMoment (*MomentValue)(double day);
        const char* MomentHeading;
    } Texts;
};

// The model's circles (model_sky.cpp): its day 0 is no date.
extern const Sky ModelSky;
// The real sky (real_sky.cpp): the planets on their true orbits, its days
// those of Terrestrial Time since J2000.0 (calendar.h).
extern const Sky RealSky;

// Which sky is shown, and where each one's clock was left, so that switching
// back returns to it.
struct SkyChoice {
    bool Real = false;            // the real sky is shown, not the model's circles
    double ModelDay = 0;          // the model's clock when it was left
    double RealDay = 0;           // the real sky's clock when it was left (days TT since J2000.0)
    bool RealDaySet = false;      // a date has been set or reached before
};
extern SkyChoice Skies;

// The sky that is shown.
const Sky& TheSky();

// ---------------------------------------------------------------------------
// What follows asks the sky that is shown.

// The German names, as the status line and the list give them, and as a
// screen reader says a moment reached ("in Opposition").
std::string EventName(EventKind kind);
std::string EventPhrase(EventKind kind);
std::string BodyName(int body);

// A body's direction from the Earth on the screen (see above), at the views'
// scale as it stands (read: Settings.PlanetOn).
double ScreenDirection(int body, double day);
// The direction the sky strip shows: on the screen or on the grid, as the
// sky says (Sky::BodiesPart::Strip).
double StripDirection(int body, double day);
// What StripDirection answers from besides the body and the day: the sky
// shown and, where its strip shows directions on the screen, the key of its
// places there (read: Settings.PlanetOn). Equal keys, equal directions: what
// is kept of them is kept by this key.
struct StripKey {
    const Sky* Of = nullptr;
    ScreenKey Screen;
    bool operator==(const StripKey&) const = default;
};
StripKey StripDirectionsKey();

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

// The loop of the moment: the loop a planet runs at `day` (from its first
// standstill to its last, both counted), else its next one; and the
// conjunctions before and after it (for Mercury and Venus the superior
// ones), between which it lies: one synodic period of the planet with that
// loop in it. What a lesson says about "the loop" at a moment is about this one.
struct MomentLoop {
    LoopFigures Loop;
    SkyEvent Before, After;
};
MomentLoop LoopOfMoment(int body, double day);
