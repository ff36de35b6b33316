// bench_step_views.cpp — one animation step with both views, unpaced, timed
// the same way on the desktop (Qt's offscreen platform) and in the browser
// (built with emscripten into its own page), so that the two editions can be
// set side by side: Google Benchmark does not exist for the browser.
//
//   build-test/bench/bench_step_views [--screen=1024x768]
//   bench/bench_web.py --page build-web/bench/bench_step_views.html   (a page of 1024 x 768)
//
// Prints, per mode, the median over 15 rounds of 1000 steps, in µs per step;
// then the same for a step of the classroom's pass with the sky strip, with
// the lines of sight and with neither (all planets, planets only); and the
// time "next event" takes to go once round Mars's synodic period, from one
// opposition (day 0) to the next, with planets and paths (median of 5 rounds,
// each from day 0 on empty views).
// The same passes in the real sky follow (the planets' true orbits from the
// start of 2027 on), then its list of 1000 days and "next event" once round
// Mars's synodic period from its opposition of February 2027, Mars alone, to
// the next (both with nothing of them computed before: each round from a
// date of its own), with the longest single jump.
// What a step lets through in each edition (repaints) is part of the step;
// the page's own turns, which the program gives it every 50 ms, fall into
// few rounds, which the median leaves out.
#include "app/animation.h"
#include "app/choices.h"
#include "app/classroom.h"
#include "app/commands.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/calendar.h"
#include "model/event_list.h"
#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// The figures, for whoever drives the page.
EM_JS(void, hand_over, (const char* text), { window.benchResult = UTF8ToString(text); });
#else
#include <fstream>
#endif

