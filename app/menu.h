// menu.h — the menu bar of window 0 and the dispatch of its commands.
#pragma once

#include <cstdint>

// Fills MenuItems from the text-item store, installs the menu bar on window 0
// and clears window 0.
void BuildMenuBar();
// A choice from the menu bar, as the index of the chosen entry in MenuItems:
// the command runs to completion in here, its box or dialog included; a
// choice that arrives meanwhile, or once the program is ending, is ignored,
// and one made while a jump draws its steps runs when the jump is done. A
// failure escaping a command is reported instead of reaching the window
// system's event handling.
void MenuBarChoice(int32_t item);
// Every menu choice arrives here, as the index of the chosen entry in MenuItems.
void Win_0_MenuEvent(int32_t& item);
// The five menus; each takes the chosen item number.
void DeskMenu(int32_t item);
void SystemMenu(int32_t item);
void DisplayMenu(int32_t item);
void PlanetsMenu(int32_t item);
void ServiceMenu(int32_t item);
