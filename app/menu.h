// menu.h — the menu bar of window 0 and what its five menus do.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// Fills MenuItems from the text-item store, installs the menu bar on window 0
// with the procedure that receives its choices (choices.h), and clears
// window 0.
void BuildMenuBar(MenuHandler onChoice);
// A choice of the menu bar, as the index of the chosen entry in MenuItems,
// carried out by the menu it belongs to.
void Win_0_MenuEvent(int32_t& item);
// The five menus; each takes the chosen item number.
void DeskMenu(int32_t item);
void SystemMenu(int32_t item);
void DisplayMenu(int32_t item);
void PlanetsMenu(int32_t item);
void ServiceMenu(int32_t item);
