#ifndef QUILLOWBY_UI_UNDO_COMMAND_H
#define QUILLOWBY_UI_UNDO_COMMAND_H

#include <windows.h>

// Takes back the run recorded in the log named in the log field, once the user agreed, and
// tells how it went.
void UndoCommand(HWND dialog);

#endif
