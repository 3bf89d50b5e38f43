#include "engine/run/RunRename.h"

#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/NameHashes.h"
#include "engine/RenameJob.h"
#include "engine/RunProgress.h"
#include "engine/history/RunHistory.h"
#include "engine/history/WriteAhead.h"
#include "engine/log/LogName.h"
#include "engine/log/LogNameHeld.h"
#include "engine/log/RenameLog.h"
#include "engine/names/DateFields.h"
#include "engine/names/ForbiddenNames.h"
#include "engine/names/NameNumbers.h"
#include "engine/names/PathLengthRefusal.h"
#include "engine/names/SameNameGroups.h"
#include "engine/order/OrderDates.h"
#include "engine/order/Ordering.h"
#include "engine/platform/PathNames.h"
#include "engine/run/ArrivedNames.h"
#include "engine/run/StoppedWalk.h"
#include "engine/run/WalkPasses.h"
#include "engine/steps/FileSteps.h"
#include "engine/steps/TempNames.h"

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

static const int64_t kLargestNumber = 2147483647;

static bool Refuse(RunOutcome& outcome, RunRefusal refusal, const char* name)
{
    outcome.refusal = refusal;
    std::strncpy(outcome.refusedName, name, sizeof outcome.refusedName - 1);
    outcome.refusedName[sizeof outcome.refusedName - 1] = '\0';
    return false;
}

static void OrderEntries(EntryList& list, int32_t order, FileServices& fs, uint32_t& shuffleState)
{
    EntryIndex index(list);
    if (order == Random)
        ShuffleEntries(index, shuffleState);
    else
        SortEntries(index, order, fs);
}

static RunRefusal RefusalFor(NameFault fault)
{
    switch (fault) {
    case NameForbiddenCharacter:
        return RefusalForbiddenCharacter;
    case NameEndsInDotOrSpace:
        return RefusalEndsInDotOrSpace;
    case NameIsDevice:
        return RefusalDeviceName;
    case NameFine:
        break;
    }
    return RefusalNone;
}

// Gives the entry at position n the number startNumber + n. Refuses, before anything is
// moved, numbers past 2147483647, names that would not fit, and names that Windows would
// refuse or change, so that the log and the result never name a file that is not there.
// Where the pattern writes the date or files share numbers, the position gives way to the
// count of the files with the same date text, or of the groups (see NameNumbers).
static bool NumberEntries(const RenameJob& job, EntryList& list, const std::vector<NumberSlot>* groups,
                          FileServices& fs, RunOutcome& outcome)
{
    NameNumbers numbers(job, groups, fs);
    NameFault patternFault = numbers.PatternFault();
    int64_t first = static_cast<uint32_t>(job.startNumber);
    for (int n = 0; n < list.Count(); ++n) {
        FileEntry& entry = *list.At(n)->entry;
        const int64_t number = first + numbers.Offset(n, entry);
        if (number > kLargestNumber)
            return Refuse(outcome, RefusalNumberTooLarge, entry.currentName);
        if (!numbers.Form(entry, static_cast<int32_t>(number)))
            return Refuse(outcome, RefusalNewNameTooLong, entry.currentName);
        NameFault fault = patternFault != NameFine ? patternFault : NewNameFault(entry.newName);
        if (fault != NameFine)
            return Refuse(outcome, RefusalFor(fault), entry.currentName);
    }
    return true;
}

// Refuses, before anything is moved, a batch in which a file would get the log's name.
static bool KeepOffTheLogName(const EntryList& list, const LogName& logName, RunOutcome& outcome)
{
    for (int n = 0; n < list.Count(); ++n) {
        const FileEntry& entry = *list.At(n)->entry;
        if (logName.Is(entry.newName))
            return Refuse(outcome, RefusalNewNameIsLog, entry.currentName);
    }
    return true;
}

