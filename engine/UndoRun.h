#ifndef QUILLOWBY_ENGINE_UNDO_RUN_H
#define QUILLOWBY_ENGINE_UNDO_RUN_H

#include "engine/FileServices.h"

#include <string>
#include <vector>

class RunProgress;

// Why an undo moved nothing.
enum UndoRefusal
{
    UndoRefusalNone,
    // No file at the log path, or it cannot be read.
    UndoNoLog,
    // The file is not a rename log.
    UndoNotALog,
    // The last record of the log moved no file.
    UndoNothingToTakeBack,
    // A name of the log is longer than 255 bytes (refusedName).
    UndoNameTooLong,
    // A name of the log is no plain file name of the folder (refusedName).
    UndoNameNotPlain,
    // The folder of the log cannot be searched.
    UndoFolderNotSearchable,
    // The log cannot take the undo's own record.
    UndoLogNotWritable
};

struct UndoOutcome
{
    UndoOutcome() : refusal(UndoRefusalNone), fileCount(0), notBack(0), steps(0), logComplete(false), stopped(false)
    {
    }

    UndoRefusal refusal;
    std::string refusedName;
    // The folder of the record taken back, as its first line has it.
    std::string folder;
    // Files the record moved.
    int fileCount;
    // Files not back under the name they had before: their names then are in notBackNames.
    int notBack;
    std::vector<std::string> notBackNames;
    // Temporary names in the folder that no line of the record accounts for; left alone.
    std::vector<std::string> unaccounted;
    // Lines of the undo's own record after its folder line.
    int steps;
    // Every line of the undo's record landed whole.
    bool logComplete;
    // The undo was asked to stop before its walk was through; the next undo finishes it.
    bool stopped;
};

// Reads the log at logPath and tells what an undo would take back (folder and fileCount),
// moving nothing. False with outcome.refusal when there is nothing an undo could do.
bool PlanUndo(const char* logPath, FileServices& fs, UndoOutcome& outcome);

// Takes back the last record of the log at logPath, newest step first, each step that moved
// a file becoming a move back that never replaces a file. A file not where the record says
// is left alone, and so are its earlier steps; such files are counted in outcome.notBack.
// The log keeps the record read: the undo appends its own as a further section, which a
// later undo takes back in turn. False when the undo was refused (outcome.refusal): then
// nothing was moved and the log is as it was. progress, when given, is told before every
// step and may stop the undo (outcome.stopped): no further step starts.
bool UndoRun(const char* logPath, FileServices& fs, UndoOutcome& outcome, RunProgress* progress = nullptr);

#endif
