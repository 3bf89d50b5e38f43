#include "engine/undo/UndoRun.h"

#include "core/CountedString.h"
#include "engine/run/ArrivedNames.h"
#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/names/PathNames.h"
#include "engine/log/RenameLog.h"
#include "engine/log/RenameLogReader.h"
#include "engine/run/RunProgress.h"
#include "engine/names/TempNames.h"
#include "engine/run/WalkPasses.h"
#include "engine/history/WriteAhead.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

bool Refuse(UndoOutcome& outcome, UndoRefusal refusal, const std::string& name = std::string())
{
    outcome.refusal = refusal;
    outcome.refusedName = name;
    return false;
}

// One file the record moved, followed through its steps.
struct UndoFile
{
    std::unique_ptr<FileEntry> entry;
    // Its steps, newest first; next is the one to take back now.
    std::vector<size_t> steps;
    size_t next;
    // The file is not where the record says, or a step of it could not be taken back.
    bool stopped;
    // Where the file is, nothing tells any more.
    bool lost;
    std::string before;
};

bool Movable(const std::unique_ptr<UndoFile>& file)
{
    return !file->lost;
}

// The record read back and the files it moved; the walk asks it, and changes only the files.
class UndoPlan
{
public:
    explicit UndoPlan(FileServices& fs) : fs(fs), parser(fs, &steps), logSize(0), endsInNuls(false), onlyFinishes(false)
    {
    }

    // Reads the log, follows the files of the record to take back, and lists the folder.
    bool Prepare(const char* logPath, UndoOutcome& outcome);
    // What the undo writes before its steps.
    void WriteOpening(LogWriter& log, const std::string& folder) const;

    const std::vector<LoggedStep>& Steps() const { return steps; }
    const std::vector<std::unique_ptr<UndoFile>>& Files() const { return files; }
    // The file the step moved; null for a step that moved nothing for good.
    UndoFile* FileOf(size_t step) const { return fileOfStep[step]; }
    // A record names files only: a name of it that leads to a folder leads to no file of it.
    bool IsFolder(const char* name) const { return folders.count(NameKey(name, fs)) != 0; }
    // The size of the log as read, to cut it back to; NUL bytes it ends in are not counted.
    int64_t LogSize() const { return logSize; }
    // The log ends in NUL bytes, which go before the undo writes.
    bool EndsInNuls() const { return endsInNuls; }
    // The last undo made all its moves but did not live to say so: this one only says it.
    bool OnlyFinishes() const { return onlyFinishes; }
    // The record is written ahead of its moves, and so is the undo's.
    bool WritesAhead() const { return parser.WritesAhead(); }

private:
    bool Read(const char* logPath, UndoOutcome& outcome);
    void SettleAnnounced(size_t first, const std::string& folder);
    bool ListNames(const std::string& folder, std::unordered_set<std::string>& names) const;
    bool Present(const std::string& name, const std::string& folder, const std::unordered_set<std::string>& names,
                 bool listed) const;
    bool FollowFiles(size_t first, UndoOutcome& outcome);
    bool SurveyFolder(size_t first, const char* logPath, UndoOutcome& outcome);

    FileServices& fs;
    std::vector<LoggedStep> steps;
    RenameLogParser parser;
    int64_t logSize;
    bool endsInNuls;
    std::string completion;
    bool onlyFinishes;
    std::vector<std::unique_ptr<UndoFile>> files;
    std::vector<UndoFile*> fileOfStep;
    // Steps that moved nothing: announced and taken back, or not made before the record
    // stopped; notMade are those the undo takes back in its own record first.
    std::vector<bool> noMove;
    std::vector<size_t> notMade;
    // The folder's sub-folders, as the file system compares names.
    std::unordered_set<std::string> folders;
};

