// menu.cpp — the menu bar and the dispatch of its commands.
#include "app/menu.h"

void BuildMenuBar() {}

void Win_0_MenuEvent(int32_t&) {}

void DeskMenu(int32_t) {}
void SystemMenu(int32_t) {}
void DisplayMenu(int32_t) {}
void PlanetsMenu(int32_t) {}
void ServiceMenu(int32_t) {}
