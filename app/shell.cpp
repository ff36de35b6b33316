// shell.cpp — colour values, quitting, the views' rebuild and the error report.
#include "app/shell.h"

#include "model/layout.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/ui.h"

ColourValues Colours;
ShellState Shell;

void InitScreenAndColours() {
    SetScreenSize(ScreenWidthPixels(), ScreenHeightPixels());
    Colours.ColBlack = 0x000000;
    Colours.ColWhite = 0xFFFFFF;
    Colours.ColBlue = 0xFF0000;
    Colours.ColCyan = 0xFFFF00;
    Colours.ColGreen = 65280;  // 0x00FF00
    Colours.ColYellow = 0x00FFFF;
    Colours.ColMagenta = 0xFF00FF;
    Colours.ColAzure = 0xFF8000;
    Colours.ColRed = 0x0000FF;
    SetSchemeColours(1);
    SetForeground(Colours.ColBlue);
    SetBackground(Colours.ColWhite);
}

void OpenViewWindow(int n) {
    bool helio = n == Win_2;
    OpenWindow(n, static_cast<int>(helio ? Layout.HelioWinLeft : Layout.GeoWinLeft),
               ViewWinTop(helio ? Layout.HelioWinTopBase : Layout.GeoWinTopBase), Layout.ViewWinWidthInt,
               static_cast<int>(Layout.ViewWinHeight));
    SelectWindow(n);
}

void QuitCommand() {
    Shell.EndMarker = "*";
}

void RebuildViewWindows() {
    CloseWindow(Win_1);
    ClearWindow(Win_2);
    ClearWindow(Win_3);
    SelectWindow(Win_0);
    OpenViewWindow(Win_3);
    OpenViewWindow(Win_2);
    ClearWindow(SelectedWindow());
}

void ReportError() {
    Shell.EndMarker = "*";
    Shell.MessageText = " Fehler : | " + Shell.CurrentError +
                        " || Wenden Sie sich ggf. an || die Person, die die Computer Ihrer Schule betreut.";
    ShowMessage();
}

void OnWindowClosed(int n) {
    // Window 0's close box ends the program as "&Quit" does. A view window
    // that is closed just goes; the animation runs on.
    if (n == Win_0) QuitCommand();
}
