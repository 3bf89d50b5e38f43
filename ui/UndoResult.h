#ifndef QUILLOWBY_UI_UNDO_RESULT_H
#define QUILLOWBY_UI_UNDO_RESULT_H

#include "core/CountedString.h"
#include "engine/UndoRun.h"

// Why there is nothing to undo, or why the undo moved nothing.
CountedString UndoRefusalText(const UndoOutcome& outcome);
// The question before an undo: its folder and how many files go back, and whether it
// finishes an undo cut short.
CountedString UndoQuestionText(const UndoOutcome& plan);
// What the result box says after an undo: "Completed." only when every file is back and the
// undo went through, otherwise how many are not (files under temporary names no line
// accounts for among them) and where the details are.
CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath);

#endif
