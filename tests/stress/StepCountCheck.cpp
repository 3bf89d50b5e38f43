#include "tests/stress/RunCheck.h"

#include "engine/steps/TempNames.h"
#include "tests/stress/Scenario.h"

#include <cstring>

namespace {

// A new name every layer takes as it is: no separator, nothing Windows refuses or drops, no
// device, not of a temporary name's form, and short enough for the file calls and for Wine,
// which keeps names as UTF-8 of at most 255 bytes.
bool PlainNewName(const std::string& name, const std::string& entryFolder, bool cp932)
{
    if (HoldsSeparatorModel(name, cp932) || NameAsStored(name) != name || NamesADevice(name) ||
        IsTempName(CaseFolded(name).c_str()) || PathTooLongForEngine(entryFolder + name))
        return false;
    if (!kWindows)
        return true;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        unsigned codePoint = 0;
        const size_t escape = EscapeAt(name, i, codePoint);
        if (escape > 0)
            i += escape - 1;
        else if (IsLeadModel(c, true) && i + 1 < name.size())
            ++i;
        else if ((c < 0x20 || c >= 0x80 || std::strchr("\\/:*?\"<>|", c) != nullptr) && !(c >= 0xA1 && c <= 0xDF))
            return false;
    }
    return StoredBytes(name) <= 255;
}

}  // namespace

void CheckBound(RunCheck& check)
{
    const RunOutcome& outcome = check.observation.outcome;
    int n = outcome.fileCount;
    int bound = n * (n + 1) + 2 * n + outcome.unreachable + 4;
    if (outcome.steps > bound)
        check.Breach("the run took " + std::to_string(outcome.steps) + " steps for " + std::to_string(n) + " files");
}

// What may keep a file of the batch from its new name; "" when nothing may.
std::string Obstacle(const RunCheck& check)
{
    const Observation& observation = check.observation;
    if (!check.scenario.faults.empty())
        return "faults";
    if (!observation.events.empty())
        return "another program";
    std::set<std::string> batchKeys;
    for (const Planned& planned : observation.expected.batch)
        batchKeys.insert(planned.key);
    // Names held by something the batch never moves, then the new names themselves.
    std::set<std::string> held;
    for (const auto& item : observation.before) {
        if (IsTopLevel(item.first) && !batchKeys.count(item.first))
            held.insert(CaseFolded(item.first));
    }
    if (!observation.logKey.empty())
        held.insert(CaseFolded(observation.logKey));
    std::string entryFolder =
        observation.typedFolder + (check.scenario.typedSeparators > 0 ? "" : std::string(1, PathSeparator()));
    for (const Planned& planned : observation.expected.batch) {
        if (!PlainNewName(planned.newName, entryFolder, observation.cp932))
            return "the new name " + Quoted(planned.newName);
        if (!held.insert(CaseFolded(planned.newName)).second)
            return "something holds " + Quoted(planned.newName);
    }
    return "";
}

// Nothing in the way: every file the code page reaches arrives, one step each, two for a
// file whose target a file behind it held (or its own file, in other letters) at its turn.
void CheckWorkDone(RunCheck& check)
{
    const RunOutcome& outcome = check.observation.outcome;
    if (outcome.notRenamed != outcome.unreachable) {
        check.Breach("nothing stood in the way, yet " + std::to_string(outcome.notRenamed - outcome.unreachable) +
                     " files did not reach their new names");
    }
    int steps = outcome.unreachable;
    const std::vector<Planned>& batch = check.observation.expected.batch;
    for (size_t i = 0; i < batch.size(); ++i) {
        std::string target = CaseFolded(batch[i].newName);
        bool waits = NamesIgnoreCase() && CaseFolded(batch[i].key) == target && batch[i].key != batch[i].newName;
        for (size_t j = i + 1; j < batch.size() && !waits; ++j)
            waits = CaseFolded(batch[j].key) == target;
        steps += waits ? 2 : 1;
    }
    if (outcome.steps != steps) {
        check.Breach("nothing stood in the way, yet the run took " + std::to_string(outcome.steps) +
                     " steps where the walk takes " + std::to_string(steps));
    }
}
