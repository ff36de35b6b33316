// animation.h — one step of the clock.
#pragma once

// One step of the clock, with the views drawn as SystemMode says (DrawStep).
void AnimationStep();
