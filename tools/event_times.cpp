// event_times FIRST_YEAR LAST_YEAR — the real sky's events of the four planets
// from 1 January of the first year to the end of the last (and two days either
// side), one line each in the form of tools/event_reference.js: "mars
// opposition 1335.250000", the moment in days of TT since J2000.0.
// tools/event_accuracy.py compares them with an independent ephemeris.
#include "model/calendar.h"
#include "model/sky.h"
#include "model/state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: event_times FIRST_YEAR LAST_YEAR\n");
        return 2;
    }
    CivilTime first, last;
    first.Year = std::atoi(argv[1]);
    last.Year = std::atoi(argv[2]) + 1;
    const double from = MomentFromUtc(first) - 2, to = MomentFromUtc(last) + 2;
    const char* planets[] = {"", "", "mercury", "venus", "mars", "jupiter"};
    const char* kinds[] = {"inferior-conjunction", "superior-conjunction", "greatest-east-elongation",
                           "greatest-west-elongation", "opposition", "conjunction", "east-quadrature",
                           "west-quadrature", "station-retrograde", "station-direct"};
    for (int body = Mercury; body <= Jupiter; ++body)
        // A thousand days at a time, as the event list asks.
        for (double t = from; t < to; t += 1000)
            for (const SkyEvent& e : RealSky.Events.Of(body, t, std::min(t + 1000, to) - 1e-9))
                std::printf("%s %s %.6f\n", planets[body], kinds[static_cast<int>(e.Kind)], e.Day);
}
