#ifndef QUILLOWBY_ENGINE_UNDO_UNDO_OUTCOME_H
#define QUILLOWBY_ENGINE_UNDO_UNDO_OUTCOME_H

#include <string>
#include <vector>

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

#endif
