#ifndef QUILLOWBY_ENGINE_RUN_RUN_OUTCOME_H
#define QUILLOWBY_ENGINE_RUN_RUN_OUTCOME_H

#include "engine/Enumeration.h"
#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"

// Why a run stopped before it moved any file.
enum RunRefusal
{
    RefusalNone,
    // The folder field is empty.
    RefusalFolderEmpty,
    // The folder's path with the mask is longer than the file calls take.
    RefusalFolderPathTooLong,
    // No folder of that name exists.
    RefusalFolderMissing,
    // The folder cannot be listed at all (no folder but a file, or no right to list it).
    RefusalFolderNotSearchable,
    // The mask holds ";", which the search takes as part of a name, and nothing matches.
    RefusalMaskHoldsSemicolon,
    // No name of the folder matches the mask.
    RefusalNothingMatches,
    // The folder listing broke off; numbering part of a folder would be wrong.
    RefusalListingFailed,
    // The new name of refusedName would be longer than 255 bytes.
    RefusalNewNameTooLong,
    // The numbers of the run would pass 2147483647 (refusedName gets the first such file).
    RefusalNumberTooLarge,
    // The folder's path with the new name of refusedName would be longer than the file calls
    // take.
    RefusalPathTooLong,
    // The folder's path with the temporary name refusedName, the widest the run can number,
    // would be longer than the file calls take.
    RefusalTempPathTooLong,
    // The new name of refusedName would hold a character no Windows name may hold; it comes
    // from the pattern, and a separator there is one.
    RefusalForbiddenCharacter,
    // The new name of refusedName would end in a dot or a space, which Windows drops.
    RefusalEndsInDotOrSpace,
    // The new name of refusedName would be a device name such as CON or COM1.
    RefusalDeviceName,
    // The mask holds a separator, so the search would list another folder.
    RefusalMaskHoldsSeparator,
    // The new name of refusedName is the name of the log file, which lies in the run's folder.
    RefusalNewNameIsLog,
    // The progress asked to stop while the dates of a date order were gathered
    // (outcome.stopped is set too).
    RefusalStopped,
    // The history holds a run or undo in this folder that did not finish: its files may
    // still be under temporary names, which a new run must not number.
    RefusalUnfinishedRun,
    // The history of runs cannot take the run's record.
    RefusalHistoryNotWritable,
    // The pattern holds refusedName, a "<...>" that is no date field.
    RefusalUnknownField
};

// The first files of a run that did not reach their new names are named in its result.
const int kNamedNotRenamed = 5;

// A file of the batch that did not reach its new name: its name before the run, and why.
struct NotRenamedFile
{
    char name[kFoundNameSize];
    StepFailure reason;
};

struct RunOutcome
{
    RunOutcome()
        : refusal(RefusalNone), fileCount(0), notRenamed(0), unreachable(0), steps(0), logAsked(false),
          logComplete(false), stopped(false), renamed(0), leftTemporary(0), namedNotRenamed(0), leftOut(),
          recordAsked(false), recordComplete(false)
    {
        refusedName[0] = '\0';
    }

    RunRefusal refusal;
    char refusedName[kFoundNameSize];
    // Files of the batch (the log file and unreachable names not counted).
    int fileCount;
    // Files that did not reach their new names, unreachable ones included; the log says why.
    int notRenamed;
    // Files left untouched because their names cannot be reached or are longer than 255
    // bytes.
    int unreachable;
    // Rename steps taken (log lines after the header).
    int steps;
    // The job named a log file; without one the run goes on and writes none.
    bool logAsked;
    // The log was created and took every write.
    bool logComplete;
    // The run was asked to stop before its walk was through.
    bool stopped;
    // Files under their new names at the end.
    int renamed;
    // Files left under temporary names, both their names taken; the log names them.
    int leftTemporary;
    // The first files of the batch (not the unreachable ones) that did not reach their new
    // names, in the order the walk gave up on them; a stopped run names none.
    NotRenamedFile notRenamedFiles[kNamedNotRenamed];
    int namedNotRenamed;
    // Files listed but left out of the batch, by kind, as the preview counts them.
    int leftOut[LeftOutKindCount];
    // The run was to keep its record in the history.
    bool recordAsked;
    // The record was created and took every write; a record that stops taking them stops the
    // run (stopped), as nothing else could take back what follows.
    bool recordComplete;
};

#endif
