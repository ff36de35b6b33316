// bench_render.cpp — the cost of one animation step with both views drawn,
// unpaced, on Qt's offscreen platform, beside a naive reference that clears
// both windows and draws every disc, label and polygon afresh in each step.
//
//   build/bench/bench_render --screen=1024x768
//   build/bench/bench_render --screen=3840x2160
#include "app/animation.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

void Prepare(int drawMode, double polygon) {
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
}

void IncrementalStep(benchmark::State& state, int drawMode, double polygon) {
    Prepare(drawMode, polygon);
    for (auto _ : state) AnimationStep();
    state.SetItemsProcessed(state.iterations());
}

// The reference: everything drawn from scratch, with ellipses and text.
void DrawBody(double x, double y, int k) {
    static const uint32_t fill[] = {0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0x000000, 0x00FFFF};
    static const char* label[] = {"", "ER", "ME", "VE", "MA", "JU", "SO"};
    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    SetForeground(fill[k]);
    SetBackground(k == Jupiter ? Colours.ColMagenta : fill[k]);
    SetFillPattern(k == Jupiter ? 8 : 0);
    FillEllipse(x, y, rx - 1, ry - 1);
    SetForeground(k == Earth || k == Mars ? Colours.ColWhite : Colours.ColBlack);
    DrawText(x - 9, y - 7, label[k]);
    SetForeground(k == Earth ? Colours.ColWhite : Colours.ColBlack);
    DrawEllipse(x, y, rx - 1, ry - 1);
}

void DrawAll(int window, const std::array<double, 7>& x, const std::array<double, 7>& y) {
    ProcessEvents();
    SelectWindow(window);
    ClearWindow(window);
    for (int k = Earth; k <= Sun; ++k)
        if (Settings.PlanetOn[k] == 1 || k == (window == Win_2 ? Sun : Earth)) DrawBody(x[k], y[k], k);
    if (Settings.PolygonOn > 0) {
        SetForeground(Colours.ColWhite);
        SetLineWidth(1);
        PlotPoint(x[Sun], y[Sun]);
        LineTo(x[Earth], y[Earth]);
        for (int k : {Mercury, Venus, Mars})
            if (Settings.PlanetOn[k] == 1) LineTo(x[k], y[k]);
        LineTo(x[Sun], y[Sun]);
    }
}

void FullRedrawStep(benchmark::State& state, double polygon) {
    Prepare(6, polygon);
    for (auto _ : state) {
        AdvanceModel();
        MapHelio();
        TransformGeo();
        Views.HelioScreenX[Sun] = Layout.HelioCentreX;
        Views.HelioScreenY[Sun] = Layout.HelioCentreY;
        DrawAll(Win_2, Views.HelioScreenX, Views.HelioScreenY);
        DrawAll(Win_3, Views.GeoScreenX, Views.GeoScreenY);
        KeepPositions();
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(IncrementalStep, DrawMode6, 6, -1.0);
BENCHMARK_CAPTURE(IncrementalStep, DrawMode6_polygon, 6, 1.0);
BENCHMARK_CAPTURE(IncrementalStep, DrawMode7, 7, -1.0);
BENCHMARK_CAPTURE(FullRedrawStep, DrawMode6, -1.0);
BENCHMARK_CAPTURE(FullRedrawStep, DrawMode6_polygon, 1.0);

int main(int argc, char** argv) {
    // The screen is Qt's offscreen one, of the size asked for.
    std::string screen = "1024x768";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--screen=", 9) == 0) screen = argv[i] + 9;
    int width = 0, height = 0;
    if (std::sscanf(screen.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "bench_render: --screen=WIDTHxHEIGHT, not '%s'\n", screen.c_str());
        return 2;
    }
    std::string config = "/tmp/heliogeo-bench-screen-" + screen + ".json";
    std::ofstream(config) << "{\"windowFrameMargins\":false,\"screens\":[{\"name\":\"S1\",\"x\":0,\"y\":0,\"width\":"
                          << width << ",\"height\":" << height << ",\"logicalDpi\":96,\"dpr\":1}]}\n";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    int qtArgc = 1;
    if (!PlatformStart(qtArgc, argv)) return 1;
    OpenMainWindowAndModel();
    OpenViewsAndDiscImages();
    benchmark::AddCustomContext("screen", screen);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PlatformEnd();
    return 0;
}