bool UndoPlan::Read(const char* logPath, UndoOutcome& outcome)
{
    if (logPath == nullptr || logPath[0] == '\0' || !ReadRenameLog(logPath, fs, parser))
        return Refuse(outcome, UndoNoLog);
    if (!parser.IsRenameLog())
        return Refuse(outcome, UndoNotALog);
    // The undo ends what the file stops inside before it writes its own record; read as if
    // that were done already (see RenameLogParser).
    logSize = static_cast<int64_t>(parser.Size());
    endsInNuls = parser.EndsInNuls();
    completion = parser.Complete();
    outcome.folder = parser.Folder();
    return true;
}

// The names of the folder, short names too, as the file system compares them.
bool UndoPlan::ListNames(const std::string& folder, std::unordered_set<std::string>& names) const
{
    return ForEachName(fs, CountedString(folder.c_str()), [&](const char* name) { names.insert(NameKey(name, fs)); });
}

bool UndoPlan::Present(const std::string& name, const std::string& folder,
                       const std::unordered_set<std::string>& names, bool listed) const
{
    if (listed)
        return names.count(NameKey(name.c_str(), fs)) != 0;
    CountedString path(folder.c_str());
    EnsureFinalSeparator(path, fs);
    return fs.Exists(path.Concat(name.c_str()).Data());
}

// Finds the steps written ahead that moved nothing: each one a later line takes back, and
// each one of a batch that no kMovesMadeLine closed whose names on the disk say it was not
// made (the file under its name before, none under its name after). Where the names cannot
// tell, the file stays where it is and is named, as for a line cut short.
void UndoPlan::SettleAnnounced(size_t first, const std::string& folder)
{
    noMove.assign(steps.size(), false);
    notMade.clear();
    for (size_t i = first; i < steps.size(); ++i) {
        if (!steps[i].NotMade())
            continue;
        for (size_t k = i; k-- > first;) {
            if (!noMove[k] && !steps[k].Failed() && steps[k].from == steps[i].from && steps[k].to == steps[i].to) {
                noMove[k] = true;
                break;
            }
        }
    }
    std::unordered_set<std::string> names;
    bool tried = false;
    bool listed = false;
    for (size_t i = first; i < steps.size(); ++i) {
        LoggedStep& step = steps[i];
        if (!step.uncertain || noMove[i] || step.Failed() || step.cut || step.from == step.to)
            continue;
        // One listing rather than an existence test per name: where the file system reads the
        // whole folder to find a name missing, a batch of them would take minutes.
        if (!tried)
            listed = ListNames(folder, names);
        tried = true;
        const bool atFrom = Present(step.from, folder, names, listed);
        const bool atTo = Present(step.to, folder, names, listed);
        if (atTo && !atFrom)
            continue;
        notMade.push_back(i);
        if (atFrom && !atTo)
            noMove[i] = true;
        else
            step.cut = true;
    }
}

