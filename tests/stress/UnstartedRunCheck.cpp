#include "tests/stress/RunCheck.h"

#include "tests/stress/Scenario.h"

// The question comes for a user's document and never for an earlier rename log.
void CheckQuestion(RunCheck& check)
{
    if (check.scenario.logPlace == LogElsewhereUserFile && !check.observation.asked)
        check.Breach("a user's document at the log path was taken for a rename log");
    if (check.scenario.logPlace == LogElsewhereExisting && check.observation.asked)
        check.Breach("an earlier rename log at the log path was taken for a user's document");
}

// Told No: nothing moved, and the file at the log path is byte for byte what it was.
void CheckDeclinedRun(RunCheck& check)
{
    const Observation& observation = check.observation;
    CompareTrees(check, observation.before, observation.after, "a run told No changed the folder");
    if (!observation.logReadable || !observation.logExistedBefore || observation.logText != observation.logBefore)
        check.Breach("a run told No changed the file at the log path");
}

void CheckRefusedRun(RunCheck& check)
{
    const Observation& observation = check.observation;
    if (observation.expected.refusal == RefusalNone) {
        check.Breach("the run refused to start (refusal " + std::to_string(observation.outcome.refusal) + ", " +
                     Quoted(observation.outcome.refusedName) + ") though nothing should stop it");
    } else if (observation.outcome.refusal != observation.expected.refusal ||
               observation.outcome.refusedName != observation.expected.refusedName) {
        check.Breach("refusal " + std::to_string(observation.outcome.refusal) + " for " +
                     Quoted(observation.outcome.refusedName) + ", expected " +
                     std::to_string(observation.expected.refusal) + " for " + Quoted(observation.expected.refusedName));
    }
    CompareTrees(check, observation.before, observation.after, "a run that did not start changed the folder");
    if (!observation.logPath.empty() &&
        (observation.logReadable != observation.logExistedBefore || observation.logText != observation.logBefore))
        check.Breach("a run that did not start created or changed the log file");
    if (!observation.events.empty())
        check.Breach("a run that did not start moved files");
}
