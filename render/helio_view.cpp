// helio_view.cpp — the Sun at rest in window 2, the planets round it.
#include "render/render.h"

void DrawHelioView() {}
void RemoveHelioBody(int16_t) {}
