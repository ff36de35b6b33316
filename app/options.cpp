// options.cpp — the command line: --steps-per-second N, --date YYYY-MM-DD
// and --help.
#include "app/options.h"

#include "model/calendar.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace {

constexpr int MaxStepsPerSecond = 1000;

// A value as it may be printed: control characters (C0, DEL and C1) and
// bytes that are not UTF-8 become \xHH for each byte, so that no escape
// sequence reaches a terminal and none goes unseen. The web page hands on a
// NUL, which would end the value, as the text \x00.
std::string Visible(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool whole = n > 0 && i + n <= text.size();
        for (std::size_t k = 1; whole && k < n; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        const bool control =
            c < 0x20 || c == 0x7F || (whole && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        const std::size_t take = whole ? n : 1;
        if (whole && !control) {
            out += text.substr(i, take);
        } else {
            for (std::size_t k = 0; k < take; ++k) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(text[i + k]));
                out += hex;
            }
        }
        i += take;
    }
    return out;
}

bool ReadSteps(std::string_view text, LoopOptions& options, std::string&) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > MaxStepsPerSecond)
        return false;
    options.StepsPerSecond = value;
    return true;
}

bool ReadStartDate(std::string_view text, LoopOptions& options, std::string& reason) {
    double moment = 0;
    if (!ReadIsoDate(std::string(text), moment, reason)) return false;
    options.StartsReal = true;
    options.StartMoment = moment;
    return true;
}

// The options that take a value: what the value must be, what reads it (with
// the date dialog's German reason for a bad date), and the line a page's
// address gets for a bad one.
struct ValueOption {
    std::string_view Name;
    const char* Needs;   // "a number"
    const char* Takes;   // "a whole number from 0 to 1000", where reading gives no reason
    bool (*Read)(std::string_view text, LoopOptions& options, std::string& reason);
    std::string (*AddressNotice)(const std::string& shown, const std::string& reason);
};

const ValueOption ValueOptions[] = {
    {"--steps-per-second", "a number", "a whole number from 0 to 1000", ReadSteps,
     [](const std::string&, const std::string&) {
         return "Ungültiger Wert für steps-per-second in der Adresse; es gelten " +
                std::to_string(LoopOptions{}.StepsPerSecond) + " Schritte je Sekunde.";
     }},
    {"--date", "a day (YYYY-MM-DD)", "a day as YYYY-MM-DD from 1600 to 2400", ReadStartDate,
     [](const std::string& shown, const std::string& reason) {
         return "Ungültiger Wert date=" + shown + " in der Adresse: " + reason + " Es startet das Modell.";
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
            message = "heliogeo: unknown option '" + Visible(arg) + "' (try --help)";
            return OptionsOutcome::Error;
        }
        std::string reason;
        if (option->Read(value, options, reason)) continue;
        // From a page's address a bad value is named on the page, and its
        // option keeps its default.
        if (addressNotice != nullptr) {
            if (!addressNotice->empty()) *addressNotice += ' ';
            *addressNotice += option->AddressNotice(Visible(value), reason);
            continue;
        }
        message = "heliogeo: " + std::string(option->Name) +
                  (reason.empty() ? " takes " + std::string(option->Takes) + ", not '" + Visible(value) + "'"
                                  : " '" + Visible(value) + "': " + reason);
        return OptionsOutcome::Error;
    }
    return OptionsOutcome::Run;
}
