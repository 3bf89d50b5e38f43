#ifndef QUILLOWBY_UI_LOG_FILE_QUESTION_H
#define QUILLOWBY_UI_LOG_FILE_QUESTION_H

#include <windows.h>

#include "ui/WaitCursor.h"

// The answer to a question that warns: No unless the user says Yes. The wait cursor gives
// way to the question and comes back after a Yes.
bool UserSaysYes(HWND dialog, const char* question, WaitCursor& wait);

// A run empties the file at the log path. An earlier rename log (or an empty file) goes
// without a question, since users rerun with the same log path all the time; any other file
// goes only when the user says so. False when the run must not go on. The wait cursor gives
// way to the question and comes back after a Yes.
bool MayReplaceLogFile(HWND dialog, const char* logPath, WaitCursor& wait);

// A run whose log cannot be created cannot be undone; it goes only when the user says so.
// False when the run must not go on.
bool MayRunWithoutLog(HWND dialog, const char* logPath, WaitCursor& wait);

#endif