static void LogUnreachable(const CollectReport& report, LogWriter& log, RunOutcome& outcome)
{
    for (size_t i = 0; i < report.unreachable.size(); ++i) {
        const char* name = report.unreachable[i].name.c_str();
        log.WriteStep(name, name, report.unreachable[i].reason, 0);
        ++outcome.notRenamed;
        ++outcome.unreachable;
    }
}

// Counts a file of the batch that did not reach its new name, and names the first few of
// them, by the name they had before the run: why it failed, or why it stays under its
// temporary name when it could not be put back.
static void CountNotRenamed(const FileEntry& entry, StepFailure failure, RunOutcome& outcome)
{
    ++outcome.notRenamed;
    if (outcome.namedNotRenamed >= kNamedNotRenamed)
        return;
    NotRenamedFile& named = outcome.notRenamedFiles[outcome.namedNotRenamed++];
    const char* name = entry.originalName.IsAbsent() ? entry.currentName : entry.originalName.Data();
    std::strncpy(named.name, name, sizeof named.name - 1);
    named.name[sizeof named.name - 1] = '\0';
    named.reason = entry.stepFailure != FailureNone ? entry.stepFailure : failure;
}

// Tells the record written ahead the moves of the entries from position on, as far as one
// batch goes; returns the position after the last one told.
static int ExpectMoves(const EntryList& list, int position, WriteAhead& ahead)
{
    for (; position < list.Count(); ++position) {
        const FileEntry& entry = *list.At(position)->entry;
        if (!ahead.Expect(entry.currentName, entry.newName))
            break;
    }
    ahead.Announce();
    return position;
}

