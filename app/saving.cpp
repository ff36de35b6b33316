// saving.cpp — the picture, the event list and the worksheet saved, and the
// box that says where they went.
#include "app/saving.h"

#include "app/classroom_state.h"
#include "app/construction_sheet.h"
#include "app/worksheet.h"
#include "model/event_list.h"
#include "model/state.h"
#include "render/render.h"

#include <ctime>
#include <new>
#include <vector>

void SaveThePicture() {
    SavedAs saved = SavedAs::Failed;
    std::string where;
    // A picture too large for the memory left fails alone; the program goes on.
    try {
        Image picture;
        ComposePicture(picture);
        saved = SavePicture(picture, StampedFileName("heliogeo", ".png", LocalTimeText()), where);
    } catch (const std::bad_alloc&) {
        saved = SavedAs::Failed;
        where = "zu wenig Speicher";
    }
    TellWhereSaved("Das Bild", saved, where);
}

void SaveTheEventList() {
    SavedAs saved = SavedAs::Failed;
    std::string where;
    try {
        saved = SaveTextFile(EventListCsv(Planets.SimTime, Settings.PlanetOn),
                             StampedFileName("heliogeo-ereignisse", ".csv", LocalTimeText()), "text/csv", where);
    } catch (const std::bad_alloc&) {
        where = "zu wenig Speicher";
    }
    TellWhereSaved("Die Ereignisliste", saved, where);
}

void SaveTheWorksheet() {
    SaveWorksheetFiles(LocalTimeText());
}

namespace {

// The box that says where a sheet and its solution sheet went; the solution
// sheet is saved only where the sheet is.
void TellWhereSheetsWent(SavedAs sheet, const std::string& sheetWhere, SavedAs solution,
                         const std::string& solutionWhere) {
    std::vector<std::string> lines = SavedLines("Das Arbeitsblatt", sheet, sheetWhere);
    if (sheet != SavedAs::Failed) {
        lines.push_back(" ");
        for (const std::string& line : SavedLines("Das Lösungsblatt", solution, solutionWhere)) lines.push_back(line);
    }
    MessageBoxLines(lines);
}

// With the construction shown: the sheet on which pupils draw it, and its
// solution sheet.
void SaveConstructionFiles(const LoopConstruction& c, const std::string& localTime) {
    SavedAs sheet = SavedAs::Failed, solution = SavedAs::Failed;
    std::string sheetWhere, solutionWhere;
    try {
        sheet = SaveTextFile(ConstructionSheetHtml(c, Skies.Real),
                             StampedFileName("heliogeo-arbeitsblatt-konstruktion", ".html", localTime), "text/html",
                             sheetWhere);
        if (sheet != SavedAs::Failed)
            solution = SaveTextFile(ConstructionSolutionHtml(c, Skies.Real),
                                    StampedFileName("heliogeo-loesungsblatt-konstruktion", ".html", localTime),
                                    "text/html", solutionWhere);
    } catch (const std::bad_alloc&) {
        (sheet == SavedAs::Failed ? sheetWhere : solutionWhere) = "zu wenig Speicher";
    }
    TellWhereSheetsWent(sheet, sheetWhere, solution, solutionWhere);
}

}  // namespace

void SaveWorksheetFiles(const std::string& localTime) {
    if (Classroom.Construction) {
        SaveConstructionFiles(*Classroom.Construction, localTime);
        return;
    }
    // The tasks ask about both views side by side.
    if (Settings.SystemMode != 3) {
        MessageBox("Wählen Sie zuerst unter SYSTEM \u201EBeide\u201C:|Das Arbeitsblatt fragt nach dem linken und "
                   "dem rechten Bild.");
        return;
    }
    const int body = WorksheetPlanet(Classroom.AtEvent, Settings.PlanetOn);
    if (body == 0) {
        MessageBox("Kein Planet außer der Erde ist eingeschaltet: es gibt kein Arbeitsblatt.");
        return;
    }
    // The worksheet first: without it the solution sheet is not saved.
    SavedAs sheet = SavedAs::Failed, solution = SavedAs::Failed;
    std::string sheetWhere, solutionWhere;
    try {
        WorksheetPicture picture;
        Image shown, print;
        ComposePicture(shown);
        PrintPicture(shown, print);
        picture.StripShown = IsWindowOpen(Win_4);
        picture.SightLines = Classroom.SightLinesOn;
        const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 7;
        picture.PathsFrom = paths ? Views.DrawnFrom : Planets.SimTime;
        picture.PathsTo = paths ? Views.DrawnTo : Planets.SimTime;
        if (!EncodePng(shown, picture.Png) || !EncodePng(print, picture.PrintPng)) {
            sheetWhere = "das Bild ließ sich nicht als PNG schreiben";
        } else {
            sheet = SaveTextFile(WorksheetHtml(body, Planets.SimTime, picture),
                                 StampedFileName("heliogeo-arbeitsblatt", ".html", localTime), "text/html",
                                 sheetWhere);
        }
        if (sheet != SavedAs::Failed)
            solution = SaveTextFile(SolutionSheetHtml(body, Planets.SimTime, picture),
                                    StampedFileName("heliogeo-loesungsblatt", ".html", localTime), "text/html",
                                    solutionWhere);
    } catch (const std::bad_alloc&) {
        (sheet == SavedAs::Failed ? sheetWhere : solutionWhere) = "zu wenig Speicher";
    }
    TellWhereSheetsWent(sheet, sheetWhere, solution, solutionWhere);
}

std::string StampedFileName(const std::string& stem, const std::string& extension, const std::string& localTime) {
    // "2026-12-08 14:30:05" becomes "-2026-12-08-143005".
    std::string name = stem + "-";
    for (char ch : localTime) {
        if (ch == ' ') name += '-';
        else if (ch != ':') name += ch;
    }
    return name + extension;
}

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::vector<std::string> SavedLines(const std::string& what, SavedAs saved, const std::string& where) {
    switch (saved) {
        case SavedAs::File: return {what + " ist gespeichert: ", " ", " " + where};
        case SavedAs::Download: return {what + " wird heruntergeladen: ", " ", " " + where};
        case SavedAs::Failed: break;
    }
    return {what + " ließ sich nicht speichern: " + where};
}

void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where) {
    // The box's lines as they are: a "|" in a folder's name is no line's end.
    MessageBoxLines(SavedLines(what, saved, where));
}
