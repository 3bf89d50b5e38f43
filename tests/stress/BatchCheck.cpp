#include "tests/stress/RunCheck.h"

#include "engine/steps/TempNames.h"
#include "tests/stress/Scenario.h"

#include <map>

namespace {

// Nothing but the stop request went wrong, so only two taken names keep a file waiting.
bool OnlyStopRequested(const Scenario& scenario)
{
    for (const FaultSpec& fault : scenario.faults) {
        if (fault.kind != FaultStopRequested)
            return false;
    }
    return true;
}

bool HoldsName(const Observation& observation, const std::string& name)
{
    for (const auto& item : observation.after) {
        if (CaseFolded(item.first) == CaseFolded(NameAsStored(name)))
            return true;
    }
    return false;
}

}  // namespace

void CheckBatch(RunCheck& check)
{
    const Observation& observation = check.observation;
    if (observation.outcome.fileCount != static_cast<int>(observation.expected.batch.size())) {
        check.Breach("fileCount " + std::to_string(observation.outcome.fileCount) + ", the batch holds " +
                     std::to_string(observation.expected.batch.size()));
    }
    if (observation.outcome.unreachable != observation.expected.unreachable) {
        check.Breach("unreachable " + std::to_string(observation.outcome.unreachable) + ", expected " +
                     std::to_string(observation.expected.unreachable));
    }

    std::map<std::string, std::string> location;  // content -> name after the run
    for (const auto& item : observation.after) {
        if (!item.second.isDirectory && item.first != check.logFile)
            location[item.second.content] = item.first;
    }
    std::set<std::string> touched;    // contents another program deleted or renamed
    std::set<std::string> movedAway;  // names another program gave batch files
    for (const ExternalEvent& event : observation.events) {
        if (event.kind != ExternalEvent::Created)
            touched.insert(event.content);
        if (event.kind == ExternalEvent::Renamed)
            movedAway.insert(event.to);
    }

    int notAtNewName = 0;
    int otherLetters = 0;
    for (const Planned& planned : observation.expected.batch) {
        const std::string& content = observation.before.at(planned.key).content;
        if (touched.count(content))
            continue;
        auto found = location.find(content);
        if (found == location.end())
            continue;  // reported by CheckContents
        const std::string& now = found->second;
        if (now == NameAsStored(planned.newName))
            continue;
        // The new name in other letters: the same name to the file system, and the file may
        // count either way. Wine keeps the old letters when a file is moved onto its own
        // name in other letters; a run that put the file back reports it not renamed.
        if (CaseFolded(now) == CaseFolded(NameAsStored(planned.newName))) {
            ++otherLetters;
            continue;
        }
        ++notAtNewName;
        check.notArrived.push_back(planned.key);
        bool atOldName = CaseFolded(now) == CaseFolded(planned.key);
        if (IsTempName(now.c_str()) && !atOldName && observation.outcome.stopped && OnlyStopRequested(check.scenario) &&
            (!HoldsName(observation, planned.key) || !HoldsName(observation, planned.newName))) {
            check.Breach("the run stopped and left " + Quoted(planned.key) + " under " + Quoted(now) +
                         " though its original or new name is free");
        }
        if (!atOldName && !IsTempName(now.c_str()) && !movedAway.count(now)) {
            check.Breach(Quoted(planned.key) + " ended as " + Quoted(now) + ", neither its new name " +
                         Quoted(planned.newName) + " nor its old one");
        }
        if (IsTempName(now.c_str()) && !atOldName)
            check.leftOnTemporaryNames.insert(now);
    }
    int reported = observation.outcome.notRenamed - observation.outcome.unreachable;
    int touchedCount = static_cast<int>(touched.size());
    if (reported < notAtNewName || reported > notAtNewName + otherLetters + touchedCount) {
        check.Breach("notRenamed " + std::to_string(observation.outcome.notRenamed) + " (" +
                     std::to_string(observation.outcome.unreachable) + " unreachable), but " +
                     std::to_string(notAtNewName) + " files are not under their new names" +
                     (touchedCount ? " and " + std::to_string(touchedCount) + " were taken by another program" : ""));
    }
}
