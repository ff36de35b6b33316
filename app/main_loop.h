// main_loop.h — the main loop.
#pragma once

#include "app/options.h"

// Lets events through and performs one animation step per pass, paced as the
// options say, until EndMarker holds "*".
void RunMainLoop(const LoopOptions& options);
