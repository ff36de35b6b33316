// title_screen.cpp — the panels, the title and the two key waits at start-up.
#include "ui/ui.h"

void TitleScreen() {}
void WaitForKey(int16_t) {}
