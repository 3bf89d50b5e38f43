#include "engine/UndoRun.h"

#include "core/CountedString.h"
#include "engine/ArrivedNames.h"
#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/RenameLog.h"
#include "engine/RenameLogReader.h"
#include "engine/RunProgress.h"
#include "engine/SafeRename.h"
#include "engine/WalkPasses.h"

#include <cstring>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

const char kNotThere[] = "file not where the log says, left alone";
const char kSkipped[] = "skipped, a later step of this file was not taken back";

bool Refuse(UndoOutcome& outcome, UndoRefusal refusal, const std::string& name = std::string())
{
    outcome.refusal = refusal;
    outcome.refusedName = name;
    return false;
}

// "~ren" and at least four digits, then ".tmp": a name a walk parks a file under.
bool IsTempName(const char* name)
{
    if (std::strncmp(name, "~ren", 4) != 0)
        return false;
    const char* p = name + 4;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        ++p;
        ++digits;
    }
    return digits >= 4 && std::strcmp(p, ".tmp") == 0;
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

// The record read back and the files it moved.
class UndoPlan
{
public:
    explicit UndoPlan(FileServices& fs) : fs(fs) {}

    bool Read(const char* logPath, UndoOutcome& outcome);
    // Follows every step that moved a file from the name before the run to the last one.
    bool FollowFiles(UndoOutcome& outcome);

    FileServices& fs;
    std::vector<LoggedStep> steps;
    RenameLogParser parser{&steps};
    std::string endOfCutLine;
    std::vector<std::unique_ptr<UndoFile>> files;
    // For each step, the file it moved; null for steps that moved nothing.
    std::vector<UndoFile*> fileOfStep;
    // The folder's sub-folders, as the file system compares names. A record names files
    // only: a name of it that leads to a folder leads to no file of the record.
    std::unordered_set<std::string> folders;

    std::string Key(const std::string& name) const
    {
        return fs.IgnoresCase() ? FoldedName(name.c_str(), fs) : name;
    }
};

bool UndoPlan::Read(const char* logPath, UndoOutcome& outcome)
{
    if (logPath == nullptr || logPath[0] == '\0' || !ReadRenameLog(logPath, fs, parser))
        return Refuse(outcome, UndoNoLog);
    if (!parser.IsRenameLog())
        return Refuse(outcome, UndoNotALog);
    // The undo ends a line cut short before it writes its own record. A line stopped between
    // its CR and its LF was written whole after its step: it counts as the step it is. Any
    // other such line holds no step, whatever its bytes may look like once ended.
    endOfCutLine = parser.EndOfCutLine();
    if (endOfCutLine == "\n")
        parser.Feed("\n", 1);
    outcome.folder = parser.Folder();
    return true;
}

bool UndoPlan::FollowFiles(UndoOutcome& outcome)
{
    std::unordered_map<std::string, UndoFile*> at;
    fileOfStep.assign(steps.size(), nullptr);
    for (size_t i = 0; i < steps.size(); ++i) {
        const LoggedStep& step = steps[i];
        if (step.Failed() || step.from == step.to)
            continue;
        for (const std::string* name : {&step.from, &step.to}) {
            if (name->size() >= static_cast<size_t>(kNameSize))
                return Refuse(outcome, UndoNameTooLong, *name);
            if (HoldsSeparator(name->c_str(), fs))
                return Refuse(outcome, UndoNameNotPlain, *name);
        }
        UndoFile* file;
        auto found = at.find(Key(step.from));
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
        // A move never replaces, so a file the record left under the new name was gone
        // from it before: some other program took it away.
        auto taken = at.find(Key(step.to));
        if (taken != at.end()) {
            taken->second->stopped = true;
            taken->second->lost = true;
            at.erase(taken);
        }
        at[Key(step.to)] = file;
        file->steps.insert(file->steps.begin(), i);
        std::strcpy(file->entry->currentName, step.to.c_str());
        fileOfStep[i] = file;
    }
    outcome.fileCount = static_cast<int>(files.size());
    if (files.empty())
        return Refuse(outcome, UndoNothingToTakeBack);
    return true;
}

// Takes the steps back newest first. A step whose target is taken waits under a temporary
// name at the end, and the file's earlier steps wait behind it; a pass that brings no file
// a step further ends the walk, as in a run.
class UndoWalk
{
public:
    UndoWalk(UndoPlan& plan, LogWriter& log, UndoOutcome& outcome, RunProgress* progress)
        : plan(plan), fs(plan.fs), log(log), outcome(outcome), progress(progress), arrived(plan.fs)
    {
    }

    void Walk();

private:
    void TakeBack(size_t step);
    void Stop(UndoFile& file);
    void WriteSkipped(const LoggedStep& step);

    UndoPlan& plan;
    FileServices& fs;
    LogWriter& log;
    UndoOutcome& outcome;
    RunProgress* progress;
    ArrivedNames arrived;
    std::vector<size_t> tasks;
    WalkPasses passes{0};
};

