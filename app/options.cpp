// options.cpp — the command line: --steps-per-second N and --help.
#include "app/options.h"

#include <charconv>
#include <string_view>

namespace {

constexpr int MaxStepsPerSecond = 1000;

bool ReadSteps(std::string_view text, int& steps) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > MaxStepsPerSecond)
        return false;
    steps = value;
    return true;
}

}  // namespace

OptionsOutcome ParseOptions(int argc, char** argv, LoopOptions& options, std::string& message) {
    constexpr std::string_view Steps = "--steps-per-second";
    for (int i = 1; i < argc; ++i) {
        std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            message =
                "Usage: heliogeo [--steps-per-second N]\n"
                "Shows the Sun and the planets Mercury, Venus, Earth, Mars and Jupiter moving,\n"
                "seen from the Sun (heliocentric) and from the Earth (geocentric), side by side.\n"
                "\n"
                "  --steps-per-second N  animation steps per second, 0 to 1000 (default 60;\n"
                "                        0: as fast as the machine draws)\n"
                "  --help                show this text\n";
            return OptionsOutcome::Help;
        }
        std::string_view value;
        if (arg == Steps) {
            if (i + 1 >= argc) {
                message = "heliogeo: --steps-per-second needs a number (try --help)";
                return OptionsOutcome::Error;
            }
            value = argv[++i];
        } else if (arg.substr(0, Steps.size() + 1) == "--steps-per-second=") {
            value = arg.substr(Steps.size() + 1);
        } else {
            message = "heliogeo: unknown option '" + std::string(arg) + "' (try --help)";
            return OptionsOutcome::Error;
        }
        if (!ReadSteps(value, options.StepsPerSecond)) {
            message = "heliogeo: --steps-per-second takes a whole number from 0 to 1000, not '" +
                      std::string(value) + "'";
            return OptionsOutcome::Error;
        }
    }
    return OptionsOutcome::Run;
}
