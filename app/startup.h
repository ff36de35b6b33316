// startup.h — start-up, the main loop and the animation step.
#pragma once

#include "app/options.h"

// Runs the start-up sequence up to the main loop: window 0, screen and
// colours, model and layout, title screen, menu bar, the warning, the view
// windows and the disc images.
void StartUp();
// Its parts that need no person: window 0 with the screen, colours, model and
// layout; and the two view windows with the bodies' disc images.
void OpenMainWindowAndModel();
void OpenViewsAndDiscImages();
// Lets events through and performs one animation step per pass, paced as the
// options say, until EndMarker holds "*".
void RunMainLoop(const LoopOptions& options);
// One step of the clock, with the views drawn as SystemMode says (DrawStep).
void AnimationStep();
