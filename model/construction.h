// construction.h — the moments of the construction of a loop, as a textbook
// draws it: the Earth and the planet at numbered moments a whole number of
// days apart; the line through each numbered pair, drawn on to a band of
// fixed stars, meets it at points that run forward, back and forward again.
//
// The rule, the same for Mercury, Venus and Mars in either sky: nine
// numbers, one interval of whole days apart, the whole number nearest to
// 0.4 of the loop's length R (the days from its first standstill to its
// last; at least 1). Number 5 is the moment nearest the middle of the
// loop, close to the inferior conjunction or the opposition, so that
// number 1 comes about 1.1 R before the first standstill and number 9 as
// long after the last. R is 2.5 intervals, so that no two numbers lie
// symmetric about a standstill, where they would meet in one point of the
// band: the points run forward from 1 to 4 (4 just past the first
// standstill), back from 4 to 6 (6 just before the last) and forward from
// 6 to 9.
//   - In the model the moments are whole day numbers ("Tag 806").
//   - In the real sky each is 00:00 UTC of its day, so that every number is
//     a date (Mars 2027: "1 = 15.10.2026", every 32 days to "9 =
//     28.06.2027"), the same local date wherever the clocks are on UTC or
//     ahead of it (Germany: 01:00 MEZ, 02:00 MESZ), and the same whatever
//     the daylight saving time. The interval is whole days of UTC, which in
//     the clock's days of TT differ from whole ones by the change of ΔT:
//     0.06 s in 2027, 0.3 s at most (in 2400).
// The constructions are made for the sky that is shown (TheSky()); in the
// real sky one takes some 50 ms (the events of the years around it), so it
// is made once, not at every step.
#pragma once

#include "model/sky.h"

#include <vector>

struct LoopConstruction {
    int Body = 0;
    LoopFigures Loop;             // the loop it is drawn for (NextLoop's figures)
    int Interval = 0;             // days from one number to the next
    std::vector<double> Moments;  // number k (from 1) at Moments[k − 1], in the clock's days; none without a loop
};

// The construction of a planet's loop (Mercury, Venus or Mars; Jupiter's
// loops work alike); no moments where one would leave the real sky's years.
LoopConstruction ConstructionOfLoop(int body, const LoopFigures& loop);

// The construction whose numbers span `day`, else that of the loop of the
// moment (LoopOfMoment). From a loop's last standstill to its number 9 that
// is still this loop's, though LoopOfMoment already names the next one: so
// that → and ← keep to one construction.
LoopConstruction ConstructionOfMoment(int body, double day);

// How many numbers the clock has reached at `day`: those at `day` or before
// it, one at most a millionth of a day later counting as reached (0 … 9).
int NumbersReached(const LoopConstruction& c, double day);

// The number after `day` and the one before it (one at `day` itself, to a
// millionth of a day, is neither), 0 where there is none: the moments → and
// ← go to, c.Moments[number − 1].
int NextNumber(const LoopConstruction& c, double day);
int PreviousNumber(const LoopConstruction& c, double day);
