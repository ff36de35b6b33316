// ui.h — title screen, message boxes, the time-step dialog and the service
// commands.
#pragma once

#include <cstdint>
#include <string>

// Title screen.
void TitleScreen();
void WaitForKey(int16_t line);

// Message boxes: each shows MessageText.
void ShowMessage();
void ShowInfo();
void ShowAuthor();

// Time-step dialog.
extern double InputValue;  // what InputNumber read
void TimeStepDialog();
void OpenInputWindow();
void InputNumber(double column, double line, const std::string& prompt, double defaultValue);
// What InputNumber makes of a typed line: the default for an empty or blank
// line; the number for one finite decimal number (spaces around it, a decimal
// comma and a leading "+" allowed) in at most 60 bytes; NaN for anything else.
double LineToNumber(const std::string& typed, double defaultValue);
// The dialog's decision on what InputNumber read: a number becomes the time
// step, a rejected one too, so that it is offered again as the default; NaN
// leaves the time step as it is. True when the value ends the dialog:
// 0 < value < 20.
bool TakeTimeStep(double value, double& timeStep);

// Clearing step and service commands.
void ClearViews();
void ClearBackgrounds();
void TestCommand();