// Follows every step from first on that moved a file, from the name before the record to the
// last one. A file that comes back to a name it had has nothing to take back since then.
bool UndoPlan::FollowFiles(size_t first, UndoOutcome& outcome)
{
    files.clear();
    fileOfStep.assign(steps.size(), nullptr);
    SettleAnnounced(first, outcome.folder);
    std::unordered_map<std::string, UndoFile*> at;
    for (size_t i = first; i < steps.size(); ++i) {
        const LoggedStep& step = steps[i];
        if (step.Failed() || noMove[i] || (step.from == step.to && !step.cut))
            continue;
        for (const std::string* name : {&step.from, &step.to}) {
            if (name->size() >= static_cast<size_t>(kNameSize))
                return Refuse(outcome, UndoNameTooLong, *name);
            if (HoldsSeparator(name->c_str(), fs))
                return Refuse(outcome, UndoNameNotPlain, *name);
        }
        UndoFile* file;
        auto found = at.find(NameKey(step.from.c_str(), fs));
        if (found == at.end()) {
            files.emplace_back(new UndoFile);
            file = files.back().get();
            file->entry.reset(new FileEntry(outcome.folder.c_str(), fs));
            file->next = 0;
            file->stopped = false;
            file->lost = false;
            file->before = step.from;
        } else {
            file = found->second;
            at.erase(found);
        }
        // Where a step cut short took the file, the log does not say: it stays where it is,
        // and so do its earlier steps.
        if (step.cut) {
            file->stopped = true;
            file->lost = true;
            file->steps.push_back(i);
            fileOfStep[i] = file;
            continue;
        }
        // A move never replaces, so a file the record left under the new name was gone
        // from it before: some other program took it away.
        auto taken = at.find(NameKey(step.to.c_str(), fs));
        if (taken != at.end()) {
            taken->second->stopped = true;
            taken->second->lost = true;
            at.erase(taken);
        }
        at[NameKey(step.to.c_str(), fs)] = file;
        std::strcpy(file->entry->currentName, step.to.c_str());
        // Oldest first while following.
        std::vector<size_t>& chain = file->steps;
        size_t back = chain.size();
        while (back > 0 && steps[chain[back - 1]].from != step.to)
            --back;
        if (back == 0) {
            chain.push_back(i);
            fileOfStep[i] = file;
            continue;
        }
        for (size_t k = back - 1; k < chain.size(); ++k)
            fileOfStep[chain[k]] = nullptr;
        chain.resize(back - 1);
    }
    size_t kept = 0;
    for (std::unique_ptr<UndoFile>& file : files) {
        if (file->steps.empty())
            continue;
        std::reverse(file->steps.begin(), file->steps.end());
        files[kept++] = std::move(file);
    }
    files.resize(kept);
    return true;
}

bool UndoPlan::Prepare(const char* logPath, UndoOutcome& outcome)
{
    if (!Read(logPath, outcome))
        return false;
    // An undo cut short is finished: the record it was taking back and what it did make one
    // record, taken back from where each file is now.
    outcome.finishing = parser.LastActOpen();
    const size_t first = outcome.finishing ? 0 : parser.LastActStart();
    if (!FollowFiles(first, outcome))
        return false;
    // With no file it could move, it only says that the last undo finished.
    onlyFinishes = outcome.finishing && std::none_of(files.begin(), files.end(), Movable);
    if (onlyFinishes)
        return true;
    if (files.empty())
        return Refuse(outcome, UndoNothingToTakeBack);
    if (!SurveyFolder(first, logPath, outcome))
        return false;
    if (outcome.fileCount == 0)
        return Refuse(outcome, UndoNothingToTakeBack);
    return true;
}

void UndoPlan::WriteOpening(LogWriter& log, const std::string& folder) const
{
    if (onlyFinishes) {
        log.WriteUndoFinished(completion);
        return;
    }
    // An undo that stopped right after its folder line wrote nothing else: this one goes on there.
    log.BeginUndoSection(completion, folder, !parser.LastSectionEmpty());
    if (!parser.WritesAhead())
        return;
    // What it found of the moves the record could not confirm goes on the disk before it
    // moves a file: once files move, the names no longer tell.
    for (size_t i : notMade)
        log.WriteStep(steps[i].from.c_str(), steps[i].to.c_str(), FailureNotMade, 0);
    log.ConfirmMoves();
    log.Sync();
}

