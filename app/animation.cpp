// animation.cpp — one step of the clock, drawn into the views.
#include "app/animation.h"

#include "model/planets.h"
#include "render/render.h"

void AnimationStep() {
    AdvanceModel();
    DrawStep();
}
