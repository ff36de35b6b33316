// disc_images.cpp — each body's disc and label, drawn once and captured.
#include "render/render.h"

BodyImages Images;

void BuildDiscImages() {}
