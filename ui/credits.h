// credits.h — what the title screen and the author box say about the program.
// They describe heliogeo itself: its name, that it is free teaching software,
// its licence and its version; and what the real sky's calculations come from,
// with the licences under which the program carries it.
#pragma once

#ifndef HELIOGEO_VERSION
#define HELIOGEO_VERSION "unbekannt"
#endif

namespace credits {

constexpr const char* Name = "heliogeo";
constexpr const char* Kind = "freie Unterrichtssoftware";
constexpr const char* Licence = "MIT-Lizenz";
constexpr const char* Version = "Version " HELIOGEO_VERSION;
constexpr const char* Parts[] = {
    "Der echte Himmel rechnet mit:",
    "VSOP87 (Bretagnon und Francou) für die Planeten,",
    "Daten aus astronomia, MIT-Lizenz;",
    "ERFA für Erde, Präzession und Nutation, BSD-Lizenz",
};

}  // namespace credits
