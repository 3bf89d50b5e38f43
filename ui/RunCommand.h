#ifndef QUILLOWBY_UI_RUN_COMMAND_H
#define QUILLOWBY_UI_RUN_COMMAND_H

#include <windows.h>

#include "core/CountedString.h"

// The field's whole text, as long as the control says it is.
void ReadFieldText(HWND dialog, int id, CountedString& text);

// Asks for confirmation, copies the window's fields into the job, checks the numbers, runs
// the job and tells the user how it went.
void RunCommand(HWND dialog);

#endif
