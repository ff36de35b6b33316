// choices.cpp — every choice carried out in one way.
#include "app/choices.h"

#include "app/classroom_state.h"
#include "app/commands.h"
#include "app/menu.h"
#include "app/shell.h"
#include "app/status_line.h"

#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <utility>

namespace {

// Where a choice came from: the menu bar (an index in MenuItems) or the
// commands' table (a position in it).
enum class From { MenuBar, Table };

// The choice that waits while a jump (or a new layout) draws its steps: only
// the last one made is kept.
struct Waiting {
    bool Any = false;
    From Source = From::MenuBar;
    int32_t Item = 0;
} Queued;

void AfterClearing() {
    // What a command cleared is drawn again at once while the clock stands.
    if (Classroom.Paused) Classroom.RedrawPending = true;
    // The views may have been opened again (the time-step dialog, a new
    // layout): the strip goes back below them, or goes once it is off.
    if (Classroom.SkyStripOn) ShowSkyStrip(true);
    else if (IsWindowOpen(Win_4)) ShowSkyStrip(false);
}

void RunWaiting();

void Run(From source, int32_t item) {
    // A choice made while a jump draws its steps is not lost: the last one
    // runs when the jump is done.
    if (Classroom.Drawing) {
        Queued = {true, source, item};
        return;
    }
    // One command at a time, none once the program ends.
    if (Shell.CommandRunning || Shell.EndMarker == "*") return;
    Shell.CommandRunning = true;
    UpdateStatusLine(true);
    RunGuarded([source, &item] {
        if (source == From::MenuBar) Win_0_MenuEvent(item);
        else DoCommand(item);
    });
    Shell.CommandRunning = false;
    // The menu bar's commands may all have cleared the views; of the table's,
    // its row says so.
    if (source == From::MenuBar || (item >= 0 && item < CommandCount && Commands[item].ClearsViews))
        AfterClearing();
    MarkCommands();
    RunWaiting();
    UpdateStatusLine(true);
}

void RunWaiting() {
    while (Queued.Any && !Classroom.Drawing && Shell.EndMarker != "*") {
        const Waiting choice = std::exchange(Queued, Waiting{});
        Run(choice.Source, choice.Item);
    }
}

}  // namespace

void InstallChoices() {
    Queued = {};
    BuildMenuBar(MenuBarChoice);
    InstallCommands(CommandChoice);
    PrepareStatusLine();
}

void MenuBarChoice(int32_t& item) {
    Run(From::MenuBar, item);
}

void CommandChoice(int position) {
    Run(From::Table, position);
}

void LayOutWhereDue() {
    const bool screenChanged = ScreenChanged();
    if (!TakeLayoutDue() && !screenChanged) return;
    RunGuarded(LayOutAgain);
    AfterClearing();
    RunWaiting();
}
