#include "engine/undo/UndoRun.h"

#include "engine/history/WriteAhead.h"
#include "engine/log/RenameLog.h"
#include "engine/steps/TempNames.h"
#include "engine/undo/UndoPlan.h"
#include "engine/undo/UndoWalk.h"

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
        return RefuseUndo(outcome, UndoLogNotWritable);
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
    UndoWalk walk(plan, plan.WritesAhead() ? ahead : fs, log, outcome, progress, plan.WritesAhead() ? &ahead : nullptr);
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
