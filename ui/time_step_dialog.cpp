// time_step_dialog.cpp — typing a new time step in window 1.
#include "ui/ui.h"

double InputValue = 0;

void TimeStepDialog() {}
void OpenInputWindow() {}
void InputNumber(double, double, const std::string&, double) {}
