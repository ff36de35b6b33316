// bench_loop_cpu.cpp — how much of one core the paced main loop uses.
//
// Sets the program up as start-up does (without the title screen and the
// warning, which wait for a person), picks a system and runs the main loop
// for a while, then prints the CPU time it took per wall-clock second.
//
//   xvfb-run -s '-screen 0 1024x768x24' build/bench/bench_loop_cpu [--system-mode N] [--draw-mode N]
//       [--polygon 0|1] [--views shown|hidden] [--probe-box S] [--seconds S] [--steps-per-second N]
//
// With --steps-per-second 0 the loop runs unpaced for the given time, and
// the figure that counts is the steps per second. --polygon 1 turns the
// polygon on (and Jupiter off) as the menu does. --views hidden closes both
// view windows: the steps still draw into their pixels, but nothing goes to
// the screen, which tells the drawing's share from the repainting's.
// --probe-box S runs no animation step at all: each paced pass only puts an
// S x S box into each view, white and azure in turn, which measures what
// showing a change of that size in both windows costs by itself.
#include "app/main_loop.h"
#include "app/options.h"
#include "app/pacing.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/tables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    double systemMode = 0, seconds = 10;
    int stepsPerSecond = 60, drawMode = 6;
    bool polygon = false, hidden = false;
    int probeBox = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--system-mode") == 0) systemMode = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--steps-per-second") == 0) stepsPerSecond = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--draw-mode") == 0) drawMode = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--polygon") == 0) polygon = std::atoi(argv[i + 1]) != 0;
        else if (std::strcmp(argv[i], "--views") == 0) hidden = std::strcmp(argv[i + 1], "hidden") == 0;
        else if (std::strcmp(argv[i], "--probe-box") == 0) probeBox = std::atoi(argv[i + 1]);
    }
    int qtArgc = 1;
    if (!PlatformStart(qtArgc, argv)) return 1;
    SetCloseHandler(OnWindowClosed);

    // Start-up as the program does it, but for the parts that wait for a person.
    OpenMainWindowAndModel();
    OpenViewsAndDiscImages();
    Settings.SystemMode = systemMode;
    Settings.DrawMode = drawMode;
    if (polygon) {
        Settings.PolygonOn = 1.0;
        Settings.PlanetOn[Jupiter] = -1;
    }
    if (hidden) {
        CloseWindow(Win_2);
        CloseWindow(Win_3);
    }
    // Let the windows appear before measuring.
    LoopOptions warmUp{stepsPerSecond, stepsPerSecond > 0 ? stepsPerSecond : 1000};
    RunMainLoop(warmUp);

    double cpu0 = CpuSeconds();
    int64_t wall0 = SteadyNanoseconds();
    long passes = 0;
    if (probeBox > 0 && stepsPerSecond > 0) {
        // The main loop's pacing, with a box put into each view instead of a
        // step; the boxes are images, put as the step puts the discs.
        Image boxes[2];
        SelectWindow(Win_2);
        for (int k = 0; k < 2; ++k) {
            SetForeground(k == 0 ? Colours.ColWhite : Colours.ColAzure);
            FillBox(0, 0, probeBox - 1, probeBox - 1);
            CaptureImage(0, 0, probeBox - 1, probeBox - 1, boxes[k]);
        }
        cpu0 = CpuSeconds();
        wall0 = SteadyNanoseconds();
        passes = static_cast<long>(seconds * stepsPerSecond);
        Pacer pacer;
        StartPacer(pacer, stepsPerSecond, SteadyNanoseconds());
        for (long pass = 0; pass < passes; ++pass) {
            WaitEventsUntil(pacer.NextPassNs);
            for (int n : {Win_2, Win_3}) {
                SelectWindow(n);
                PutImage(100, 100, boxes[pass % 2]);
            }
            PassDone(pacer, SteadyNanoseconds());
        }
    } else if (stepsPerSecond > 0) {
        passes = std::max(1L, static_cast<long>(seconds * stepsPerSecond));  // 0 passes: no end
        RunMainLoop(LoopOptions{stepsPerSecond, passes});
    } else {
        // Unpaced: as many passes as fit in the time, in rounds of 1000.
        while (SteadyNanoseconds() - wall0 < static_cast<int64_t>(seconds * 1e9)) {
            RunMainLoop(LoopOptions{0, 1000});
            passes += 1000;
        }
    }
    double cpu = CpuSeconds() - cpu0;
    double wall = (SteadyNanoseconds() - wall0) / 1e9;

    char what[80];
    if (probeBox > 0)
        std::snprintf(what, sizeof what, "repaint probe, a %dx%d box in each view", probeBox, probeBox);
    else
        std::snprintf(what, sizeof what, "main loop, SystemMode %g, DrawMode %d%s%s", systemMode, drawMode,
                      polygon ? ", polygon" : "", hidden ? ", views hidden" : "");
    std::printf("%s, %d passes/s, screen %dx%d: %ld passes in %.2f s = %.0f steps/s; %.3f s CPU = %.2f %% of one core\n",
                what, stepsPerSecond, ScreenWidthPixels(), ScreenHeightPixels(), passes, wall, passes / wall, cpu,
                100.0 * cpu / wall);
    PlatformEnd();
    return 0;
}
