// sky_events.h — the menu "EREIGNISSE |": jumps to the moments that explain
// a planet's loop, the sky strip, and the list of coming events.
#pragma once

// The next (+1) or previous (-1) event of a shown planet: the steps between
// drawn, the clock paused on it, or at the end of the sky's span.
void JumpToEvent(int direction);
// The strip on or off; the views make room for it in a new layout.
void ToggleSkyStrip();
// The box with the list of coming events.
void ShowEventList();
