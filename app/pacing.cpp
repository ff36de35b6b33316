// pacing.cpp — the schedule of the main loop's passes.
#include "app/pacing.h"

#include <algorithm>

void StartPacer(Pacer& pacer, int passesPerSecond, int64_t nowNs) {
    pacer.PeriodNs = passesPerSecond > 0 ? (1'000'000'000LL + passesPerSecond / 2) / passesPerSecond : 0;
    pacer.NextPassNs = nowNs;
}

void PassDone(Pacer& pacer, int64_t nowNs) {
    // Behind by a hiccup (a pass that repainted the windows, a late wake-up),
    // the passes missed follow at once, so that even hundreds of passes a
    // second keep their rate; behind by more (a box, the dialog, a machine
    // too slow for the rate), the schedule starts afresh from now instead of
    // racing through a burst of steps.
    constexpr int64_t HiccupNs = 20'000'000;
    pacer.NextPassNs += pacer.PeriodNs;
    if (pacer.NextPassNs < nowNs - std::max(pacer.PeriodNs, HiccupNs)) pacer.NextPassNs = nowNs;
}