// Notes the folder's sub-folders, counts the files of the record that are where it says, and
// finds temporary names that no line of the record names: a file moved there by a step whose
// line was never written. Which file it is, nothing tells, so it stays. Only a name the
// record's walk could have taken counts: numbered at or after the first temporary name the
// record names (any number when it names none).
bool UndoPlan::SurveyFolder(size_t first, const char* logPath, UndoOutcome& outcome)
{
    std::unordered_set<std::string> named;
    int64_t firstTemp = INT64_MAX;
    for (size_t i = first; i < steps.size(); ++i) {
        named.insert(steps[i].from);
        named.insert(steps[i].to);
        const int64_t number = steps[i].Failed() ? -1 : TempNumber(steps[i].to.c_str());
        if (number >= 0 && number < firstTemp)
            firstTemp = number;
    }
    if (firstTemp == INT64_MAX)
        firstTemp = 0;
    FolderSearch search(fs);
    if (!search.Start(CountedString(outcome.folder.c_str()), CountedString("*"))) {
        const bool there = FolderFound(outcome.folder.c_str(), fs);
        return Refuse(outcome, there ? UndoFolderNotSearchable : UndoFolderGone);
    }
    // The folder line is the folder as typed, with or without its final separator.
    CountedString entryFolder(outcome.folder.c_str());
    EnsureFinalSeparator(entryFolder, fs);
    std::unordered_set<std::string> present;
    do {
        const FoundFile& found = search.Current();
        if (found.isDirectory) {
            folders.insert(NameKey(found.name, fs));
            continue;
        }
        present.insert(NameKey(found.name, fs));
        // The log itself may have a temporary name's form.
        if (TempNumber(found.name) >= firstTemp && named.count(found.name) == 0 &&
            !SameFile(entryFolder.Concat(found.name).Data(), logPath, fs))
            outcome.unaccounted.push_back(found.name);
    } while (search.Next() == FindNextFound);
    outcome.fileCount = 0;
    for (const std::unique_ptr<UndoFile>& file : files)
        outcome.fileCount += !file->lost && present.count(NameKey(file->entry->currentName, fs)) != 0 ? 1 : 0;
    return true;
}

// Takes the steps back newest first. A step whose target is taken waits under a temporary
// name at the end, and the file's earlier steps wait behind it; a pass that brings no file
// a step further ends the walk, as in a run.
class UndoWalk
{
public:
    UndoWalk(const UndoPlan& plan, FileServices& fs, LogWriter& log, UndoOutcome& outcome, RunProgress* progress,
             WriteAhead* ahead)
        : plan(plan), fs(fs), log(log), outcome(outcome), progress(progress), ahead(ahead), arrived(fs)
    {
    }

    void Walk();

private:
    size_t ExpectMoves(size_t position);
    size_t ExpectPuttingBack(size_t position);
    void TakeBack(size_t step);
    void Stop(UndoFile& file);
    bool Due(size_t step) const;
    bool Waiting(size_t step) const;
    void WriteSkipped(const LoggedStep& step);

    const UndoPlan& plan;
    FileServices& fs;
    LogWriter& log;
    UndoOutcome& outcome;
    RunProgress* progress;
    WriteAhead* ahead;
    ArrivedNames arrived;
    std::vector<size_t> tasks;
    WalkPasses passes{0};
};

void UndoWalk::Walk()
{
    for (size_t i = plan.Steps().size(); i-- > 0;) {
        if (plan.FileOf(i))
            tasks.push_back(i);
    }
    for (const std::unique_ptr<UndoFile>& file : plan.Files()) {
        if (!file->stopped)
            arrived.Arrive(file->entry->currentName, file->entry.get());
    }

    passes = WalkPasses(tasks.size());
    size_t position = 0;
    size_t expectedUpTo = 0;
    for (; position < tasks.size(); ++position) {
        if (!passes.GoOn(position, tasks.size()))
            break;
        // A move the log cannot record could not be finished by the next undo: once the log
        // stops taking lines, no file moves again, and files parked by this undo stay where
        // the log says they are.
        if (!log.Complete()) {
            outcome.stopped = true;
            break;
        }
        const WalkProgress now{outcome.fileCount, static_cast<int>(position), static_cast<int>(tasks.size())};
        if (progress && !progress->Continue(now)) {
            outcome.stopped = true;
            break;
        }
        if (ahead && ahead->Idle() && position >= expectedUpTo)
            expectedUpTo = ExpectMoves(position);
        size_t step = tasks[position];
        UndoFile& file = *plan.FileOf(step);
        if (file.stopped)
            WriteSkipped(plan.Steps()[step]);
        else if (file.steps[file.next] != step)
            tasks.push_back(step);
        else
            TakeBack(step);
    }
    // Files still waiting go back to where this undo found them, where that is free. A stopped
    // undo has skipped nothing: the next undo takes those steps back.
    const size_t stoppedAt = position;
    int waiting = 0;
    for (; position < tasks.size(); ++position)
        waiting += Waiting(tasks[position]) ? 1 : 0;
    int settled = 0;
    if (outcome.stopped && progress)
        progress->Settling(settled, waiting);
    size_t putBackUpTo = stoppedAt;
    for (position = stoppedAt; position < tasks.size(); ++position) {
        if (ahead && ahead->Idle() && position >= putBackUpTo)
            putBackUpTo = ExpectPuttingBack(position);
        size_t step = tasks[position];
        UndoFile& file = *plan.FileOf(step);
        if (Due(step)) {
            const bool waited = Waiting(step);
            Stop(file);
            if (waited && outcome.stopped && progress)
                progress->Settling(++settled, waiting);
        }
        if (!outcome.stopped)
            WriteSkipped(plan.Steps()[step]);
    }
}

