// geo_view.cpp — the Earth at rest in window 3, the Sun and planets round it.
#include "render/render.h"

void DrawGeoView() {}
void RemoveGeoBody(int16_t) {}
void RemoveBody(int16_t) {}
