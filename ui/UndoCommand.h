#ifndef QUILLOWBY_UI_UNDO_COMMAND_H
#define QUILLOWBY_UI_UNDO_COMMAND_H

#include <windows.h>

// Takes back the newest run the history holds, or the one recorded in the log named in the
// log field, once the user agreed, and tells how it went.
void UndoCommand(HWND dialog);

// Makes the run taken back last again, giving its files their new names once more, once the
// user agreed, and tells how it went.
void RedoCommand(HWND dialog);

// Takes back the last act of the log or record at path (with redo, an undo: the run is made
// again) while the window answers, and tells how it went.
void UndoNow(HWND dialog, const char* path, bool redo);

#endif
