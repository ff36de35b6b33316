// title_screen.cpp — the panels, the title and the two key waits at start-up.
#include "ui/ui.h"

#include "model/layout.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "ui/credits.h"

#include <cmath>
#include <string>

namespace {

// Font sizes in pixels, proportional to the screen width.
double FontSize(double size) {
    return size * Layout.ScreenWidth / 800;
}

}  // namespace

void TitleScreen() {
    // Window 0 is the drawing target throughout.
    SelectWindow(Win_0);
    ClearWindow(Win_0);
    SetForeground(Colours.ColBlue);
    SetBackground(Colours.ColWhite);
    SetWindowCaption(Win_0, "Helio- und geozentrisches Planetensystem");
    SetWindowCaption(Win_1, "Eingabe des Zeitschritts");
    ShowWindow(Win_0);
    SetFontFace("times");
    SetFontSize(FontSize(30));

    // The left panel, solid blue, with the title.
    SetForeground(Colours.ColBlue);
    SetBackground(Colours.ColAzure);
    SetFillPattern(0);
    FillBox(4, 2, ScaleX(159), ScaleY(199));
    SetForeground(Colours.ColWhite);
    SetBackground(Colours.ColBlue);
    DrawText(ScaleX(30), ScaleY(40), "Helizentrisches -");
    DrawText(ScaleX(30), ScaleY(90), " Geozentrisches");
    DrawText(ScaleX(30), ScaleY(140), "  Sonnensystem");
    SetFontSize(FontSize(12));
    DrawText(ScaleX(65), ScaleY(165), std::string(credits::Name) + ", " + credits::Version);
    DrawText(ScaleX(65), ScaleY(175), credits::Kind);
    SetFontSize(FontSize(20));

    // The right panel, white bands with blue gaps, with the credits.
    SetForeground(Colours.ColWhite);
    SetBackground(Colours.ColBlue);
    SetFillPattern(8);
    FillBox(ScaleX(161), 2, ScaleX(317), ScaleY(199));
    DrawText(ScaleX(210), ScaleY(40), "Programmautor: ");
    DrawText(ScaleX(214), ScaleY(70), std::string("das ") + credits::Name + "-Projekt");
    DrawText(ScaleX(175), ScaleY(90), credits::Kind);
    DrawText(ScaleX(210), ScaleY(110), credits::Licence);
    DrawText(ScaleX(207), ScaleY(130), credits::Version);

    WaitForKey(24);
    if (Shell.EndMarker == "*") return;

    // The second prompt stands alone on the cleared window.
    ClearWindow(Win_0);
    SetSchemeColours(2);
    SetFontSize(FontSize(10));
    WaitForKey(23);

    ClearWindow(Win_0);
    SetSchemeColours(2);
}

void WaitForKey(int16_t line) {
    bool wide = Layout.ScaleXFactor > 1;
    TextCursorTo(wide ? 19 : 2, static_cast<int>(std::lround(Layout.ScaleYFactor * line)));
    PrintText(wide ? "Weiter ?  <RETURN>" : "Weiter ? ");
    // Any key ends the wait, one typed ahead too; so does a mouse button that
    // is down, already when the prompt appears or pressed later (a click is
    // counted, so that even one quicker than a look is seen). Clicks from
    // before the prompt do not count. Between looks the program sleeps until
    // something happens. Closing window 0 ends the wait too.
    while (MouseClicked()) {
    }
    for (;;) {
        if (KeyPressed() || MouseButtons() != 0 || MouseClicked()) return;
        if (Shell.EndMarker == "*") return;
        WaitForEvents();
    }
}