// Tells the record written ahead the moves of the steps due from position on, as far as one
// batch goes and up to the first step whose file has a later one to take back first; returns
// the position after the last one told.
size_t UndoWalk::ExpectMoves(size_t position)
{
    for (; position < tasks.size(); ++position) {
        const size_t step = tasks[position];
        const UndoFile& file = *plan.FileOf(step);
        if (file.stopped)
            continue;
        if (file.steps[file.next] != step || !ahead->Expect(file.entry->currentName, plan.Steps()[step].from.c_str()))
            break;
    }
    ahead->Announce();
    return position;
}

// The same for the files waiting under the undo's temporary names once the walk ends: each
// goes back to where the undo found it.
size_t UndoWalk::ExpectPuttingBack(size_t position)
{
    for (; position < tasks.size(); ++position) {
        const size_t step = tasks[position];
        const FileEntry& entry = *plan.FileOf(step)->entry;
        if (Waiting(step) && !entry.gone && !ahead->Expect(entry.currentName, entry.originalName.Data()))
            break;
    }
    ahead->Announce();
    return position;
}

// The step is the next of its file to take back, and the log still takes the record.
bool UndoWalk::Due(size_t step) const
{
    const UndoFile& file = *plan.FileOf(step);
    return !file.stopped && file.steps[file.next] == step && log.Complete();
}

// The file of the step waits under a temporary name for this step to be taken back.
bool UndoWalk::Waiting(size_t step) const
{
    return Due(step) && !plan.FileOf(step)->entry->originalName.IsAbsent();
}

void UndoWalk::TakeBack(size_t step)
{
    UndoFile& file = *plan.FileOf(step);
    FileEntry& entry = *file.entry;
    std::strcpy(entry.newName, plan.Steps()[step].from.c_str());
    RenameStep result;
    if (arrived.HoldsAnotherFile(entry)) {
        result = entry.FailStep(FailureAnotherFileThere);
        file.lost = true;
    } else if (entry.LostToAnotherFile(fs)) {
        // Another program put a file of its own under the name this undo parked the file at.
        result = entry.FailGone();
        file.lost = true;
    } else if (plan.IsFolder(entry.currentName)) {
        result = entry.FailStep(FailureNotWhereLogSays);
        file.lost = true;
    } else {
        result = entry.RenameEntry(fs);
        // Asked only now: a name too long for the existence test may still be moved.
        if (result == StepFailed && !fs.Exists(entry.folder.Concat(entry.currentName).Data())) {
            entry.FailStep(FailureNotWhereLogSays);
            file.lost = true;
        }
    }
    entry.WriteLogLine(log);

    if (result == StepFailed) {
        Stop(file);
        return;
    }
    arrived.Leave(entry.loggedFrom, &entry);
    arrived.Arrive(entry.loggedTo, &entry);
    // On its way back, a file parked under another temporary name than the record's is as
    // well off as under the record's own; its last step must reach the name it had.
    const bool lastStep = file.next + 1 == file.steps.size();
    if (result == StepWaiting && (lastStep || !IsTempName(entry.newName))) {
        tasks.push_back(step);
        return;
    }
    passes.Progress();
    std::strcpy(entry.currentName, entry.loggedTo);
    entry.originalName.Assign(static_cast<const char*>(nullptr));
    ++file.next;
}

