// classroom_state.cpp — the lesson as it stands.
#include "app/classroom_state.h"

ClassroomState Classroom;
