// main.cpp — heliogeo: the Sun and five planets, seen from the Sun and from
// the Earth, side by side.
#include "app/main_loop.h"
#include "app/options.h"
#include "app/shell.h"
#include "app/sky_switch.h"
#include "app/startup.h"
#include "platform/platform.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    LoopOptions options;
    std::string message, notice;
    // A pupil who opens a link with a bad value in its address still gets
    // the program, as it starts without that value.
    switch (ParseOptions(argc, argv, options, message, OptionsFromAddress() ? &notice : nullptr)) {
        case OptionsOutcome::Help:
            std::fputs(message.c_str(), stdout);
            return 0;
        case OptionsOutcome::Error:
            if (OptionsFromAddress()) {
                options = LoopOptions{};
                notice = "Ungültige Angabe in der Adresse; es gelten die Voreinstellungen.";
                break;
            }
            std::fprintf(stderr, "%s\n", message.c_str());
            return 2;
        case OptionsOutcome::Run:
            break;
    }
    if (!PlatformStart(argc, argv)) return 1;
    if (!notice.empty()) ShowNotice(notice);
    SetCloseHandler(OnWindowClosed);

    if (options.StartsReal) StartInRealSky(options.StartMoment);
    RunGuarded(StartUp);
    if (Shell.EndMarker != "*") RunMainLoop(options);

    PlatformEnd();
    return Shell.CurrentError.empty() ? 0 : 1;
}
