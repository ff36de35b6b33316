// text_items.h — the program's built-in text items: the ten planet numbers,
// then the menu texts, read in order through one read position.
#pragma once

#include <string>

// Where each list starts in the store.
constexpr int PlanetNumbersItem = 0;  // five periods (days), then five orbit radii (grid units)
constexpr int MenuTextsItem = 10;     // "DESK |" … "ende"

// Puts the read position at the given item.
void RestoreTextItems(int item);
// The item at the read position; the position moves on. Past the end: "".
std::string ReadTextItem();
// The item at the read position as a decimal number; the position moves on.
double ReadNumberItem();
// The item at a given place as a decimal number; the read position stays.
double NumberItemAt(int item);
