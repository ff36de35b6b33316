// colours.cpp — numbered colour pairs and the main window's reset.
#include "render/render.h"

void SetSchemeColours(int16_t) {}
void ResetMainWindowColours() {}
