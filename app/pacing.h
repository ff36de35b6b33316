// pacing.h — when the main loop's passes run. Pure logic on a clock the
// caller reads, so it can be tested with any clock.
#pragma once

#include <cstdint>

struct Pacer {
    int64_t PeriodNs = 0;     // time between passes; 0: unpaced
    int64_t NextPassNs = 0;   // when the next pass may start
};

// Starts pacing at the given number of passes per second (0: unpaced); the
// first pass may start at once.
void StartPacer(Pacer& pacer, int passesPerSecond, int64_t nowNs);
// After a pass that ended at nowNs: the next one is due one period after the
// last deadline, so passes do not drift. Passes missed by up to a period or
// 20 ms, whichever is longer, follow at once; after a longer delay the
// schedule starts afresh from there instead of racing to catch up.
void PassDone(Pacer& pacer, int64_t nowNs);