// Renames entry after entry; an entry whose target is taken waits under a temporary name at
// the end of the list, to be visited in the next pass (WalkPasses says when to end). Returns
// the position of the first entry still waiting, or of the first entry not visited when
// runProgress asked to stop. ahead, when given, is the record written ahead, and fs moves
// through it.
static int WalkEntries(EntryList& list, LogWriter& log, FileServices& fs, RunOutcome& outcome, RunProgress* runProgress,
                       WriteAhead* ahead)
{
    ArrivedNames arrived(fs);
    WalkPasses passes(static_cast<size_t>(list.Count()));
    int position = 0;
    int expectedUpTo = 0;
    for (; position < list.Count(); ++position) {
        if (!passes.GoOn(static_cast<size_t>(position), static_cast<size_t>(list.Count())))
            break;
        if (runProgress && !runProgress->Continue(WalkProgress{outcome.fileCount, position, list.Count()})) {
            outcome.stopped = true;
            break;
        }
        if (outcome.recordAsked && !log.RecordComplete()) {
            outcome.stopped = true;
            break;
        }
        if (ahead && ahead->Idle() && position >= expectedUpTo)
            expectedUpTo = ExpectMoves(list, position, *ahead);
        EntryHandle* handle = list.At(position);
        FileEntry& entry = *handle->entry;
        // A waiting file that another program took away may have left its temporary name to a
        // file of the batch, which the table tells, or to a file of its own, which only the
        // file's identity tells.
        bool gone = arrived.HoldsAnotherFile(entry) || (!entry.originalName.IsAbsent() && LostToAnotherFile(entry, fs));
        RenameStep step = gone ? FailGone(entry) : entry.RenameEntry(fs);
        WriteLogLine(entry, log);
        if (step == StepWaiting) {
            arrived.Leave(entry.loggedFrom, &entry);
            arrived.Arrive(entry.currentName, &entry);
            list.AddLast(handle);
            continue;
        }
        if (step == StepDone) {
            passes.Progress();
            ++outcome.renamed;
            arrived.Leave(entry.loggedFrom, &entry);
            arrived.Arrive(entry.newName, nullptr);
        } else {
            const StepFailure failure = entry.stepFailure;
            // A file whose temporary name another file took is not there to put back.
            if (!entry.originalName.IsAbsent() && !entry.gone)
                PutBackCounted(entry, log, fs, outcome.leftTemporary);
            CountNotRenamed(entry, failure, outcome);
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
        PutBackCounted(entry, log, fs, outcome.leftTemporary);
        CountNotRenamed(entry, FailureNewNameTaken, outcome);
    }
    ReleaseEntries(list, from);
}

// "*" and "*.*" take every name, those without a dot too, as the Windows search reads them.
static bool TakesEveryName(const CountedString& mask)
{
    return mask.Data() && (std::strcmp(mask.Data(), "*") == 0 || std::strcmp(mask.Data(), "*.*") == 0);
}

// Whether the folder it lies in lists something of the folder's name: the search the run
// makes anyway, so that a refused preview asks the disk for nothing else. A root, which
// lies in no folder, lists nothing.
static bool FolderNameListed(const char* folderText, FileServices& fs)
{
    std::string path(folderText);
    if (path.size() > 1 && EndsWithSeparator(folderText, fs))
        path.pop_back();
    FoundFile found;
    SearchHandle search = fs.FindFirst(path.c_str(), found);
    if (search)
        fs.FindClose(search);
    return search != nullptr;
}

// Why the search of the folder for the mask found nothing, asked once the search has failed:
// a path the file calls do not take, a folder that cannot be listed at all (none there, or
// one that is a file or that this user may not list), or a mask that takes no name of it
// (";" separates no masks: the search takes it as part of a name).
static RunRefusal SearchRefusal(const RenameJob& job, FileServices& fs)
{
    CountedString pattern(job.folder);
    EnsureFinalSeparator(pattern, fs);
    pattern.Append(job.mask.Text());
    if (PathOutOfReach(pattern.Data(), fs))
        return RefusalFolderPathTooLong;
    FolderSearch everything(fs);
    if (!everything.Start(job.folder, "*"))
        return FolderNameListed(job.folder.Data(), fs) ? RefusalFolderNotSearchable : RefusalFolderMissing;
    // No second byte of a double-byte character is as low as ";".
    if (job.mask.Data() && std::strchr(job.mask.Data(), ';'))
        return RefusalMaskHoldsSemicolon;
    return RefusalNothingMatches;
}

bool StartBatchSearch(const RenameJob& job, FolderSearch& search, FileServices& fs, RunOutcome& outcome,
                      const RunHistory* history)
{
    outcome = RunOutcome();
    if (job.folder.Length() <= 0)
        return Refuse(outcome, RefusalFolderEmpty, "");
    if (history && history->UnfinishedIn(RecordFolder(job.folder.Data(), fs)) >= 0)
        return Refuse(outcome, RefusalUnfinishedRun, "");
    if (job.mask.Data() && HoldsSeparator(job.mask.Data(), fs))
        return Refuse(outcome, RefusalMaskHoldsSeparator, "");
    std::string unknownField;
    if (FindUnknownField(job.prefix.Text(), fs, unknownField) || FindUnknownField(job.suffix.Text(), fs, unknownField))
        return Refuse(outcome, RefusalUnknownField, unknownField.c_str());
    if (!search.Start(job.folder, job.mask))
        return Refuse(outcome, SearchRefusal(job, fs), "");
    return true;
}

bool PlanBatch(const RenameJob& job, FolderSearch& search, EntryList& list, FileServices& fs, uint32_t& shuffleState,
               CollectReport& report, RunOutcome& outcome, RunProgress* progress)
{
    switch (CollectEntries(search, job.folder.Data(), job.logPath.Data(), list, fs, report)) {
    case CollectDone:
        break;
    case CollectListingFailed:
        return Refuse(outcome, RefusalListingFailed, "");
    }
    outcome.fileCount = list.Count();
    for (int kind = 0; kind < LeftOutKindCount; ++kind)
        outcome.leftOut[kind] = report.leftOut[kind];

    // A name that writes the date takes it as the date-taken orders read it.
    const int32_t dateOrder = !IsDateOrder(job.order) && JobWritesDate(job, fs) ? TakenAscending : job.order;
    if (!GatherOrderDates(list, dateOrder, fs, progress)) {
        outcome.stopped = true;
        ReleaseEntries(list, 0);
        return Refuse(outcome, RefusalStopped, "");
    }
    OrderEntries(list, job.order, fs, shuffleState);
    std::vector<NumberSlot> groups;
    if (job.sameNumberForSameName)
        GroupSameNames(list, job.order, fs, groups);
    if (!NumberEntries(job, list, job.sameNumberForSameName ? &groups : nullptr, fs, outcome) ||
        !KeepOffTheLogName(list, LogName(job.logPath.Text(), job.folder.Text(), fs), outcome)) {
        ReleaseEntries(list, 0);
        return false;
    }
    // Otherwise a file could reach a temporary name and then fail to move on to its new one.
    char widestTemp[kFormatBufferSize];
    if (const FileEntry* outOfReach = FirstEntryOutOfReach(list, fs, widestTemp)) {
        if (widestTemp[0] != '\0')
            Refuse(outcome, RefusalTempPathTooLong, widestTemp);
        else
            Refuse(outcome, RefusalPathTooLong, outOfReach->currentName);
        ReleaseEntries(list, 0);
        return false;
    }
    return true;
}

bool RunRename(const RenameJob& job, EntryList& list, FileServices& fs, RunOutcome& outcome, RunProgress* progress,
               RunHistory* history)
{
    FolderSearch search(fs);
    if (!StartBatchSearch(job, search, fs, outcome, history))
        return false;

    ProbeTempNumber(job.folder.Data(), fs);

    // Where the mask takes every name, the run's own listing is the folder's: the record
    // written ahead learns the names there instead of listing the folder again.
    NameHashes listedNames(fs);
    CollectReport report;
    if (history && TakesEveryName(job.mask))
        report.everyName = &listedNames;
    if (!PlanBatch(job, search, list, fs, randomState, report, outcome, progress))
        return false;
    // A stop asked for while the folder was listed leaves the earlier log as well, which may
    // be all that can take back the run before.
    if (progress && progress->StopAsked()) {
        ReleaseEntries(list, 0);
        outcome.stopped = true;
        return Refuse(outcome, RefusalStopped, "");
    }

    LogWriter log(fs);
    std::string recordFolder;
    if (history) {
        recordFolder = RecordFolder(job.folder.Data(), fs);
        const std::string recordPath = history->NewRecordPath(recordFolder, fs.LocalClock(std::time(nullptr)));
        if (!recordPath.empty())
            log.OpenRecord(recordPath.c_str());
        if (!log.RecordComplete()) {
            ReleaseEntries(list, 0);
            return Refuse(outcome, RefusalHistoryNotWritable, "");
        }
        outcome.recordAsked = true;
    }
    log.Open(job.logPath.Data());
    // Without a log file at its name, nothing else keeps a file of the batch off it.
    LogName logName(job.logPath.Text(), job.folder.Text(), fs);
    LogNameHeld held(fs, logName);
    FileServices& logFs = log.Complete() ? fs : held;
    WriteAhead ahead(logFs, log, job.folder.Data());
    if (history)
        ahead.Survey(report.everyName);
    FileServices& walkFs = history ? ahead : logFs;
    log.WriteHeader(job.folder, recordFolder);
    LogUnreachable(report, log, outcome);

    int stillWaiting = WalkEntries(list, log, walkFs, outcome, progress, history ? &ahead : nullptr);
    if (outcome.stopped)
        SettleStoppedWalk(list, stillWaiting, log, walkFs, outcome, progress, history ? &ahead : nullptr);
    else
        PutBackWaiting(list, stillWaiting, log, walkFs, outcome);
    list.Clear();
    ahead.Close();
    // Files left under temporary names keep the run open: the next run in the folder must not
    // number them, and the next undo takes them back.
    if (outcome.leftTemporary == 0)
        log.FinishRecord();
    outcome.recordComplete = log.RecordComplete();
    outcome.logAsked = job.logPath.Length() > 0;
    outcome.steps = log.Steps();
    outcome.logComplete = log.Complete();
    return true;
}
