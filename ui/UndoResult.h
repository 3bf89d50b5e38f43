#ifndef QUILLOWBY_UI_UNDO_RESULT_H
#define QUILLOWBY_UI_UNDO_RESULT_H

#include "core/CountedString.h"
#include "engine/UndoRun.h"

// Why there is nothing to undo, or why the undo moved nothing.
CountedString UndoRefusalText(const UndoOutcome& outcome);
// The question before an undo: its folder and how many files go back.
CountedString UndoQuestionText(const UndoOutcome& plan);
// What the result box says after an undo: "Completed." only when every file is back, otherwise
// how many are not and where the details are.
CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath);

#endif
