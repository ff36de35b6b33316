// discs.cpp — putting a body's disc into a view and taking it away again.
#include "render/render.h"

void DrawDisc(double, double, double, double, int16_t, int16_t) {}
void EraseDisc(double, double, double, double, int16_t, int16_t) {}
void SaveBackground(double, double, double, double, int16_t, int16_t) {}
