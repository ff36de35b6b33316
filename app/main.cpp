// main.cpp — heliogeo: the Sun and five planets, seen from the Sun and from
// the Earth, side by side.
#include "app/options.h"
#include "app/shell.h"
#include "app/startup.h"
#include "platform/platform.h"

#include <cstdio>

int main(int argc, char** argv) {
    LoopOptions options;
    std::string message;
    switch (ParseOptions(argc, argv, options, message)) {
        case OptionsOutcome::Help:
            std::fputs(message.c_str(), stdout);
            return 0;
        case OptionsOutcome::Error:
            std::fprintf(stderr, "%s\n", message.c_str());
            return 2;
        case OptionsOutcome::Run:
            break;
    }
    if (!PlatformStart(argc, argv)) return 1;
    SetCloseHandler(OnWindowClosed);

    RunGuarded(StartUp);
    if (Shell.EndMarker != "*") RunMainLoop(options);

    PlatformEnd();
    return Shell.CurrentError.empty() ? 0 : 1;
}
