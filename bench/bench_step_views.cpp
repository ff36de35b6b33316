// bench_step_views.cpp — one animation step with both views, unpaced, timed
// the same way on the desktop (Qt's offscreen platform) and in the browser
// (built with emscripten into its own page), so that the two editions can be
// set side by side: Google Benchmark does not exist for the browser.
//
//   build-test/bench/bench_step_views [--screen=1024x768]
//   bench/bench_web.py --page build-web/bench/bench_step_views.html   (a page of 1024 x 768)
//
// Prints, per mode, the median over 15 rounds of 1000 steps, in µs per step.
// What a step lets through in each edition (repaints) is part of the step;
// the page's own turns, which the program gives it every 50 ms, fall into
// few rounds, which the median leaves out.
#include "app/shell.h"
#include "app/startup.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

double MedianMicroseconds(int drawMode, double polygon) {
    Settings.SystemMode = 3;
    Settings.DrawMode = drawMode;
    Settings.PolygonOn = polygon;
    Settings.PlanetOn.fill(1);
    if (polygon > 0) Settings.PlanetOn[Jupiter] = -1;
    ClearWindow(Win_2);
    ClearWindow(Win_3);
    for (auto* store : {&Images.HelioBackground, &Images.GeoBackground})
        for (Image& img : *store) EmptyImage(img);
    // Warm up: every store has its buffer, the windows their pictures.
    for (int n = 0; n < 200; ++n) AnimationStep();
    std::array<double, Rounds> us{};
    for (double& round : us) {
        const int64_t start = SteadyNanoseconds();
        for (int n = 0; n < StepsPerRound; ++n) AnimationStep();
        round = static_cast<double>(SteadyNanoseconds() - start) / StepsPerRound / 1000;
    }
    std::sort(us.begin(), us.end());
    return us[Rounds / 2];
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

    char text[400];
    std::snprintf(text, sizeof text,
                  "screen %dx%d: one step, both views, planets only %.2f us, with the polygon %.2f us,"
                  " planets and paths %.2f us\n",
                  ScreenWidthPixels(), ScreenHeightPixels(), MedianMicroseconds(6, -1.0), MedianMicroseconds(6, 1.0),
                  MedianMicroseconds(7, -1.0));
    std::fputs(text, stdout);
#ifdef __EMSCRIPTEN__
    hand_over(text);
#endif
    PlatformEnd();
    return 0;
}
