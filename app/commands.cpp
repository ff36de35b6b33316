// commands.cpp — the table of the program's own commands, the menus made from
// it, and what each command does.
#include "app/commands.h"

#include "app/classroom.h"
#include "app/saving.h"
#include "app/sky_events.h"
#include "app/sky_switch.h"

#include "model/calendar.h"
#include "model/sky.h"

#include <string>
#include <vector>

namespace {

constexpr const char* Extras = "EXTRAS |";
constexpr const char* Events = "EREIGNISSE |";
constexpr const char* SkyMenu = "HIMMEL |";

constexpr CommandKey Key(KeyName name) { return {name, 0, false}; }
constexpr CommandKey Letter(char letter, bool ctrl = false) { return {KeyName::Letter, letter, ctrl}; }

// Pausing, single steps and the jumps, the commands used most in front of a
// class, get a button each on a touch screen: previous event, back, pause,
// forward, next event. The two skies' items show which one is shown.
constexpr std::array<CommandRow, CommandCount> Table{{
    {PauseResume, Extras, "&Anhalten / Weiter", Key(KeyName::Space), "Leertaste", 2, "\u275A\u275A / \u25B6",
     TogglePause, nullptr, false},
    {StepForward, Extras, "Schritt &vor", Key(KeyName::Right), "\u2192", 3, "\u25B6|", [] { AskStep(+1); }, nullptr,
     false},
    {StepBack, Extras, "Schritt &zurück", Key(KeyName::Left), "\u2190", 1, "|\u25C0", [] { AskStep(-1); }, nullptr,
     false},
    {SightLines, Extras, "&Sichtlinien ein/aus", Letter('S'), "S", -1, "", ToggleSightLines, nullptr, false},
    {ConstructionCommand, Extras, "&Konstruktion ein/aus", Letter('K'), "K", -1, "", ToggleConstruction, nullptr,
     false},
    {SavePictureCommand, Extras, "&Bild speichern", Letter('S', true), "Strg+S", -1, "", SaveThePicture, nullptr,
     false},
    {SaveWorksheetCommand, Extras, "&Arbeitsblatt speichern", Letter('A'), "A", -1, "", SaveTheWorksheet, nullptr,
     false},
    {NextEventCommand, Events, "&Nächstes Ereignis", Key(KeyName::PageDown), "Bild\u2193", 4, "\u25B6\u25B6",
     [] { JumpToEvent(+1); }, nullptr, false},
    {PreviousEventCommand, Events, "&Voriges Ereignis", Key(KeyName::PageUp), "Bild\u2191", 0, "\u25C0\u25C0",
     [] { JumpToEvent(-1); }, nullptr, false},
    {SkyStripCommand, Events, "&Himmelsstreifen ein/aus", Letter('H'), "H", -1, "", ToggleSkyStrip, nullptr, false},
    {EventListCommand, Events, "&Ereignisliste", Letter('L'), "L", -1, "", ShowEventList, nullptr, false},
    {SaveEventListCommand, Events, "Ereignisliste &speichern", Key(KeyName::None), "", -1, "", SaveTheEventList,
     nullptr, false},
    {ModelSkyCommand, SkyMenu, "&Modell", Letter('M'), "M", -1, "", ShowModelSky, [] { return !Skies.Real; }, true},
    {RealSkyCommand, SkyMenu, "&Echter Himmel", Letter('E'), "E", -1, "", ShowRealSky, [] { return Skies.Real; },
     true},
    {NowCommand, SkyMenu, "&Jetzt", Letter('J'), "J", -1, "", [] { ShowRealSkyAt(MomentNow()); }, nullptr, true},
    {DateCommand, SkyMenu, "&Datum \u2026", Letter('D'), "D", -1, "", AskForDate, nullptr, true},
}};

// Every row stands at its command's place, so a position is the command.
constexpr bool InOrder() {
    for (int i = 0; i < CommandCount; ++i)
        if (Table[i].Id != i) return false;
    return true;
}
static_assert(InOrder(), "the table's rows in the order of the commands");

}  // namespace

const std::array<CommandRow, CommandCount>& Commands = Table;

void InstallCommands(CommandHandler onChoice) {
    // The rows of one menu stand together; a new title starts a new menu.
    std::vector<CommandMenu> menus;
    for (const CommandRow& row : Commands) {
        if (menus.empty() || menus.back().Title != row.Menu) menus.push_back({row.Menu, {}});
        menus.back().Items.push_back({row.Text, row.Key, row.KeyLabel, row.TouchPlace, row.TouchLabel});
    }
    InstallCommandMenus(menus, onChoice);
    MarkCommands();
}

void DoCommand(int position) {
    if (position >= 0 && position < CommandCount) Commands[position].Run();
}

void MarkCommands() {
    for (const CommandRow& row : Commands)
        if (row.Checked) SetCommandChecked(row.Id, row.Checked());
}
