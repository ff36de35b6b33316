// sky_switch.h — the menu "HIMMEL |": the model's circles or the real sky on
// the calendar's days, switched with every setting kept and the views started
// empty, as a choice of system starts them.
#pragma once

// The model, at the day it was left on ("&Modell").
void ShowModelSky();
// The real sky at the last date set or reached, else now ("&Echter Himmel").
void ShowRealSky();
// The real sky at a moment (days TT since J2000.0), paused there: "&Jetzt"
// at the computer's clock, "&Datum …" at the date typed.
void ShowRealSkyAt(double moment);
// "&Datum …": the date asked for in window 1; Escape changes nothing, nor
// does the real sky's own date taken as offered.
void AskForDate();
// Before start-up (--date): the program starts in the real sky at a moment.
void StartInRealSky(double moment);
