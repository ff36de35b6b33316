// commands.h — the program's own commands, in the menus "EXTRAS |",
// "EREIGNISSE |" and "HIMMEL |" after the menu bar's five: one table whose
// rows give each command's menu, German text, key and touch button, what it
// does and whether its item is marked, from which the menus, the keys and
// the touch buttons are all made. The five menus of the original keep their
// text store and their dispatch (menu.cpp).
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
    ConstructionCommand,
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
    void (*Run)();           // what it does
    // Whether its item is marked as on, for the items that show it (else none).
    bool (*Checked)();
    // It may clear the views or open them again (a switch of sky), as the
    // menu bar's commands do: what they showed is drawn again after it.
    bool ClearsViews;
};

extern const std::array<CommandRow, CommandCount>& Commands;

// Installs the table's menus after the menu bar's own, with their keys and
// touch buttons, and the procedure that receives their choices (choices.h).
void InstallCommands(CommandHandler onChoice);
// Carries out one command, by its position in the table; nothing for a
// position outside it.
void DoCommand(int position);
// Marks the items that show whether they are on, as they now are.
void MarkCommands();
