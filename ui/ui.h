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

// Clearing step and service commands.
void ClearViews();
void ClearBackgrounds();
void TestCommand();
