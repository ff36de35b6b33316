// construction.cpp — the numbered moments of a loop's construction, from the
// loop of the moment alone (sky.h), and the calendar for the real sky's
// midnights.
#include "model/construction.h"

#include "model/calendar.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int Numbers = 9, Middle = 5;
// The loop's length in intervals: 2.5, so that no two numbers lie
// symmetric about a standstill.
constexpr double IntervalsPerLoop = 2.5;
// A number closer than this to the day asked about counts as on it.
constexpr double Same = 1e-6;

bool RealSkyShown() { return &TheSky() == &RealSky; }

// The real sky's moment of 00:00 UTC nearest to `moment`.
double NearestMidnight(double moment) {
    const CivilTime u = UtcOf(moment + 0.5);
    return MomentFromUtc({u.Year, u.Month, u.Day});
}

}  // namespace

LoopConstruction ConstructionOfLoop(int body, const LoopFigures& loop) {
    LoopConstruction c{body, loop, 0, {}};
    if (loop.Days <= 0) return c;
    c.Interval = std::max(1, static_cast<int>(std::lround(loop.Days / IntervalsPerLoop)));
    const bool real = RealSkyShown();
    const double middle = (loop.FirstDay + loop.LastDay) / 2;
    const double centre = real ? NearestMidnight(middle) : std::round(middle);
    for (int k = 1; k <= Numbers; ++k) {
        const double day = centre + (k - Middle) * c.Interval;
        c.Moments.push_back(real ? NearestMidnight(day) : day);
    }
    if (real && (c.Moments.front() < FirstMoment() || c.Moments.back() > LastMoment())) c.Moments.clear();
    return c;
}

LoopConstruction ConstructionOfMoment(int body, double day) {
    const LoopFigures next = LoopOfMoment(body, day).Loop;
    LoopConstruction c = ConstructionOfLoop(body, next);
    if (c.Moments.empty() || day >= c.Moments.front() - Same) return c;
    // The loop before: its construction ends 1.1 loop lengths after it,
    // and 2 before the day the loop before that has long ended.
    LoopConstruction before = ConstructionOfLoop(body, LoopOfMoment(body, day - 2 * next.Days).Loop);
    return !before.Moments.empty() && day <= before.Moments.back() + Same ? before : c;
}

int NumbersReached(const LoopConstruction& c, double day) {
    return static_cast<int>(std::upper_bound(c.Moments.begin(), c.Moments.end(), day + Same) - c.Moments.begin());
}

int NextNumber(const LoopConstruction& c, double day) {
    const int reached = NumbersReached(c, day);
    return reached < static_cast<int>(c.Moments.size()) ? reached + 1 : 0;
}

int PreviousNumber(const LoopConstruction& c, double day) {
    return static_cast<int>(std::lower_bound(c.Moments.begin(), c.Moments.end(), day - Same) - c.Moments.begin());
}
