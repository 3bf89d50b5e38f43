#include "tests/stress/OtherProgram.h"

#include "engine/steps/TempNames.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/StressFolder.h"
#include "tests/support/FaultyFileServices.h"
#include "tests/support/NameModel.h"

#include <algorithm>
#include <cstdio>

namespace {

// A bare name, no folder in it.
bool IsBareName(const std::string& name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (kWindows && IsLeadModel(c, true)) {
            ++i;
            continue;
        }
        if (c == '/' || (kWindows && c == '\\'))
            return false;
    }
    return !name.empty();
}

}  // namespace

OtherProgram::OtherProgram(const Scenario& scenario, Observation& observation, const std::string& folder,
                           const std::string& entryFolder, FaultyFileServices& fs)
    : scenario(scenario), observation(observation), folder(folder), entryFolder(entryFolder), fs(fs),
      random(ScenarioSeed(scenario.seed, scenario.index) ^ 0xA5A5A5A5ull), serial(0)
{
    for (const auto& batchFile : observation.batchContents)
        contents.insert(batchFile.second);
}

void OtherProgram::BeforeMove(int nth, const char* to)
{
    for (size_t i = 0; i < scenario.faults.size(); ++i) {
        const FaultSpec& fault = scenario.faults[i];
        if (fault.nth != nth)
            continue;
        if (fault.kind == FaultTargetAppears)
            CreateAt(to, i);
        else if (fault.kind == FaultFileDeleted || fault.kind == FaultFileRenamed)
            TouchBatchFile(fault.kind == FaultFileDeleted, i);
    }
}

void OtherProgram::CreateAt(const char* to, size_t fault)
{
    std::string path = to;
    if (path.compare(0, entryFolder.size(), entryFolder) != 0)
        return;
    std::string key = path.substr(entryFolder.size());
    if (!IsBareName(key))
        return;
    std::string content = "another program's file " + std::to_string(serial++);
    if (!CreateNewFile(folder, key, content, false, false))
        return;
    Record(ExternalEvent::Created, key, "", content);
    fired.insert(fault);
}

void OtherProgram::TouchBatchFile(bool remove, size_t fault)
{
    std::vector<std::string> candidates;
    for (const std::string& name : NamesIn(folder)) {
        std::string content;
        if (name != observation.logKey && ReadContent(folder, name, content) && contents.count(content))
            candidates.push_back(name);
    }
    if (candidates.empty())
        return;
    // The listing's order is the file system's: sorted, the same seed picks the same file
    // everywhere.
    std::sort(candidates.begin(), candidates.end());
    std::string key = random.Pick(candidates);
    std::string content;
    ReadContent(folder, key, content);
    if (remove) {
        if (!RemoveFile(folder, key))
            return;
        Record(ExternalEvent::Deleted, key, "", content);
    } else {
        std::string to = RenameTarget();
        if (!RenameFile(folder, key, to)) {
            to = "moved by another program " + std::to_string(serial++) + ".other";
            if (!RenameFile(folder, key, to))
                return;
        }
        Record(ExternalEvent::Renamed, key, to, content);
    }
    fired.insert(fault);
}

// Out of the way, or onto a name the walk is about to want: a new name of the batch or one
// of the next temporary names.
std::string OtherProgram::RenameTarget()
{
    int kind = static_cast<int>(random.Below(4));
    if (kind == 0 && !observation.expected.batch.empty()) {
        const Planned& planned =
            observation.expected.batch[random.Below(static_cast<uint32_t>(observation.expected.batch.size()))];
        std::string name = NameAsStored(planned.newName);
        if (IsBareName(name))
            return name;
    }
    if (kind == 1) {
        char name[32];
        std::snprintf(name, sizeof name, "~ren%04d.tmp", static_cast<int>(nextTempNumber + random.Between(0, 2)));
        return name;
    }
    return "moved by another program " + std::to_string(serial++) + ".other";
}

void OtherProgram::Record(ExternalEvent::Kind kind, const std::string& key, const std::string& to,
                          const std::string& content)
{
    observation.events.push_back(ExternalEvent{kind, key, to, content, fs.Calls(CallWriteLog) - 2});
}

HeldFiles::HeldFiles(const Scenario& scenario, Observation& observation, const std::string& folder,
                     const std::string& entryFolder, FaultyFileServices& fs)
    : count(0)
{
    std::vector<std::string> candidates;
    for (const FileSpec& file : scenario.files) {
        if (file.key.find('/') == std::string::npos)
            candidates.push_back(file.key);
    }
    for (const FaultSpec& fault : scenario.faults) {
        if (fault.kind != FaultFileHeldOpen || candidates.empty())
            continue;
        const std::string& key = candidates[static_cast<size_t>(fault.nth) % candidates.size()];
        if (void* file = HoldOpen(folder, key))
            open.push_back(file);
        else
            refused.insert(entryFolder + key);
        // A log that is to be written into that very file cannot be.
        if (key == observation.logKey)
            observation.logMayFail = true;
        ++count;
    }
    fs.failWhen = [this](FileCall call, const char* from, const char*) {
        return call == CallMove && refused.count(from) != 0;
    };
}

HeldFiles::~HeldFiles()
{
    for (void* file : open)
        Release(file);
}
