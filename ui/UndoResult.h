#ifndef QUILLOWBY_UI_UNDO_RESULT_H
#define QUILLOWBY_UI_UNDO_RESULT_H

#include "core/CountedString.h"
#include "engine/undo/HistoryUndo.h"
#include "engine/undo/UndoRun.h"

// Why there is nothing to undo (or, with redo, to make again), or why the undo moved nothing.
CountedString UndoRefusalText(const UndoOutcome& outcome, bool redo = false);
// The question before an undo or redo: its folder and how many files move, when the run of
// a record of the history was made, and whether it finishes an undo or redo cut short.
CountedString UndoQuestionText(const UndoOutcome& plan, const UndoChoice& choice = UndoChoice());
// What the result box says after an undo: "Completed." only when every file is back and the
// undo went through, otherwise how many are not (files under temporary names no line
// accounts for among them) and where the details are: the log at logPath, or the record. A
// redo says how many did not get their new names again.
CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath, bool redo = false);

#endif
