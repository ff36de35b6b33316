// animation.cpp — one step of the clock, drawn into the views.
#include "app/startup.h"

#include "app/shell.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

void AnimationStep() {
    AdvanceModel();
    DrawStep();
}

void DrawStep() {
    // SystemMode is read afresh for each view: a command chosen while the
    // heliocentric view lets events through may change it.
    if (Settings.SystemMode == 1 || Settings.SystemMode == 3) {
        SelectWindow(Win_2);
        DrawHelioView();
    }
    if (Settings.SystemMode == 2 || Settings.SystemMode == 3) {
        SelectWindow(Win_3);
        DrawGeoView();
    }
    KeepPositions();
}
