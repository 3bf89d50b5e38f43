#ifndef QUILLOWBY_TESTS_ENGINE_TEST_SUPPORT_H
#define QUILLOWBY_TESTS_ENGINE_TEST_SUPPORT_H

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/RunProgress.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunRename.h"
#include "tests/support/FaultyFileServices.h"
#include "tests/support/FolderFiles.h"
#include "tests/support/TempFolder.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A folder of files, a job over it with the window's defaults, and the services a run
// goes through (faults can be injected there).
class RunFixture
{
public:
    explicit RunFixture(int32_t order = ExtAscending) : RunFixture(Names(), order) {}
    // With these files in the folder, each holding its own name.
    explicit RunFixture(const Names& files, int32_t order = ExtAscending);

    // The job's folder as typed, with or without its final separator.
    void TypeFolder(bool withSeparator);
    void AddFiles(const Names& names) const { ::AddFiles(folder, names); }
    bool Run();
    std::string Log() const { return ReadWholeFile(job.logPath.Data()); }
    // The step lines of the log's last section, without its folder line: a run's log has
    // one section, and each undo appends its own.
    Names LogLines() const;

    TempFolder folder;
    TempFolder elsewhere;
    std::string logName;
    RenameJob job;
    EntryList list;
    FaultyFileServices fs;
    RunOutcome outcome;
    // Handed to the run when set.
    RunProgress* progress;
};

// Answers "stop" once a run or an undo has taken stopAt steps, and records what it was told.
class StopAfter : public RunProgress
{
public:
    explicit StopAfter(int stopAt) : stopAt(stopAt) {}

    bool Continue(const WalkProgress& progress) override
    {
        told.push_back(progress);
        return progress.stepsTaken < stopAt;
    }
    void Settling(int settled, int waiting) override { settling.push_back({settled, waiting}); }

    // The settling was told of the waiting files one after the other, from none to all.
    bool SettledOneByOne() const
    {
        for (size_t i = 0; i < settling.size(); ++i) {
            if (settling[i].first != static_cast<int>(i) || settling[i].second != settling[0].second)
                return false;
        }
        return !settling.empty() && settling.back().first == settling.back().second;
    }

    int stopAt;
    std::vector<WalkProgress> told;
    // Each settling told: files seen to, of those waiting.
    std::vector<std::pair<int, int>> settling;
};

// The process dies right after the nth move: the line of that move is the last write to land,
// or, where lines are written ahead of their moves, nothing lands after it (linesAfter 0).
void DieAfterMove(FaultyFileServices& fs, int nth, int linesAfter = 1);

// One entry made from a name, as the enumeration would make it.
std::unique_ptr<FileEntry> MakeEntry(const std::string& folder, const std::string& name, const FileServices& fs);

std::string Line(const std::string& from, const std::string& to);

#endif
