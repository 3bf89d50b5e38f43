#ifndef QUILLOWBY_UI_RUN_LOOP_H
#define QUILLOWBY_UI_RUN_LOOP_H

#include <windows.h>

#include "engine/RunRename.h"

// Runs the process-wide job while the window goes on answering; returns when the run is over,
// with RunRename's result and outcome.
bool RunWhileWindowAnswers(HWND dialog, RunOutcome& outcome);

// A run is under way: the window starts no other work and does not close.
bool RunInProgress();

// Asks whether to stop the run; Yes stops it.
void AskToStopRun(HWND dialog);

// The wait cursor over the window's client area while a run is under way; false when the
// cursor is left to the usual handling.
bool ShowRunCursor(LPARAM hitTestAndMessage);

#endif
