// commands.h — the program's own commands, in the menus "EXTRAS |",
// "EREIGNISSE |" and "HIMMEL |" after the menu bar's five: one table whose
// rows give each command's menu, German text, key and touch button, from
// which the menus, the keys and the touch buttons are all made. The five
// menus of the original keep their text store and their dispatch (menu.cpp).
#pragma once

#include "platform/platform.h"

#include <array>

// The commands in the table's order, which is the order of the menus' items:
// the window system reports a choice by this position.
enum Command : int {
    PauseResume,
    StepForward,
    StepBack,
    SightLines,
    SavePictureCommand,
    SaveWorksheetCommand,
    NextEventCommand,
    PreviousEventCommand,
    SkyStripCommand,
    EventListCommand,
    SaveEventListCommand,
    ModelSkyCommand,
    RealSkyCommand,
    NowCommand,
    DateCommand,
    CommandCount
};

struct CommandRow {
    Command Id;
    const char* Menu;        // the title of its menu
    const char* Text;        // "&" marks the mnemonic
    CommandKey Key;
    const char* KeyLabel;    // what the menu shows for the key
    int TouchPlace;          // its place among the touch buttons (0 first), -1 for none
    const char* TouchLabel;  // what its touch button shows
};

extern const std::array<CommandRow, CommandCount>& Commands;

// Installs the table's menus after the menu bar's own, with their keys and
// touch buttons; a choice goes to ClassroomMenu.
void InstallCommands();
// Carries out one command, by its position in the table.
void DoCommand(int position);
