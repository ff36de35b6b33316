// classroom_state.h — the lesson as it stands: whether the clock is held,
// the single steps asked for and their history, the lines of sight and the
// sky strip, and the event reached. The commands change it; the main loop's
// pass, the status line and the saved files read it.
#pragma once

#include "model/construction.h"
#include "model/sky.h"

#include <deque>
#include <optional>

struct ClassroomState {
    bool Paused = false;
    int PendingSteps = 0;            // single steps asked for while paused: > 0 forward, < 0 back
    bool RedrawPending = false;      // a command may have cleared the views while paused
    bool SightLinesOn = false;
    // The clock before each step, so that a step back lands exactly where
    // the step started, and before each step back, so that stepping forward
    // again lands exactly where the step back started.
    struct Visit {
        double SimTime = 0;
        double TimeStep = 0;         // the step that was taken from there
    };
    std::deque<Visit> Earlier;
    std::deque<Visit> Later;
    bool Started = false;            // the main loop has taken its first pass
    bool SkyStripOn = false;
    std::optional<SkyEvent> AtEvent; // the event last jumped to; named while the clock stands on it
    bool Drawing = false;            // a jump (or a new layout) draws its steps: choices wait for its end
    // The construction of a loop while it is shown, with its planet and
    // numbered moments, kept until it is taken away.
    std::optional<LoopConstruction> Construction;
};

extern ClassroomState Classroom;
