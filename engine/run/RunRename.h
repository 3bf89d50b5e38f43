#ifndef QUILLOWBY_ENGINE_RUN_RUN_RENAME_H
#define QUILLOWBY_ENGINE_RUN_RUN_RENAME_H

#include "engine/Enumeration.h"
#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"
#include "engine/run/RunOutcome.h"

#include <cstdint>

class RenameJob;
class EntryList;
class FileEntry;
class LogWriter;
class RunProgress;
class RunHistory;

// The run's first steps, which the preview takes too. StartBatchSearch starts the search of
// job.folder for job.mask; PlanBatch then lists the batch, orders it (the random order draws
// from shuffleState) and gives every entry its number and new name. Neither moves nor writes
// anything. In a date order it first gathers every file's date, telling progress (when given)
// file by file. False when the run must not start (outcome.refusal says why; the list is empty).
// history, when given, refuses a folder where a run or undo did not finish.
bool StartBatchSearch(const RenameJob& job, FolderSearch& search, FileServices& fs, RunOutcome& outcome,
                      const RunHistory* history = nullptr);
bool PlanBatch(const RenameJob& job, FolderSearch& search, EntryList& list, FileServices& fs, uint32_t& shuffleState,
               CollectReport& report, RunOutcome& outcome, RunProgress* progress = nullptr);

// Renames every regular file of job.folder matching job.mask to prefix, number, suffix and
// its own extension, never overwriting a file, and logs every step to job.logPath.
// False when the run did not start (outcome.refusal says why): then nothing was moved and
// no log was created or emptied. True when it went through; outcome.notRenamed counts the
// files that did not reach their new names. progress, when given, is told of every date
// gathered and before every rename step, and may stop the run (outcome.stopped; stopped
// while dates are gathered or before the log is opened, the run does not start:
// RefusalStopped). history, when given, keeps the run's record too, and refuses to run over a
// run or undo of the folder that did not finish (RefusalUnfinishedRun); a record it cannot
// create refuses the run (RefusalHistoryNotWritable).
bool RunRename(const RenameJob& job, EntryList& list, FileServices& fs, RunOutcome& outcome,
               RunProgress* progress = nullptr, RunHistory* history = nullptr);

#endif
