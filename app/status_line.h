// status_line.h — the line at the menu bar's right end: the simulated day,
// the time step and whether the animation runs, or the event the clock
// stands on.
#pragma once

#include "model/sky.h"

#include <string>

// Tells the window system the widest lines a long lesson shows, and shows
// the first one.
void PrepareStatusLine();
// Brings the line up to date: at once (now), or a few times a second while
// the animation runs.
void UpdateStatusLine(bool now);

// The line's text: "Tag 812,5   Zeitschritt 0,5 d   angehalten", and its
// short form for a narrow menu bar: "Tag 812,5   angehalten". The day has
// two decimals, more where the time step has more, without trailing zeros:
// "Tag 806,15", "Tag 813".
std::string StatusText(double simTime, double timeStep, bool paused);
std::string StatusShortText(double simTime, double timeStep, bool paused);
std::string DayText(double simTime, double timeStep);
// The line on an event reached: "Tag 806,15   Mars: Opposition", and its
// short form: "Tag 806,15   Opposition".
std::string EventStatusText(const SkyEvent& e);
std::string EventStatusShortText(const SkyEvent& e);
