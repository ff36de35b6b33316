// worksheet.h — what a lesson leaves on paper: a worksheet made from the
// moment shown (the picture of the views with a legend, the planet's events
// round the loop of the moment, tasks about that loop and the picture, and
// the information box's questions put as tasks) and, in a file of its own,
// the solution sheet, a marking guide with a model answer, the
// Anforderungsbereich and points for each task, so that a worksheet handed
// to pupils carries no answers. Both are self-contained HTML pages, German,
// printable in black and white, the worksheet on the two sides of one A4
// sheet, the same in both editions; saving them is saving.cpp's.
#pragma once

#include "model/sky.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The planet a worksheet is about: the one of the event last reached, while
// it is shown, else the first shown planet after the Earth; 0 for none.
int WorksheetPlanet(const std::optional<SkyEvent>& atEvent, const std::array<int16_t, 7>& planetOn);

// The picture a worksheet shows: PNG bytes of the views as "&Bild speichern"
// saves them, and of the same for a black-and-white copier (PrintPicture);
// and what is drawn in it, which the tasks and answers keep to.
struct WorksheetPicture {
    std::string Png;
    std::string PrintPng;
    bool StripShown = false;            // the sky strip is part of it
    bool SightLines = false;            // the lines of sight are drawn
    double PathsFrom = 0, PathsTo = 0;  // the days the drawn paths run over; equal where none are drawn
};

// The worksheet about `body` at `day` of the sky shown, and its solution
// sheet; both ask about the views of both systems side by side.
std::string WorksheetHtml(int body, double day, const WorksheetPicture& picture);
std::string SolutionSheetHtml(int body, double day, const WorksheetPicture& picture);

// What every sheet is made of, the loop's construction's too
// (construction_sheet.h): a task with its answer; text made safe for HTML;
// the page round a sheet, its styles with a sheet's own added; a task as
// the worksheet lists it, with ruled room to write, and its answer as the
// solution sheet does, under the same number.
struct SheetTask {
    std::string Text;     // the worksheet's
    int Lines = 0;        // ruled lines to write on
    int Area = 1;         // Anforderungsbereich I to III
    int Points = 0;       // suggested
    std::string Answer;   // the solution sheet's, in whole sentences
};
std::string HtmlEscaped(const std::string& text);
std::string SheetPage(const std::string& title, const std::string& body, const std::string& style = "");
std::string TaskItem(int number, const SheetTask& task);
std::string AnswerItem(int number, const SheetTask& task);

// Bytes as base64 (RFC 4648, with padding), for a picture inside a page.
std::string Base64(const std::string& bytes);