namespace {

constexpr int Rounds = 15, StepsPerRound = 1000;

void EmptyViews(int drawMode, double polygon) {
    Settings.SystemMode = 3;
    Settings.DrawMode = drawMode;
    Settings.PolygonOn = polygon;
    Settings.PlanetOn.fill(1);
    if (polygon > 0) Settings.PlanetOn[Jupiter] = -1;
    ClearWindow(Win_2);
    ClearWindow(Win_3);
    for (auto* store : {&Images.HelioBackground, &Images.GeoBackground})
        for (Image& img : *store) EmptyImage(img);
}

template <class Step>
double MedianMicroseconds(Step step) {
    // Warm up: every store has its buffer, the windows their pictures.
    for (int n = 0; n < 200; ++n) step();
    std::array<double, Rounds> us{};
    for (double& round : us) {
        const int64_t start = SteadyNanoseconds();
        for (int n = 0; n < StepsPerRound; ++n) step();
        round = static_cast<double>(SteadyNanoseconds() - start) / StepsPerRound / 1000;
    }
    std::sort(us.begin(), us.end());
    return us[Rounds / 2];
}

double MedianMicroseconds(int drawMode, double polygon) {
    EmptyViews(drawMode, polygon);
    return MedianMicroseconds(AnimationStep);
}

// The classroom's pass, running, with the sky strip, the lines of sight or
// the construction of Mars's loop (all its numbers reached) shown.
double PassMicroseconds(bool strip, bool sightLines, bool construction = false) {
    EmptyViews(6, -1.0);
    Settings.TimeStep = 0.5;
    Classroom.Paused = false;
    Classroom.SkyStripOn = strip;
    Classroom.SightLinesOn = sightLines;
    if (construction) {
        LoopConstruction c = ConstructionOfMoment(Mars, Planets.SimTime);
        Planets.SimTime = c.Moments.back();
        Classroom.Construction = c;
    }
    ShowSkyStrip(strip);
    ShowSightLines(sightLines);
    if (Classroom.Construction) ShowConstruction(&*Classroom.Construction, Planets.SimTime);
    const double us = MedianMicroseconds(ClassroomPass);
    Classroom.SkyStripOn = Classroom.SightLinesOn = false;
    ShowSkyStrip(false);
    ShowSightLines(false);
    if (Classroom.Construction) Classroom.Construction.reset(), ShowConstruction(nullptr, 0);
    return us;
}

// Mars's oppositions: the days on which the Earth has gained a whole turn more.
double MarsSynodicDays() {
    return 2 * std::numbers::pi / (Planets.Omega[Earth] - Planets.Omega[Mars]);
}

// Mars alone at a moment, both views with planets and paths, time step 0.5 d,
// no steps to go back or forth: where each round of jumps starts.
void MarsAloneAt(double moment) {
    EmptyViews(7, -1.0);
    Settings.PlanetOn.fill(-1);
    Settings.PlanetOn[Earth] = Settings.PlanetOn[Mars] = Settings.PlanetOn[Sun] = 1;
    Settings.TimeStep = 0.5;
    Classroom.Earlier.clear();
    Classroom.Later.clear();
    MoveModelTo(moment);
}

// "Next event" from Mars's opposition on day 0 until the clock reaches the
// next one, Mars alone, both views with planets and paths: ms, median of 5.
double SynodicJumpMilliseconds() {
    std::array<double, 5> ms{};
    for (double& round : ms) {
        MarsAloneAt(0);
        const int64_t start = SteadyNanoseconds();
        for (int jumps = 0; Planets.SimTime < MarsSynodicDays() - 0.01 && jumps < 20; ++jumps)
            CommandChoice(NextEventCommand);
        round = static_cast<double>(SteadyNanoseconds() - start) / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// 00:00 UTC of a day, as the real sky's clock reads it.
double Date(int year, int month, int day) {
    CivilTime t;
    t.Year = year;
    t.Month = month;
    t.Day = day;
    return MomentFromUtc(t);
}

template <class Round>
double MedianMilliseconds(Round round) {
    std::array<double, 5> ms{};
    for (std::size_t i = 0; i < ms.size(); ++i) {
        const int64_t start = SteadyNanoseconds();
        round(static_cast<int>(i));
        ms[i] = static_cast<double>(SteadyNanoseconds() - start) / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The list of events of all planets for 1000 days, made afresh each round
// from a date 20 years after the last one.
double RealListMilliseconds() {
    std::array<int16_t, 7> on{};
    on.fill(1);
    return MedianMilliseconds([&](int i) { EventListLines(Date(1950 + 20 * i, 3, 1), on); });
}

// From Mars's opposition of 2027 (then of 2029, 2031, … each round) to the
// next, jump by jump; the total (median of 5) and the longest jump of all.
double RealJumpMilliseconds(double& longest) {
    longest = 0;
    const double oppositions[] = {Date(2027, 2, 19), Date(2029, 3, 25), Date(2031, 5, 4), Date(2033, 6, 28),
                                  Date(2035, 9, 15)};
    return MedianMilliseconds([&](int i) {
        MarsAloneAt(oppositions[i]);
        const double end = oppositions[i] + 760;
        for (int jumps = 0; Planets.SimTime < end && jumps < 20; ++jumps) {
            const int64_t start = SteadyNanoseconds();
            CommandChoice(NextEventCommand);
            longest = std::max(longest, static_cast<double>(SteadyNanoseconds() - start) / 1e6);
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
#ifndef __EMSCRIPTEN__
    // The screen is Qt's offscreen one, of the size asked for.
    std::string screen = "1024x768";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--screen=", 9) == 0) screen = argv[i] + 9;
    int width = 0, height = 0;
    if (std::sscanf(screen.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "bench_step_views: --screen=WIDTHxHEIGHT, not '%s'\n", screen.c_str());
        return 2;
    }
    const std::string config = "/tmp/heliogeo-bench-screen-" + screen + ".json";
    std::ofstream(config) << "{\"windowFrameMargins\":false,\"screens\":[{\"name\":\"S1\",\"x\":0,\"y\":0,\"width\":"
                          << width << ",\"height\":" << height << ",\"logicalDpi\":96,\"dpr\":1}]}\n";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    argc = 1;
#endif
    if (!PlatformStart(argc, argv)) return 1;
    OpenMainWindowAndModel();
    OpenViewsAndDiscImages();

    // Once unmeasured: in the browser the engine compiles the hot code again,
    // optimised, a while after it first runs.
    for (int drawMode : {6, 7}) MedianMicroseconds(drawMode, -1.0);
    MedianMicroseconds(6, 1.0);

    char text[1400];
    const int n = std::snprintf(text, sizeof text,
                                "screen %dx%d: one step, both views, planets only %.2f us, with the polygon %.2f us,"
                                " planets and paths %.2f us\n",
                                ScreenWidthPixels(), ScreenHeightPixels(), MedianMicroseconds(6, -1.0),
                                MedianMicroseconds(6, 1.0), MedianMicroseconds(7, -1.0));
    PassMicroseconds(true, false);
    const double neither = PassMicroseconds(false, false), strip = PassMicroseconds(true, false),
                 sightLines = PassMicroseconds(false, true), construction = PassMicroseconds(false, false, true);
    std::snprintf(text + n, sizeof text - n,
                  "one pass, both views, planets only, all planets: neither %.2f us, the sky strip %.2f us,"
                  " the lines of sight %.2f us, the construction %.2f us\nnext event once round Mars's synodic"
                  " period (%.2f days), planets and paths: %.1f ms\n",
                  neither, strip, sightLines, construction, MarsSynodicDays(), SynodicJumpMilliseconds());
    // The real sky.
    Skies.Real = true;
    MoveModelTo(Date(2027, 1, 1));
    PassMicroseconds(true, false);
    MoveModelTo(Date(2027, 1, 1));
    const double realNeither = PassMicroseconds(false, false), realStrip = PassMicroseconds(true, false),
                 realSightLines = PassMicroseconds(false, true);
    MoveModelTo(Date(2027, 1, 1));
    const double realConstruction = PassMicroseconds(false, false, true);
    double longest = 0;
    const double list = RealListMilliseconds(), jumps = RealJumpMilliseconds(longest);
    const std::size_t used = std::strlen(text);
    std::snprintf(text + used, sizeof text - used,
                  "real sky: one pass, both views, planets only, all planets: neither %.2f us, the sky strip %.2f us,"
                  " the lines of sight %.2f us, the construction %.2f us\nreal sky: the list of 1000 days %.1f ms, next event once round Mars's"
                  " synodic period from 2027 %.1f ms, the longest jump %.1f ms\n",
                  realNeither, realStrip, realSightLines, realConstruction, list, jumps, longest);
    Skies.Real = false;
    std::fputs(text, stdout);
#ifdef __EMSCRIPTEN__
    hand_over(text);
#endif
    PlatformEnd();
    return 0;
}
