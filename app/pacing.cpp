// pacing.cpp — the schedule of the main loop's passes.
#include "app/pacing.h"

void StartPacer(Pacer& pacer, int passesPerSecond, int64_t nowNs) {
    pacer.PeriodNs = passesPerSecond > 0 ? (1'000'000'000LL + passesPerSecond / 2) / passesPerSecond : 0;
    pacer.NextPassNs = nowNs;
}

void PassDone(Pacer& pacer, int64_t nowNs) {
    pacer.NextPassNs += pacer.PeriodNs;
    if (pacer.NextPassNs < nowNs) pacer.NextPassNs = nowNs;
}
