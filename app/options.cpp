// options.cpp — the command line: --steps-per-second N, --date YYYY-MM-DD
// and --help.
#include "app/options.h"

#include "model/calendar.h"

#include <charconv>
#include <string_view>

namespace {

constexpr int MaxStepsPerSecond = 1000;

bool ReadSteps(std::string_view text, LoopOptions& options) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > MaxStepsPerSecond)
        return false;
    options.StepsPerSecond = value;
    return true;
}

bool ReadStartDate(std::string_view text, LoopOptions& options) {
    double moment = 0;
    std::string reason;
    if (!ReadIsoDate(std::string(text), moment, reason)) return false;
    options.StartsReal = true;
    options.StartMoment = moment;
    return true;
}

// The options that take a value: what the value must be, what reads it, and
// the line a page's address gets for a bad one, which names the value.
struct ValueOption {
    std::string_view Name;
    const char* Needs;   // "a number"
    const char* Takes;   // "a whole number from 0 to 1000"
    bool (*Read)(std::string_view text, LoopOptions& options);
    std::string (*AddressNotice)(std::string_view text);
};

const ValueOption ValueOptions[] = {
    {"--steps-per-second", "a number", "a whole number from 0 to 1000", ReadSteps,
     [](std::string_view) {
         return "Ungültiger Wert für steps-per-second in der Adresse; es gelten " +
                std::to_string(LoopOptions{}.StepsPerSecond) + " Schritte je Sekunde.";
     }},
    {"--date", "a day (YYYY-MM-DD)", "a day as YYYY-MM-DD from 1600 to 2400", ReadStartDate,
     [](std::string_view text) {
         double moment = 0;
         std::string reason;
         ReadIsoDate(std::string(text), moment, reason);
         return "Ungültiger Wert date=" + std::string(text) + " in der Adresse: " + reason + " Es startet das Modell.";
     }},
};

}  // namespace

OptionsOutcome ParseOptions(int argc, char** argv, LoopOptions& options, std::string& message,
                            std::string* addressNotice) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            message =
                "Usage: heliogeo [--steps-per-second N] [--date YYYY-MM-DD]\n"
                "Shows the Sun and the planets Mercury, Venus, Earth, Mars and Jupiter moving,\n"
                "seen from the Sun (heliocentric) and from the Earth (geocentric), side by side.\n"
                "\n"
                "  --steps-per-second N  animation steps per second, 0 to 1000 (default 60;\n"
                "                        0: as fast as the machine draws)\n"
                "  --date YYYY-MM-DD     start in the real sky at 00:00 UTC of that day\n"
                "                        (1600 to 2400; default: the model)\n"
                "  --help                show this text\n";
            return OptionsOutcome::Help;
        }
        const ValueOption* option = nullptr;
        std::string_view value;
        for (const ValueOption& o : ValueOptions) {
            if (arg == o.Name) {
                if (i + 1 >= argc) {
                    message = "heliogeo: " + std::string(o.Name) + " needs " + o.Needs + " (try --help)";
                    return OptionsOutcome::Error;
                }
                option = &o;
                value = argv[++i];
            } else if (arg.size() > o.Name.size() && arg.substr(0, o.Name.size()) == o.Name &&
                       arg[o.Name.size()] == '=') {
                option = &o;
                value = arg.substr(o.Name.size() + 1);
            }
        }
        if (option == nullptr) {
            message = "heliogeo: unknown option '" + std::string(arg) + "' (try --help)";
            return OptionsOutcome::Error;
        }
        if (option->Read(value, options)) continue;
        // From a page's address a bad value is named on the page, and its
        // option keeps its default.
        if (addressNotice != nullptr) {
            if (!addressNotice->empty()) *addressNotice += ' ';
            *addressNotice += option->AddressNotice(value);
            continue;
        }
        message = "heliogeo: " + std::string(option->Name) + " takes " + option->Takes + ", not '" +
                  std::string(value) + "'";
        return OptionsOutcome::Error;
    }
    return OptionsOutcome::Run;
}
