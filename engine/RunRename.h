#ifndef QUILLOWBY_ENGINE_RUN_RENAME_H
#define QUILLOWBY_ENGINE_RUN_RENAME_H

#include "engine/FileServices.h"

class RenameJob;
class EntryList;
class RunProgress;

// Why a run stopped before it moved any file.
enum RunRefusal
{
    RefusalNone,
    // The folder field is empty, or the folder cannot be searched, or nothing matches.
    RefusalNotStarted,
    // The folder listing broke off; numbering part of a folder would be wrong.
    RefusalListingFailed,
    // A name from the folder is longer than 255 bytes (refusedName).
    RefusalNameTooLong,
    // The new name of refusedName would be longer than 255 bytes.
    RefusalNewNameTooLong,
    // The numbers of the run would pass 2147483647 (refusedName gets the first such file).
    RefusalNumberTooLarge
};

struct RunOutcome
{
    RunOutcome() : refusal(RefusalNone), fileCount(0), notRenamed(0), unreachable(0),
                   steps(0), logComplete(false), stopped(false), renamed(0), leftTemporary(0)
    {
        refusedName[0] = '\0';
    }

    RunRefusal refusal;
    char refusedName[kFoundNameSize];
    // Files of the batch (the log file and unreachable names not counted).
    int fileCount;
    // Files that did not reach their new names, unreachable ones included; the log says why.
    int notRenamed;
    // Files left untouched because the ANSI code page cannot name them.
    int unreachable;
    // Rename steps taken (log lines after the header).
    int steps;
    // The log was created and took every write.
    bool logComplete;
    // The run was asked to stop before its walk was through.
    bool stopped;
    // Files under their new names at the end.
    int renamed;
    // Files left under temporary names, both their names taken; the log names them.
    int leftTemporary;
};

// Renames every regular file of job.folder matching job.mask to prefix, number, suffix and
// its own extension, never overwriting a file, and logs every step to job.logPath.
// False when the run did not start (outcome.refusal says why): then nothing was moved and
// no log was created or emptied. True when it went through; outcome.notRenamed counts the
// files that did not reach their new names. progress, when given, is told before every
// rename step and may stop the run (outcome.stopped).
bool RunRename(const RenameJob& job, EntryList& list, FileServices& fs, RunOutcome& outcome,
               RunProgress* progress = nullptr);

#endif
