// options.h — the command line.
#pragma once

#include <string>

struct LoopOptions {
    int StepsPerSecond = 60;   // passes of the main loop per second; 0: as fast as it goes
    long MaxPasses = 0;        // stop after this many passes; 0: until "&Quit"
};

enum class OptionsOutcome { Run, Help, Error };

// Reads --steps-per-second N and --help. On Help, message holds the help
// text; on Error, one line saying what is wrong.
OptionsOutcome ParseOptions(int argc, char** argv, LoopOptions& options, std::string& message);
