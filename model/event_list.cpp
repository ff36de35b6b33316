// event_list.cpp — the list of coming events and loops.
#include "model/event_list.h"

#include "model/decimal.h"
#include "model/sky.h"
#include "model/state.h"

namespace {

std::string DayText(double day) {
    return TheSky().MomentText(day, 0);
}

bool AnyPlanet(const std::array<int16_t, 7>& planetOn) {
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) return true;
    return false;
}

}  // namespace

std::vector<std::string> EventListLines(double day, const std::array<int16_t, 7>& planetOn) {
    if (!AnyPlanet(planetOn)) return {"Kein Planet außer der Erde ist eingeschaltet: es gibt keine Ereignisse."};
    std::vector<std::string> lines{"Ereignisse der nächsten " + GermanNumber(EventListDays, 0) + " Tage ab " +
                                       DayText(day) + ":",
                                   ""};
    for (const SkyEvent& e : EventsBetween(day, day + EventListDays, planetOn))
        lines.push_back(DayText(e.Day) + "  " + BodyName(e.Body) + "  " + EventName(e.Kind));
    lines.push_back("");
    lines.push_back("Die nächste Schleife (rückläufig von … bis …):");
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (planetOn[k] != 1) continue;
        const LoopFigures loop = NextLoop(k, day);
        lines.push_back(BodyName(k) + ": " + DayText(loop.FirstDay) + " bis " + DayText(loop.LastDay) + ", " +
                        GermanNumber(loop.Days, 2) + " Tage, " + GermanNumber(loop.WidthDegrees, 1) +
                        "° am Himmel");
    }
    return lines;
}

std::string EventListCsv(double day, const std::array<int16_t, 7>& planetOn) {
    // Which moment and which planets the list was made for, in two columns
    // at the end of every row: the header stays the first line and the
    // event's day the first column, so a spreadsheet sorts and filters it as
    // before.
    std::string planets;
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) planets += (planets.empty() ? "" : " ") + BodyName(k);
    const Sky& sky = TheSky();
    const std::string made = "," + sky.MomentValue(day) + "," + planets + "\n";
    const std::string heading = sky.MomentHeading;
    std::string csv = heading + ",Planet,Ereignis,bis " + heading + ",Tage,Grad,Liste ab " + heading +
                      ",Planeten der Liste\n";
    for (const SkyEvent& e : EventsBetween(day, day + EventListDays, planetOn))
        csv += sky.MomentValue(e.Day) + "," + BodyName(e.Body) + "," + EventName(e.Kind) + ",,," + made;
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (planetOn[k] != 1) continue;
        const LoopFigures loop = NextLoop(k, day);
        csv += sky.MomentValue(loop.FirstDay) + "," + BodyName(k) + ",Schleife (rückläufig)," +
               sky.MomentValue(loop.LastDay) + "," + PointNumber(loop.Days, 2) + "," +
               PointNumber(loop.WidthDegrees, 1) + made;
    }
    return csv;
}
