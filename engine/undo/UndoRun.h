#ifndef QUILLOWBY_ENGINE_UNDO_UNDO_RUN_H
#define QUILLOWBY_ENGINE_UNDO_UNDO_RUN_H

#include "engine/platform/FileServices.h"
#include "engine/undo/UndoOutcome.h"

class RunProgress;

// Reads the log at logPath and tells what an undo would take back (folder and fileCount),
// moving nothing; it lists the folder. False with outcome.refusal when there is nothing an
// undo could do.
bool PlanUndo(const char* logPath, FileServices& fs, UndoOutcome& outcome);

// Takes back the last record of the log at logPath, newest step first, each step that moved
// a file becoming a move back that never replaces a file. A file not where the record says
// is left alone, and so are its earlier steps; such files are counted in outcome.notBack.
// The log keeps the record read: the undo appends its own as a further section, ended by a
// line that says it finished, and a later undo takes that section back in turn. When the
// last undo of the log did not finish (killed, or stopped), this one finishes its work: it
// takes back the record that undo was taking back, from where each file is now. False when
// the undo was refused (outcome.refusal): then nothing was moved and the log is byte for
// byte as it was, but for NUL bytes it ended in. progress, when given, is told before every
// step and may stop the undo (outcome.stopped): no further step starts, and the next undo
// finishes the work.
bool UndoRun(const char* logPath, FileServices& fs, UndoOutcome& outcome, RunProgress* progress = nullptr);

#endif
