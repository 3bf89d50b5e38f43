#include "tests/stress/RunCheck.h"

#include "tests/stress/Scenario.h"

namespace {

bool FaultFired(const RunCheck& check, FaultKind kind)
{
    for (const FaultSpec& fault : check.scenario.faults) {
        if (fault.kind != kind)
            continue;
        if (kind == FaultLogNotCreated)
            return true;
        if (kind == FaultLogWritesStop && fault.nth <= check.observation.logWrites)
            return true;
    }
    return false;
}

bool ParseLog(RunCheck& check, std::vector<StepLine>& lines)
{
    if (!check.observation.logReadable) {
        check.Breach("the log is complete by the outcome but cannot be read");
        return false;
    }
    const std::string& text = check.observation.logText;
    std::string header = check.observation.typedFolder + "\r\n";
    if (text.compare(0, header.size(), header) != 0) {
        check.Breach("the log's header is not the folder as typed");
        return false;
    }
    size_t start = header.size();
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            check.Breach("the log ends in a line without CR LF");
            return false;
        }
        std::string line = text.substr(start, end - start);
        start = end + 2;
        StepLine parsed;
        if (!ReadStepLine(line, parsed)) {
            check.Breach("log line without an arrow: " + Quoted(line));
            return false;
        }
        lines.push_back(parsed);
    }
    return true;
}

// A file left under a temporary name is one the log says something went wrong with.
void CheckTemporaryNamesReported(RunCheck& check, const std::vector<StepLine>& lines)
{
    for (const std::string& name : check.leftOnTemporaryNames) {
        const StepLine* last = nullptr;
        for (const StepLine& line : lines) {
            if (line.from == name)
                last = &line;
        }
        if (last == nullptr || !last->failed)
            check.Breach("a file was left under " + Quoted(name) + " and the log gives no reason");
    }
}

// A file that did not reach its new name has a step in the log that failed, or one that
// put it back, following the file from name to name; in a run that was stopped, a file
// may also have no step at all, its move never begun.
void CheckNotArrivedExplained(RunCheck& check, const std::vector<StepLine>& lines)
{
    for (const std::string& key : check.notArrived) {
        std::string name = key;
        bool explained = check.observation.outcome.stopped;
        // A file may come back to its own name in the middle of a run (a temporary name
        // of a user's is the next free one), and then be put back there: a line from that
        // name to itself, which only a file's first line may not be.
        bool first = true;
        for (const StepLine& line : lines) {
            if (line.from != name)
                continue;
            if (first)
                explained = false;
            if (line.failed)
                explained = true;
            else
                name = line.to;
            if (!line.failed && line.to == key && !first)
                explained = true;
            first = false;
        }
        if (!explained) {
            check.Breach(Quoted(key) + " did not reach its new name and the log gives no reason" +
                         (check.obstacle.empty() ? "" : " (in the way: " + check.obstacle + ")"));
        }
    }
}

}  // namespace

void CheckLogState(RunCheck& check)
{
    const Observation& observation = check.observation;
    bool mustFail =
        observation.logCannotOpen || FaultFired(check, FaultLogNotCreated) || FaultFired(check, FaultLogWritesStop);
    if (mustFail && observation.outcome.logComplete)
        check.Breach("the outcome says the log is complete, but it could not be written whole");
    if (!mustFail && !observation.logMayFail && !observation.outcome.logComplete)
        check.Breach("the outcome says the log is incomplete, but nothing kept it from being written");
    if (!observation.outcome.logComplete)
        return;
    std::vector<StepLine> lines;
    if (!ParseLog(check, lines))
        return;
    if (static_cast<int>(lines.size()) != observation.outcome.steps) {
        check.Breach("the log holds " + std::to_string(lines.size()) + " step lines, the outcome counts " +
                     std::to_string(observation.outcome.steps));
    }
    CheckReplay(check, lines);
    CheckTemporaryNamesReported(check, lines);
    CheckNotArrivedExplained(check, lines);
}
