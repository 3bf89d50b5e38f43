#ifndef QUILLOWBY_TESTS_STRESS_ORACLE_H
#define QUILLOWBY_TESTS_STRESS_ORACLE_H

#include "engine/run/RunRename.h"
#include "tests/stress/StressFolder.h"

#include "tests/support/NameModel.h"
#include <cstdint>

#include <string>
#include <vector>

struct FileSpec;
struct Scenario;

// What a run must do, worked out from the folder's listing and the job alone, apart from
// the engine's code: which files make the batch, in which order, under which new names, and
// whether the run must refuse to start.

void SplitPatternModel(const std::string& pattern, std::string& prefix, std::string& suffix);

struct Planned
{
    std::string key;
    std::string newName;
};

struct Expected
{
    RunRefusal refusal;
    std::string refusedName;
    // The batch in numbering order.
    std::vector<Planned> batch;
    // Files matched by the mask that the engine cannot reach or whose names are too long.
    int unreachable;
    // Files matched by the mask that are marked hidden and system.
    int hiddenSystem;
};

// Whether the scenario marked the file it made under that name of the run's folder (the first
// one given the name where two lead there) both hidden and system.
bool MadeHiddenSystem(const Scenario& scenario, const std::string& key);

// listing: what the folder search yields, in its order; logKey: the log file's name in the
// folder when it lies there and exists before the run ("" otherwise); logName: the last part
// of a log path that leads into the folder, as typed ("" otherwise); entryFolder: the folder
// as the engine puts it in front of every name; firstTemp: the first temporary number free
// in the folder (FirstFreeTempModel).
Expected ExpectRun(const Scenario& scenario, const std::vector<Listed>& listing, const std::string& logKey,
                   const std::string& logName, const std::string& entryFolder, bool cp932, int32_t firstTemp);

// The first number n whose "~ren%04d.tmp" no item of the folder has, names compared as the
// platform compares them.
int32_t FirstFreeTempModel(const std::string& folder);

// A separator as a whole character: the platform's own or "/".
bool HoldsSeparatorModel(const std::string& text, bool cp932);

#endif
