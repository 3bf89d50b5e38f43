#ifndef QUILLOWBY_UI_HISTORY_QUESTIONS_H
#define QUILLOWBY_UI_HISTORY_QUESTIONS_H

#include <windows.h>

#include "ui/WaitCursor.h"

class RunHistory;

// Reads the records of a history made on HistoryFolder(); false, with none read, when the
// shell names no such folder or it cannot be listed.
bool LoadHistory(RunHistory& history);

// A run whose record the history cannot keep cannot be taken back by 元に戻す; it goes only
// when the user says so, and then without a record (kept null). Otherwise kept is the
// history, read. False when the run must not go on.
bool MayRunWithoutHistory(HWND dialog, RunHistory& history, RunHistory*& kept, WaitCursor& wait);

// A run or undo in the run's folder that did not finish may have left files under temporary
// names, which the run must not number: the run does not go, and the user may take that run
// back first (or finish its undo or redo), as 元に戻す would. False when there is none.
bool UnfinishedHoldsRunBack(HWND dialog, RunHistory& history, const char* folder, WaitCursor& wait);

#endif
