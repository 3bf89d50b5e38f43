#ifndef QUILLOWBY_UI_RUN_COMMAND_H
#define QUILLOWBY_UI_RUN_COMMAND_H

#include <windows.h>

#include "core/CountedString.h"

class WaitCursor;

// Copies the window's fields into the job and checks its numbers, as every use of the job
// does. A number out of range is warned about (the arrow back first) and its field made
// ready for the correction; then the answer is false.
bool TakeJob(HWND dialog, WaitCursor& wait);

// The field's whole text, as long as the control says it is.
void ReadFieldText(HWND dialog, int id, CountedString& text);
// The same for a field that names a path, pasted quotes and spaces taken off (TrimPastedPath);
// the field then shows the text that is used.
void ReadPathField(HWND dialog, int id, CountedString& text);

// Asks for confirmation, copies the window's fields into the job, checks the numbers, runs
// the job, keeping its record in the history of runs, and tells the user how it went.
void RunCommand(HWND dialog);

#endif
