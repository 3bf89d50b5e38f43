#include "engine/RunRename.h"

#include "engine/ArrivedNames.h"
#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/Ordering.h"
#include "engine/RenameJob.h"
#include "engine/RenameLog.h"
#include "engine/SafeRename.h"

#include <cstring>

static const int64_t kLargestNumber = 2147483647;

static bool Refuse(RunOutcome& outcome, RunRefusal refusal, const char* name)
{
    outcome.refusal = refusal;
    std::strncpy(outcome.refusedName, name, sizeof outcome.refusedName - 1);
    outcome.refusedName[sizeof outcome.refusedName - 1] = '\0';
    return false;
}

static void OrderEntries(EntryList& list, int32_t order, FileServices& fs)
{
    EntryIndex index(list);
    if (order >= ExtAscending && order <= NameDescending)
        SortEntries(index, order, fs);
    else if (order == Random)
        ShuffleEntries(index, randomState);
}

// Gives the entry at position n the number startNumber + n. Refuses, before anything is
// moved, numbers past 2147483647 and names that would not fit.
static bool NumberEntries(const RenameJob& job, EntryList& list, FileServices& fs, RunOutcome& outcome)
{
    int64_t first = static_cast<uint32_t>(job.startNumber);
    for (int n = 0; n < list.Count(); ++n) {
        FileEntry& entry = *list.At(n)->entry;
        if (first + n > kLargestNumber)
            return Refuse(outcome, RefusalNumberTooLarge, entry.currentName);
        if (!entry.FormNewName(job, static_cast<int32_t>(first + n), fs))
            return Refuse(outcome, RefusalNewNameTooLong, entry.currentName);
    }
    return true;
}

static void LogUnreachable(const CollectReport& report, LogWriter& log, FileServices& fs, RunOutcome& outcome)
{
    char line[kFormatBufferSize];
    for (size_t i = 0; i < report.unreachable.size(); ++i) {
        const char* name = report.unreachable[i].c_str();
        int length = fs.Format(line, "%s\t->\t%s\t%s\r\n", name, name, "name not representable, file left as it was");
        log.Write(line, length);
        ++outcome.steps;
        ++outcome.notRenamed;
        ++outcome.unreachable;
    }
}

// Renames entry after entry; an entry whose target is taken waits under a temporary name at
// the end of the list. The entries appended during one pass make the next pass; a pass that
// brings no file to its final name ends the walk, since nothing in the batch will free the
// targets then. Returns the position of the first entry still waiting.
static int WalkEntries(EntryList& list, LogWriter& log, FileServices& fs, RunOutcome& outcome)
{
    ArrivedNames arrived(fs);
    int passEnd = list.Count();
    bool firstPass = true;
    bool progress = false;
    int position = 0;
    for (; position < list.Count(); ++position) {
        if (position == passEnd) {
            if (!firstPass && !progress)
                break;
            firstPass = false;
            progress = false;
            passEnd = list.Count();
        }
        EntryHandle* handle = list.At(position);
        FileEntry& entry = *handle->entry;
        RenameStep step = arrived.HoldsAnotherFile(entry)
                              ? entry.FailStep("file no longer under this name, another file is")
                              : entry.RenameEntry(fs);
        entry.WriteLogLine(log, fs);
        ++outcome.steps;
        if (step == StepWaiting) {
            arrived.Leave(entry.loggedFrom, &entry);
            arrived.Arrive(entry.currentName, &entry);
            list.AddLast(handle);
            continue;
        }
        if (step == StepDone) {
            progress = true;
            arrived.Leave(entry.loggedFrom, &entry);
            arrived.Arrive(entry.newName, nullptr);
        } else {
            ++outcome.notRenamed;
            if (!entry.originalName.IsAbsent()) {
                entry.PutBack(fs);
                entry.WriteLogLine(log, fs);
                ++outcome.steps;
            }
        }
        ReleaseEntryHandle(handle);
    }
    return position;
}

// Files that could not reach their new names go back to the names they had before the run
// where those are free; the others stay under their temporary names, as the log says.
static void PutBackWaiting(EntryList& list, int from, LogWriter& log, FileServices& fs, RunOutcome& outcome)
{
    for (int position = from; position < list.Count(); ++position) {
        FileEntry& entry = *list.At(position)->entry;
        entry.PutBack(fs);
        entry.WriteLogLine(log, fs);
        ++outcome.steps;
        ++outcome.notRenamed;
    }
    ReleaseEntries(list, from);
}

bool RunRename(const RenameJob& job, EntryList& list, FileServices& fs, RunOutcome& outcome)
{
    outcome = RunOutcome();
    if (job.folder.Length() <= 0)
        return Refuse(outcome, RefusalNotStarted, "");

    FolderSearch search(fs);
    if (!search.Start(job.folder, job.mask))
        return Refuse(outcome, RefusalNotStarted, "");

    ProbeTempNumber(job.folder.Data(), fs);

    CollectReport report;
    switch (CollectEntries(search, job.folder.Data(), job.logPath.Data(), list, fs, report)) {
    case CollectDone:
        break;
    case CollectListingFailed:
        return Refuse(outcome, RefusalListingFailed, "");
    case CollectNameTooLong:
        return Refuse(outcome, RefusalNameTooLong, report.offendingName.c_str());
    }
    outcome.fileCount = list.Count();

    OrderEntries(list, job.order, fs);
    if (!NumberEntries(job, list, fs, outcome)) {
        ReleaseEntries(list, 0);
        return false;
    }

    LogWriter log(fs);
    log.Open(job.logPath.Data());
    log.WriteHeader(job.folder);
    LogUnreachable(report, log, fs, outcome);

    int stillWaiting = WalkEntries(list, log, fs, outcome);
    PutBackWaiting(list, stillWaiting, log, fs, outcome);
    list.Clear();
    outcome.logComplete = log.Complete();
    return true;
}
