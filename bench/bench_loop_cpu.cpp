// bench_loop_cpu.cpp — how much of one core the paced main loop uses.
//
// Sets the program up as start-up does (without the title screen and the
// warning, which wait for a person), picks a system and runs the main loop
// for a while, then prints the CPU time it took per wall-clock second.
//
//   xvfb-run -s '-screen 0 1024x768x24' build/bench/bench_loop_cpu [--system-mode N] [--draw-mode N]
//       [--polygon 0|1] [--views shown|hidden] [--seconds S] [--steps-per-second N]
//
// With --steps-per-second 0 the loop runs unpaced for the given time, and
// the figure that counts is the steps per second. --polygon 1 turns the
// polygon on (and Jupiter off) as the menu does. --views hidden closes both
// view windows: the steps still draw into their pixels, but nothing goes to
// the screen, which tells the drawing's share from the repainting's.
#include "app/options.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"

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
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--system-mode") == 0) systemMode = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--steps-per-second") == 0) stepsPerSecond = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--draw-mode") == 0) drawMode = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--polygon") == 0) polygon = std::atoi(argv[i + 1]) != 0;
        else if (std::strcmp(argv[i], "--views") == 0) hidden = std::strcmp(argv[i + 1], "hidden") == 0;
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
    if (stepsPerSecond > 0) {
        passes = static_cast<long>(seconds * stepsPerSecond);
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

    std::printf("main loop, SystemMode %g, DrawMode %d%s%s, %d passes/s, screen %dx%d: %ld passes in %.2f s = %.0f "
                "steps/s; %.3f s CPU = %.2f %% of one core\n",
                systemMode, drawMode, polygon ? ", polygon" : "", hidden ? ", views hidden" : "", stepsPerSecond,
                ScreenWidthPixels(), ScreenHeightPixels(), passes, wall, passes / wall, cpu, 100.0 * cpu / wall);
    PlatformEnd();
    return 0;
}
