// saving.h — the files a lesson leaves: the picture of both views, the
// event list and the worksheet with its solution sheet, named with the local
// time, and the box that says where they went.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

// Saves the picture of both views as they stand on the screen.
void SaveThePicture();
// Saves the list of coming events as a table.
void SaveTheEventList();
// Saves the worksheet of the moment shown and, beside it, its solution sheet
// (worksheet.h); with the construction of a loop shown, the sheet to draw it
// on and its solution sheet instead (construction_sheet.h). One box says
// where both went. Before both views are
// chosen (SYSTEM, "Beide") and without a planet but the Earth shown there is
// none, and a box says what to choose first.
void SaveTheWorksheet();
// The same with the local time given, as StampedFileName takes it.
void SaveWorksheetFiles(const std::string& localTime);

// A saved file's name with the local time in it: ("heliogeo", ".png") at
// "2026-12-08 14:30:05" is "heliogeo-2026-12-08-143005.png".
std::string StampedFileName(const std::string& stem, const std::string& extension, const std::string& localTime);
// The local time as StampedFileName takes it.
std::string LocalTimeText();
// The box that says where a saved file went, or why nothing was saved;
// `what` names it ("Das Bild", "Die Ereignisliste").
void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where);
// That box's lines.
std::vector<std::string> SavedLines(const std::string& what, SavedAs saved, const std::string& where);
