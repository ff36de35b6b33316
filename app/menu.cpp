// menu.cpp — the menu bar and its five menus.
#include "app/menu.h"

#include "app/classroom.h"
#include "app/shell.h"
#include "model/state.h"
#include "model/text_items.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <string>
#include <vector>

namespace {

// The position of an item within its menu, if it is one of the menu's
// `count` items (1 .. count); 0 for a title, a closing entry or anything else.
int16_t ChoiceIn(int32_t item, int32_t title, int32_t count) {
    int32_t choice = item - title;
    return (choice >= 1 && choice <= count) ? static_cast<int16_t>(choice) : 0;
}

// The colours every command of the last three menus sets first.
void WhiteOnBlue() {
    SetForeground(Colours.ColWhite);
    SetBackground(Colours.ColBlue);
}

}  // namespace

void BuildMenuBar(MenuHandler onChoice) {
    // The menu texts follow the planet numbers in the text-item store. A "*"
    // closes a menu: the empty entry after it takes its place. The table's
    // size bounds the reading, should the store ever lack its "ende".
    RestoreTextItems(MenuTextsItem);
    const int last = static_cast<int>(Shell.MenuItems.size()) - 1;
    int i = -1;
    for (;;) {
        std::string text = ReadTextItem();
        if (text == "*") continue;
        Shell.MenuItems[++i] = text;
        if (text == "ende" || i == last) break;
    }
    // The list now ends with two empty entries.
    Shell.MenuItems[i].clear();

    std::vector<std::string> entries(Shell.MenuItems.begin(), Shell.MenuItems.begin() + i + 1);
    InstallMenuBar(entries, onChoice);
    ClearWindow(Win_0);
}

void Win_0_MenuEvent(int32_t& item) {
    if (item >= 1 && item <= 5)
        DeskMenu(item);
    else if (item >= 7 && item <= 10)
        SystemMenu(item);
    else if (item >= 12 && item <= 16)
        DisplayMenu(item);
    else if (item >= 18 && item <= 23)
        PlanetsMenu(item);
    else if (item >= 25 && item <= 29)
        ServiceMenu(item);
}

// Each menu does nothing at all for a number that is not one of its items,
// such as its closing empty entry.

void DeskMenu(int32_t item) {
    int16_t choice = ChoiceIn(item, 0, 4);
    if (choice == 0) return;
    Shell.MenuChoice = choice;
    switch (Shell.MenuChoice) {
        case 1: QuitCommand(); break;   // "&Quit"
        case 2: ClearViews(); break;    // "-------------"
        case 3: ShowInfo(); break;      // "&Info"
        case 4: ShowAuthor(); break;    // "&Autor"
    }
}

void SystemMenu(int32_t item) {
    int16_t choice = ChoiceIn(item, 6, 3);
    if (choice == 0) return;
    // Another choice of system or of planets takes the construction away.
    EndConstruction();
    ClearBackgrounds();
    Shell.MenuChoice = choice;
    // Still with the old SystemMode: the new one is set below.
    ClearViews();
    switch (Shell.MenuChoice) {
        case 1:  // "&Heliozentrisch"
            Settings.SystemMode = 1;
            ClearWindow(Win_3);
            ClearWindow(Win_2);
            SelectWindow(Win_2);
            break;
        case 2:  // "&Geozentrisch"
            Settings.SystemMode = 2;
            ClearWindow(Win_2);
            Settings.PlanetOn[Sun] = 1;
            SelectWindow(Win_3);
            break;
        case 3:  // "&Beide"
            Settings.SystemMode = 3;
            ClearWindow(Win_2);
            ClearWindow(Win_3);
            Settings.PlanetOn[Sun] = 1;
            break;
    }
}

void DisplayMenu(int32_t item) {
    int16_t choice = ChoiceIn(item, 11, 4);
    if (choice == 0) return;
    Shell.MenuChoice = choice;
    ClearViews();
    WhiteOnBlue();
    ClearBackgrounds();
    switch (Shell.MenuChoice) {
        case 1:  // "nur &Planeten"
            Settings.DrawMode = 6;
            SetRasterMode(1);
            Settings.PolygonOn = -1.0;
            break;
        case 2:  // "nur &Bahnen"
            Settings.DrawMode = 5;
            SetRasterMode(1);
            Settings.TimeStep = 0.2;
            Settings.PolygonOn = -1.0;
            break;
        case 3:  // "Planten &und Bahnen"
            Settings.DrawMode = 7;
            SetRasterMode(2);
            Settings.PolygonOn = -1.0;
            break;
        case 4:  // "&Vieleck ein/aus"
            SetRasterMode(1);
            Settings.DrawMode = 6;
            Settings.TimeStep = 0.2;
            Settings.PolygonOn = -Settings.PolygonOn;
            Settings.PlanetOn[Jupiter] = -1;
            break;
    }
    if (Shell.MenuChoice != 2) {
        ClearWindow(Win_2);
        ClearWindow(Win_3);
    }
}

void PlanetsMenu(int32_t item) {
    int16_t choice = ChoiceIn(item, 17, 5);
    if (choice == 0) return;
    EndConstruction();
    Shell.MenuChoice = choice;
    WhiteOnBlue();
    ClearViews();
    if (Shell.MenuChoice == 1) {  // "&nur Erde-Sonne"
        Settings.PlanetOn[Earth] = 1;
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = -1;
        Settings.PlanetOn[Sun] = 1;
        ClearBackgrounds();
        ClearViews();
    } else {
        // "&Merkur ein/aus", "&Venus ein/aus", "M&ars ein/aus" and
        // "&Jupiter aus/ein" all toggle, whatever their text says first.
        int16_t k = Shell.MenuChoice;
        Settings.PlanetOn[k] = static_cast<int16_t>(-Settings.PlanetOn[k]);
        RemoveBody(k);
    }
}

void ServiceMenu(int32_t item) {
    int16_t choice = ChoiceIn(item, 24, 4);
    if (choice == 0) return;
    Shell.MenuChoice = choice;
    WhiteOnBlue();
    switch (Shell.MenuChoice) {
        case 1: ClearViews(); break;       // "Bildschirm &löschen"
        case 2: break;                     // "&Hardcopy": no function here
        case 3: TimeStepDialog(); break;   // "&Zeitschritt"
        case 4: TestCommand(); break;      // "&Test"
    }
}
