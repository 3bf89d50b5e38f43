#include "engine/undo/UndoWalk.h"

#include "engine/RunProgress.h"
#include "engine/history/WriteAhead.h"
#include "engine/log/RenameLog.h"
#include "engine/steps/FileSteps.h"
#include "engine/steps/TempNames.h"

#include <cstring>

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
        result = FailStep(entry, FailureAnotherFileThere);
        file.lost = true;
    } else if (LostToAnotherFile(entry, fs)) {
        // Another program put a file of its own under the name this undo parked the file at.
        result = FailGone(entry);
        file.lost = true;
    } else if (plan.IsFolder(entry.currentName)) {
        result = FailStep(entry, FailureNotWhereLogSays);
        file.lost = true;
    } else {
        result = entry.RenameEntry(fs);
        // Asked only now: a name too long for the existence test may still be moved.
        if (result == StepFailed && !fs.Exists(entry.folder.Concat(entry.currentName).Data())) {
            FailStep(entry, FailureNotWhereLogSays);
            file.lost = true;
        }
    }
    WriteLogLine(entry, log);

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
    PutBackLogged(entry, log, fs);
    arrived.Arrive(entry.currentName, &entry);
}

void UndoWalk::WriteSkipped(const LoggedStep& step)
{
    if (step.cut)
        log.WriteStep(step.from.c_str(), step.from.c_str(), FailureNotWhereLogSays, 0);
    else
        log.WriteStep(step.to.c_str(), step.from.c_str(), FailureLaterStepKept, 0);
}
