#ifndef QUILLOWBY_ENGINE_UNDO_UNDO_RUN_H
#define QUILLOWBY_ENGINE_UNDO_UNDO_RUN_H

#include "engine/platform/FileServices.h"

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
    // The last record of the log moved no file that is still where it says.
    UndoNothingToTakeBack,
    // A name of the log is longer than 255 bytes (refusedName).
    UndoNameTooLong,
    // A name of the log is no plain file name of the folder (refusedName).
    UndoNameNotPlain,
    // The folder of the log cannot be searched.
    UndoFolderNotSearchable,
    // The log cannot take the undo's own record.
    UndoLogNotWritable,
    // The folder of the log no longer exists.
    UndoFolderGone
};

struct UndoOutcome
{
    UndoOutcome()
        : refusal(UndoRefusalNone), fileCount(0), notBack(0), steps(0), logComplete(false), stopped(false),
          finishing(false)
    {
    }

    UndoRefusal refusal;
    std::string refusedName;
    // The folder of the record taken back, as its first line has it.
    std::string folder;
    // Files the record moved that are where it says: the files the undo moves.
    int fileCount;
    // Files not back under the name they had before: their names then are in notBackNames.
    int notBack;
    std::vector<std::string> notBackNames;
    // Temporary names in the folder that no line of the record accounts for and that its
    // walk could have made; left alone, and named in the record of an undo that went through.
    std::vector<std::string> unaccounted;
    // Every file that may not be where it was before the run: those the undo could not put
    // back, and each temporary file it left alone because it cannot tell whose it is.
    int FilesNotBack() const { return notBack + static_cast<int>(unaccounted.size()); }
    // Lines of the undo's own record after its folder line.
    int steps;
    // Every line of the undo's record landed whole.
    bool logComplete;
    // The undo was asked to stop before its walk was through; the next undo finishes it.
    bool stopped;
    // The last undo of the log did not finish and this one finishes it. With no file to move
    // (fileCount 0), that undo made every move but did not live to say so: this one only
    // notes that it finished.
    bool finishing;
};

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
