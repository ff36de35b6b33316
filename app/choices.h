// choices.h — where every choice arrives: the menu bar's five menus, the
// program's own commands (commands.h) by menu, key or touch button, and a
// new layout due between two passes. Each is carried out whole, one at a
// time, guarded against failures, and followed by what follows every
// command; one made while a jump draws its steps waits for the jump's end.
#pragma once

#include <cstdint>

// Installs the menu bar and the commands' menus, both handing their choices
// here, and prepares the status line.
void InstallChoices();
// A choice of the menu bar, as the index of the chosen entry in MenuItems:
// the command runs to completion in here, its box or dialog included; a
// choice that arrives meanwhile, or once the program is ending, is ignored,
// and one made while a jump draws its steps runs when the jump is done. A
// failure escaping a command is reported instead of reaching the window
// system's event handling.
void MenuBarChoice(int32_t& item);
// The same for a command of the table, by its position.
void CommandChoice(int position);
// Between two passes of the main loop: lays the program out anew where the
// screen changed or the strip asked for it.
void LayOutWhereDue();
