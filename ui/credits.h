// credits.h — what the title screen and the author box say about the program.
// They describe heliogeo itself: its name, that it is free teaching software,
// its licence and its version.
#pragma once

#ifndef HELIOGEO_VERSION
#define HELIOGEO_VERSION "unbekannt"
#endif

namespace credits {

constexpr const char* Name = "heliogeo";
constexpr const char* Kind = "freie Unterrichtssoftware";
constexpr const char* Licence = "MIT-Lizenz";
constexpr const char* Version = "Version " HELIOGEO_VERSION;

}  // namespace credits
