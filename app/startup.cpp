// startup.cpp — the start-up sequence, in its order.
#include "app/startup.h"

#include "app/choices.h"
#include "app/shell.h"

#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

#include <cstdio>
#include <cstdlib>

namespace {

// A window setting refused during start-up leaves no program to run.
void Require(bool accepted) {
    if (accepted) return;
    std::fprintf(stderr, "heliogeo: the window system refused a window setting\n");
    std::exit(1);
}

}  // namespace

void OpenMainWindowAndModel() {
    // Tables are plain arrays and exist already; the model's flattening first.
    Planets.FlattenFactor = 0.82;

    OpenWindowDefault(Win_0);
    ShowWindow(Win_0);
    SelectWindow(Win_0);
    InitScreenAndColours();
    InitModel();
    Require(SetWindowBackground(Win_0, Colours.ColMagenta));
    ClearWindow(Win_0);
}

void OpenViewsAndDiscImages() {
    // Each view gets its background colour before it is first shown, so it
    // never flashes in another colour.
    SelectWindow(Win_0);
    Require(SetWindowBackground(Win_2, Colours.ColAzure));
    OpenViewWindow(Win_2);
    SelectWindow(Win_0);
    Require(SetWindowBackground(Win_3, Colours.ColAzure));
    OpenViewWindow(Win_3);

    BuildDiscImages();
}

void StartUp() {
    OpenMainWindowAndModel();

    TitleScreen();
    // Closing window 0 on the title screen ends the program there.
    if (Shell.EndMarker == "*") return;

    SetForeground(Colours.ColWhite);
    SetBackground(0);
    InstallChoices();
    ShowWindow(Win_0);
    FitBelowMenuBar();

    Shell.MessageText = "Beenden nur mit QUIT ! | | Nicht mit Schließfeld !";
    ShowMessage();

    OpenViewsAndDiscImages();
    // The first step starts from where the clock stands (the real sky's
    // start is the date given, not the model's angle 0).
    PlacePlanets();
    KeepPositions();
}