void UndoWalk::Walk()
{
    for (size_t i = plan.steps.size(); i-- > 0;) {
        if (plan.fileOfStep[i])
            tasks.push_back(i);
    }
    for (const std::unique_ptr<UndoFile>& file : plan.files) {
        if (!file->stopped)
            arrived.Arrive(file->entry->currentName, file->entry.get());
    }

    passes = WalkPasses(tasks.size());
    size_t position = 0;
    for (; position < tasks.size(); ++position) {
        if (!passes.GoOn(position, tasks.size()))
            break;
        const WalkProgress now{outcome.fileCount, static_cast<int>(position), static_cast<int>(tasks.size())};
        if (progress && !progress->Continue(now)) {
            outcome.stopped = true;
            break;
        }
        size_t step = tasks[position];
        UndoFile& file = *plan.fileOfStep[step];
        if (file.stopped)
            WriteSkipped(plan.steps[step]);
        else if (file.steps[file.next] != step)
            tasks.push_back(step);
        else
            TakeBack(step);
    }
    // Files still waiting go back to where this undo found them, where that is free. A stopped
    // undo has skipped nothing: the next undo takes those steps back.
    for (; position < tasks.size(); ++position) {
        size_t step = tasks[position];
        UndoFile& file = *plan.fileOfStep[step];
        if (!file.stopped && file.steps[file.next] == step)
            Stop(file);
        if (!outcome.stopped)
            WriteSkipped(plan.steps[step]);
    }
}

void UndoWalk::TakeBack(size_t step)
{
    UndoFile& file = *plan.fileOfStep[step];
    FileEntry& entry = *file.entry;
    std::strcpy(entry.newName, plan.steps[step].from.c_str());
    RenameStep result;
    if (arrived.HoldsAnotherFile(entry)) {
        result = entry.FailStep("file no longer under this name, another file is");
        file.lost = true;
    } else if (plan.folders.count(plan.Key(entry.currentName)) != 0) {
        result = entry.FailStep(kNotThere);
        file.lost = true;
    } else {
        result = entry.RenameEntry(fs);
        // Asked only now: a name too long for the existence test may still be moved.
        if (result == StepFailed && !fs.Exists(entry.folder.Concat(entry.currentName).Data())) {
            entry.FailStep(kNotThere);
            file.lost = true;
        }
    }
    entry.WriteLogLine(log);
    ++outcome.steps;

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

// The file goes no further; when the undo parked it, it goes back to where it was before.
void UndoWalk::Stop(UndoFile& file)
{
    FileEntry& entry = *file.entry;
    file.stopped = true;
    if (entry.originalName.IsAbsent())
        return;
    arrived.Leave(entry.currentName, &entry);
    entry.PutBack(fs);
    entry.WriteLogLine(log);
    ++outcome.steps;
    arrived.Arrive(entry.currentName, &entry);
}

void UndoWalk::WriteSkipped(const LoggedStep& step)
{
    log.WriteStep(step.to.c_str(), step.from.c_str(), kSkipped, 0);
    ++outcome.steps;
}

// Temporary names in the folder that no line of the record names: a file moved there by a
// step whose line was never written. Which file it is, nothing tells, so it stays. Notes
// the folder's sub-folders on the way.
bool SurveyFolder(UndoPlan& plan, UndoOutcome& outcome)
{
    std::unordered_set<std::string> named;
    for (const LoggedStep& step : plan.steps) {
        named.insert(step.from);
        named.insert(step.to);
    }
    FolderSearch search(plan.fs);
    if (!search.Start(CountedString(outcome.folder.c_str()), CountedString("*")))
        return false;
    do {
        const FoundFile& found = search.Current();
        if (found.isDirectory)
            plan.folders.insert(plan.Key(found.name));
        else if (IsTempName(found.name) && named.count(found.name) == 0)
            outcome.unaccounted.push_back(found.name);
    } while (search.Next() == FindNextFound);
    return true;
}

} // namespace

bool PlanUndo(const char* logPath, FileServices& fs, UndoOutcome& outcome)
{
    outcome = UndoOutcome();
    UndoPlan plan(fs);
    return plan.Read(logPath, outcome) && plan.FollowFiles(outcome);
}

// The undo's record goes after the end of the log, behind an empty line, so the record it
// takes back stays in the file until the last step is taken back and after: an undo cut
// short leaves both, and taking back the last record then finishes the job.
bool UndoRun(const char* logPath, FileServices& fs, UndoOutcome& outcome, RunProgress* progress)
{
    outcome = UndoOutcome();
    UndoPlan plan(fs);
    if (!plan.Read(logPath, outcome) || !plan.FollowFiles(outcome))
        return false;
    if (!SurveyFolder(plan, outcome))
        return Refuse(outcome, UndoFolderNotSearchable);

    LogWriter log(fs);
    log.OpenToAppend(logPath);
    const std::string header = plan.endOfCutLine + "\r\n" + outcome.folder + "\r\n";
    log.Write(header.data(), static_cast<int>(header.size()));
    if (!log.Complete())
        return Refuse(outcome, UndoLogNotWritable);

    ProbeTempNumber(outcome.folder.c_str(), fs);
    UndoWalk walk(plan, log, outcome, progress);
    walk.Walk();

    for (const std::unique_ptr<UndoFile>& file : plan.files) {
        // A file whose steps could not all be taken back may still stand under its old name.
        if (file->lost || file->before != file->entry->currentName) {
            ++outcome.notBack;
            outcome.notBackNames.push_back(file->before);
        }
    }
    outcome.logComplete = log.Complete();
    return true;
}
