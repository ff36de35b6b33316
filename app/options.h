// options.h — the command line.
#pragma once

#include <string>

struct LoopOptions {
    int StepsPerSecond = 60;   // passes of the main loop per second; 0: as fast as it goes
    long MaxPasses = 0;        // stop after this many passes; 0: until "&Quit"
    bool StartsReal = false;   // --date: the program starts in the real sky,
    double StartMoment = 0;    // at 00:00 UTC of that day (days TT since J2000.0)
};

enum class OptionsOutcome { Run, Help, Error };

// Reads --steps-per-second N, --date YYYY-MM-DD and --help. On Help, message
// holds the help text; on Error, one line saying what is wrong. Where the
// options come from a page's address (addressNotice given), a bad value is
// no error: its option keeps its default, and addressNotice gets a German
// line for the page that names it.
OptionsOutcome ParseOptions(int argc, char** argv, LoopOptions& options, std::string& message,
                            std::string* addressNotice = nullptr);
