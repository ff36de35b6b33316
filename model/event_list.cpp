// event_list.cpp — the list of coming events and loops.
#include "model/event_list.h"

#include "model/decimal.h"
#include "model/sky.h"
#include "model/state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Degrees = 180 / std::numbers::pi;
// Closer to the Sun than this a planet is lost in its glare; farther from it
// than this it is up all night (only an outer planet gets there).
constexpr double NearSunDegrees = 10, AllNightDegrees = 150;

std::string DayText(double day) {
    return TheSky().Texts.MomentText(day, 0);
}

bool AnyPlanet(const std::array<int16_t, 7>& planetOn) {
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) return true;
    return false;
}

// Where a class finds the planet: east of the Sun it sets after the Sun (the
// evening sky), west of it it rises before the Sun (the morning sky).
std::string SkyPlace(double elongation) {
    const double degrees = std::abs(elongation) * Degrees;
    if (degrees < NearSunDegrees) return "nahe der Sonne";
    if (degrees > AllNightDegrees) return "die ganze Nacht am Himmel";
    return elongation > 0 ? "am Abendhimmel" : "am Morgenhimmel";
}

bool IsElongation(EventKind kind) {
    return kind == EventKind::GreatestEastElongation || kind == EventKind::GreatestWestElongation;
}

// What an event line adds for a class that wants to watch it: a greatest
// elongation's angle, and where the planet is seen at an elongation, a
// quadrature and an opposition.
std::string Watching(const SkyEvent& e) {
    const double elongation = TheSky().Bodies.Elongation(e.Body, e.Day).Radians;
    switch (e.Kind) {
        case EventKind::GreatestEastElongation:
        case EventKind::GreatestWestElongation:
            return ", " + GermanNumber(std::abs(elongation) * Degrees, 1) + "°, " + SkyPlace(elongation);
        case EventKind::EastQuadrature:
        case EventKind::WestQuadrature:
        case EventKind::Opposition: return ", " + SkyPlace(elongation);
        default: return {};
    }
}

// The list runs EventListDays ahead, or to the end of the sky's span.
double ListEnd(double day, const SkySpan& span) {
    return std::min(day + EventListDays, span.Last);
}

}  // namespace

std::vector<std::string> EventListLines(double day, const std::array<int16_t, 7>& planetOn) {
    if (!AnyPlanet(planetOn)) return {"Kein Planet außer der Erde ist eingeschaltet: es gibt keine Ereignisse."};
    const SkySpan span = TheSky().Events.Span();
    const double end = ListEnd(day, span);
    std::vector<std::string> lines{end < day + EventListDays
                                       ? "Ereignisse ab " + DayText(day) + " bis " + DayText(end) + " (" + span.Why +
                                             "):"
                                       : "Ereignisse der nächsten " + GermanNumber(EventListDays, 0) + " Tage ab " +
                                             DayText(day) + ":"};
    // Where each shown planet stands at the start.
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (planetOn[k] != 1) continue;
        const double elongation = TheSky().Bodies.Elongation(k, day).Radians;
        lines.push_back(BodyName(k) + ": " + GermanNumber(std::abs(elongation) * Degrees, 0) + "° " +
                        (elongation > 0 ? "östlich" : "westlich") + " der Sonne, " + SkyPlace(elongation));
    }
    lines.push_back("");
    for (const SkyEvent& e : EventsBetween(day, end, planetOn))
        lines.push_back(DayText(e.Day) + "  " + BodyName(e.Body) + "  " + EventName(e.Kind) + Watching(e));
    lines.push_back("");
    lines.push_back("Die nächste Schleife (rückläufig von … bis …):");
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (planetOn[k] != 1) continue;
        const LoopFigures loop = NextLoop(k, day);
        if (!(loop.LastDay <= span.Last)) {
            lines.push_back(BodyName(k) + ": keine ganze Schleife mehr bis " + DayText(span.Last));
            continue;
        }
        lines.push_back(BodyName(k) + ": " + DayText(loop.FirstDay) + " bis " + DayText(loop.LastDay) + ", " +
                        GermanNumber(loop.Days, 2) + " Tage, " + GermanNumber(loop.WidthDegrees, 1) +
                        "° am Himmel");
    }
    return lines;
}

std::string EventListCsv(double day, const std::array<int16_t, 7>& planetOn) {
    // Which moment and which planets the list was made for, in two columns
    // at the end of every row: the header stays the first line and the
    // event's moment the first column, so a spreadsheet sorts and filters it
    // as before.
    std::string planets;
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) planets += (planets.empty() ? "" : " ") + BodyName(k);
    const Sky& sky = TheSky();
    const std::string made = "," + sky.Texts.MomentValue(day).Text + "," + planets + "\n";
    const std::string heading = sky.Texts.MomentHeading;
    std::string csv = heading + ",Planet,Ereignis,bis " + heading + ",Tage,Grad,Liste ab " + heading +
                      ",Planeten der Liste\n";
    // A greatest elongation's angle from the Sun in the degrees' column.
    const SkySpan span = sky.Events.Span();
    for (const SkyEvent& e : EventsBetween(day, ListEnd(day, span), planetOn)) {
        const double elongation = IsElongation(e.Kind) ? sky.Bodies.Elongation(e.Body, e.Day).Radians : 0;
        csv += sky.Texts.MomentValue(e.Day).Text + "," + BodyName(e.Body) + "," + EventName(e.Kind) + ",,," +
               (IsElongation(e.Kind) ? PointNumber(std::abs(elongation) * Degrees, 1) : "") + made;
    }
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (planetOn[k] != 1) continue;
        const LoopFigures loop = NextLoop(k, day);
        if (!(loop.LastDay <= span.Last)) continue;
        csv += sky.Texts.MomentValue(loop.FirstDay).Text + "," + BodyName(k) + ",Schleife (rückläufig)," +
               sky.Texts.MomentValue(loop.LastDay).Text + "," + PointNumber(loop.Days, 2) + "," +
               PointNumber(loop.WidthDegrees, 1) + made;
    }
    return csv;
}
