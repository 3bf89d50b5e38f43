#include "tests/stress/Invariants.h"

#include "tests/stress/RunCheck.h"
#include "tests/stress/Scenario.h"

bool IsTopLevel(const std::string& key)
{
    return key.find('/') == std::string::npos;
}

std::string Quoted(const std::string& name)
{
    return "\"" + Printable(name) + "\"";
}

void CompareTrees(RunCheck& check, const Tree& before, const Tree& after, const std::string& what)
{
    for (const auto& item : before) {
        auto found = after.find(item.first);
        if (found == after.end() || found->second.content != item.second.content ||
            found->second.isDirectory != item.second.isDirectory) {
            check.Breach(what + ": " + Quoted(item.first));
            return;
        }
    }
    for (const auto& item : after) {
        if (!before.count(item.first)) {
            check.Breach(what + ": " + Quoted(item.first) + " is new");
            return;
        }
    }
}

namespace {

void CheckFinishedRun(RunCheck& check)
{
    const Expected& expected = check.observation.expected;
    if (expected.refusal != RefusalNone) {
        check.Breach("the run went through though it must refuse (refusal " + std::to_string(expected.refusal) +
                     " for " + Quoted(expected.refusedName) + ")");
    }
    CheckContents(check);
    CheckOutsideBatch(check);
    CheckBatch(check);
    CheckBound(check);
    check.obstacle = Obstacle(check);
    if (check.obstacle.empty())
        CheckWorkDone(check);
    CheckLogState(check);
}

}  // namespace

std::vector<std::string> CheckRun(const Scenario& scenario, const Observation& observation)
{
    RunCheck check(scenario, observation);
    if (observation.runaway)
        check.Breach("the walk did not end: the run went past its bound of steps");
    if (observation.openedPlaceholder)
        check.Breach("a file listed as a cloud placeholder was opened");
    if (observation.movesOntoLogName > 0 && !observation.logCreated)
        check.Breach("a file was moved onto the log's name, which no log held");
    CheckQuestion(check);
    CheckPreview(check);
    if (observation.declined)
        CheckDeclinedRun(check);
    else if (!observation.ran)
        CheckRefusedRun(check);
    else
        CheckFinishedRun(check);
    return check.breaches;
}
