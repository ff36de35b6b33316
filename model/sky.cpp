// sky.cpp — what every sky answers alike: the names, the directions on the
// screen, and the events of the shown planets, the next and previous one and
// the next loop, from the events the sky gives for each planet.
#include "model/sky.h"

#include "model/state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// Each kind of event: its name, and how a screen reader says a planet is in it.
struct EventWords {
    const char* Name;
    const char* Phrase;
};
constexpr EventWords Words[] = {
    {"untere Konjunktion", "in unterer Konjunktion"},
    {"obere Konjunktion", "in oberer Konjunktion"},
    {"größte östliche Elongation", "in größter östlicher Elongation"},
    {"größte westliche Elongation", "in größter westlicher Elongation"},
    {"Opposition", "in Opposition"},
    {"Konjunktion", "in Konjunktion"},
    {"östliche Quadratur", "in östlicher Quadratur"},
    {"westliche Quadratur", "in westlicher Quadratur"},
    {"Stillstand (rückläufig)", "steht still und läuft dann rückwärts"},
    {"Stillstand (rechtläufig)", "steht still und läuft dann wieder vorwärts"},
};

}  // namespace

SkyChoice Skies;

const Sky& TheSky() {
    return Skies.Real ? RealSky : ModelSky;
}

std::string EventName(EventKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < std::size(Words) ? Words[i].Name : "";
}

std::string EventPhrase(EventKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < std::size(Words) ? Words[i].Phrase : "";
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

namespace {

// The direction of the line of sight in the views, from the views' own places.
double DirectionOnScreen(const Sky& sky, double pixelsPerUnit, int body, double day) {
    double xk = 0, yk = 0, xe = 0, ye = 0;
    sky.Screen.Place(body, day, pixelsPerUnit, xk, yk);
    sky.Screen.Place(Earth, day, pixelsPerUnit, xe, ye);
    double a = std::atan2(yk - ye, xk - xe);
    if (a < 0) a += 2 * Pi;
    return a < 2 * Pi ? a : 0;
}

}  // namespace

double ScreenDirection(int body, double day) {
    const Sky& sky = TheSky();
    return DirectionOnScreen(sky, sky.Screen.PixelsPerUnit(Settings.PlanetOn), body, day);
}

double StripDirection(int body, double day) {
    const Sky& sky = TheSky();
    return sky.Bodies.Strip == StripShows::ScreenDirection ? ScreenDirection(body, day)
                                                           : sky.Bodies.GridDirection(body, day).Radians;
}

StripKey StripDirectionsKey() {
    const Sky& sky = TheSky();
    StripKey key{&sky, {}};
    if (sky.Bodies.Strip == StripShows::ScreenDirection) key.Screen = sky.Screen.Key(Settings.PlanetOn);
    return key;
}

std::vector<SkyEvent> EventsBetween(double from, double to, const std::array<int16_t, 7>& planetOn) {
    std::vector<SkyEvent> events;
    for (int body = Mercury; body <= Jupiter; ++body) {
        if (planetOn[body] != 1) continue;
        std::vector<SkyEvent> own = TheSky().Events.Of(body, from, to);
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

namespace {

// The figures of the loop between two standstills.
LoopFigures LoopBetween(int body, const SkyEvent& first, const SkyEvent& last) {
    LoopFigures loop;
    loop.FirstDay = first.Day;
    loop.LastDay = last.Day;
    loop.Days = last.Day - first.Day;
    double width = TheSky().Bodies.GridDirection(body, first.Day).Radians -
                   TheSky().Bodies.GridDirection(body, last.Day).Radians;
    while (width < 0) width += 2 * Pi;
    while (width >= 2 * Pi) width -= 2 * Pi;
    loop.WidthDegrees = width * 180 / Pi;
    return loop;
}

bool Is(const SkyEvent& e, EventKind kind) { return e.Kind == kind; }

}  // namespace

LoopFigures NextLoop(int body, double day) {
    const std::vector<SkyEvent> events = TheSky().Events.Of(body, day, day + 2 * Window);
    auto first = std::find_if(events.begin(), events.end(),
                              [](const SkyEvent& e) { return Is(e, EventKind::StationRetrograde); });
    if (first == events.end()) return {};
    auto last = std::find_if(first, events.end(), [](const SkyEvent& e) { return Is(e, EventKind::StationDirect); });
    if (last == events.end()) return {};
    return LoopBetween(body, *first, *last);
}

MomentLoop LoopOfMoment(int body, double day) {
    MomentLoop m;
    const EventKind bound = body == Mercury || body == Venus ? EventKind::SuperiorConjunction : EventKind::Conjunction;
    const std::vector<SkyEvent> events = TheSky().Events.Of(body, day - Window, day + 2 * Window);
    // The first loop in time that has not ended before the moment.
    for (auto first = events.begin(); first != events.end(); ++first) {
        if (!Is(*first, EventKind::StationRetrograde)) continue;
        auto last =
            std::find_if(first, events.end(), [](const SkyEvent& e) { return Is(e, EventKind::StationDirect); });
        if (last == events.end()) return m;
        if (last->Day < day) continue;
        m.Loop = LoopBetween(body, *first, *last);
        for (auto e = first; e != events.begin();)
            if (Is(*--e, bound)) {
                m.Before = *e;
                break;
            }
        auto after = std::find_if(last, events.end(), [bound](const SkyEvent& e) { return Is(e, bound); });
        if (after != events.end()) m.After = *after;
        return m;
    }
    return m;
}
