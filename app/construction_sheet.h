// construction_sheet.h — the construction of a loop on paper: while the
// construction is shown, "&Arbeitsblatt speichern" saves these two pages
// instead of the usual worksheet. Both are self-contained HTML pages,
// German, black on white, each on one side of A4, with the figure inside as
// SVG: the orbits of the Earth and the planet with their numbered places, a
// band of fixed stars far above them and, beside it, the day or date of
// each number. The worksheet asks to draw the line through each numbered
// pair on to the band, to mark and describe where the lines meet it, and to
// explain and judge what that shows; the solution sheet has the same figure
// with the lines drawn and the points on the band numbered, and a marking
// guide under the tasks' numbers (worksheet.h).
#pragma once

#include "model/construction.h"

#include <string>

// The sheets of construction `c` in the sky it was made for: the real sky
// where `real` (Skies.Real when it was made), else the model's circles.
// A construction without moments has no sheets: both are empty.
std::string ConstructionSheetHtml(const LoopConstruction& c, bool real);
std::string ConstructionSolutionHtml(const LoopConstruction& c, bool real);
