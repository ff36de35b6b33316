// startup.h — start-up, up to the main loop.
#pragma once

// Runs the start-up sequence up to the main loop: window 0, screen and
// colours, model and layout, title screen, menu bar, the warning, the view
// windows and the disc images.
void StartUp();
// Its parts that need no person: window 0 with the screen, colours, model and
// layout; and the two view windows with the bodies' disc images.
void OpenMainWindowAndModel();
void OpenViewsAndDiscImages();
