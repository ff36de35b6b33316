// saving.h — the files a lesson leaves: the picture of both views and the
// event list, named with the local time, and the box that says where they
// went.
#pragma once

#include "platform/platform.h"

#include <string>

// Saves the picture of both views as they stand on the screen.
void SaveThePicture();
// Saves the list of coming events as a table.
void SaveTheEventList();

// A saved file's name with the local time in it: ("heliogeo", ".png") at
// "2026-12-08 14:30:05" is "heliogeo-2026-12-08-143005.png".
std::string StampedFileName(const std::string& stem, const std::string& extension, const std::string& localTime);
// The local time as StampedFileName takes it.
std::string LocalTimeText();
// The box that says where a saved file went, or why nothing was saved;
// `what` names it ("Das Bild", "Die Ereignisliste").
void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where);
