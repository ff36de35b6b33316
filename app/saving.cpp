// saving.cpp — the picture and the event list saved, and the box that says
// where they went.
#include "app/saving.h"

#include "model/event_list.h"
#include "model/state.h"
#include "render/render.h"

#include <ctime>
#include <new>

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

void TellWhereSaved(const std::string& what, SavedAs saved, const std::string& where) {
    // The box's lines as they are: a "|" in a folder's name is no line's end.
    switch (saved) {
        case SavedAs::File: MessageBoxLines({what + " ist gespeichert: ", " ", " " + where}); break;
        case SavedAs::Download: MessageBoxLines({what + " wird heruntergeladen: ", " ", " " + where}); break;
        case SavedAs::Failed: MessageBoxLines({what + " ließ sich nicht speichern: " + where}); break;
    }
}
