// messages.cpp — every message box of the program goes through ShowMessage.
#include "ui/ui.h"

#include "app/shell.h"
#include "platform/platform.h"

void ShowMessage() {
    MessageBox(Shell.MessageText);
}

void ShowInfo() {}
void ShowAuthor() {}