// The file goes no further; when the undo parked it, it goes back to where it was before,
// unless another file stands under that temporary name now.
void UndoWalk::Stop(UndoFile& file)
{
    FileEntry& entry = *file.entry;
    file.stopped = true;
    if (entry.originalName.IsAbsent() || entry.gone)
        return;
    arrived.Leave(entry.currentName, &entry);
    entry.PutBackLogged(log, fs);
    arrived.Arrive(entry.currentName, &entry);
}

void UndoWalk::WriteSkipped(const LoggedStep& step)
{
    if (step.cut)
        log.WriteStep(step.from.c_str(), step.from.c_str(), FailureNotWhereLogSays, 0);
    else
        log.WriteStep(step.to.c_str(), step.from.c_str(), FailureLaterStepKept, 0);
}

// A file whose steps could not all be taken back may still stand under its old name.
void CountNotBack(const UndoPlan& plan, UndoOutcome& outcome)
{
    for (const std::unique_ptr<UndoFile>& file : plan.Files()) {
        if (file->lost || file->before != file->entry->currentName) {
            ++outcome.notBack;
            outcome.notBackNames.push_back(file->before);
        }
    }
}

} // namespace

bool PlanUndo(const char* logPath, FileServices& fs, UndoOutcome& outcome)
{
    outcome = UndoOutcome();
    UndoPlan plan(fs);
    return plan.Prepare(logPath, outcome);
}

// The undo's record goes after the end of the log, behind an empty line, so the record it
// takes back stays in the file until the last step is taken back and after: an undo cut
// short leaves both, and the next undo finishes its work.
bool UndoRun(const char* logPath, FileServices& fs, UndoOutcome& outcome, RunProgress* progress)
{
    outcome = UndoOutcome();
    UndoPlan plan(fs);
    if (!plan.Prepare(logPath, outcome))
        return false;

    LogWriter log(fs);
    log.OpenToAppend(logPath);
    // NUL bytes a power cut left at the end go first, or the undo's record would follow them.
    if (plan.EndsInNuls())
        log.CutBack(plan.LogSize());
    if (log.Complete())
        plan.WriteOpening(log, outcome.folder);
    if (!log.Complete()) {
        log.CutBack(plan.LogSize());
        return Refuse(outcome, UndoLogNotWritable);
    }
    if (plan.OnlyFinishes()) {
        CountNotBack(plan, outcome);
        outcome.logComplete = true;
        return true;
    }

    ProbeTempNumber(outcome.folder.c_str(), fs);
    WriteAhead ahead(fs, log, outcome.folder.c_str());
    if (plan.WritesAhead()) {
        log.WriteAheadToLog();
        ahead.Survey();
    }
    UndoWalk walk(plan, plan.WritesAhead() ? ahead : fs, log, outcome, progress,
                  plan.WritesAhead() ? &ahead : nullptr);
    walk.Walk();
    ahead.Close();

    CountNotBack(plan, outcome);
    // Only an undo that went through says so: one cut short or stopped is finished by the
    // next, which names such files in its turn. So is one whose log lost a line, which
    // must not be marked finished behind the gap.
    if (!log.Complete())
        outcome.stopped = true;
    if (!outcome.stopped) {
        for (const std::string& name : outcome.unaccounted)
            log.WriteStep(name.c_str(), name.c_str(), FailureUnaccounted, 0);
        log.WriteUndoFinished();
    }
    outcome.steps = log.Steps();
    outcome.logComplete = log.Complete();
    return true;
}
