#include "bench/CaseRunner.h"

#include "bench/BenchFolder.h"
#include "bench/ProcessMemory.h"
#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/RunProgress.h"
#include "engine/RunRename.h"

#include <atomic>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct FolderPaths
{
    FolderPaths(const std::string& dir, const char* kind, BenchJob job, int fileCount)
    {
        char name[96];
        std::snprintf(name, sizeof name, "/%s-%s-%d-%d", kind, JobName(job), fileCount, static_cast<int>(getpid()));
        folder = dir + name;
        log = folder + ".log";
    }

    std::string folder;
    std::string log;
};

// What the window hands the run: the counters its thread reads and the stop request, so the
// figures include what telling the progress costs.
class WindowProgress : public RunProgress
{
public:
    WindowProgress() : stepsTaken(0), stepsKnown(0), stopRequested(false) {}

    bool Continue(const WalkProgress& progress) override
    {
        stepsTaken.store(progress.stepsTaken, std::memory_order_relaxed);
        stepsKnown.store(progress.stepsKnown, std::memory_order_relaxed);
        return !stopRequested.load(std::memory_order_relaxed);
    }

private:
    std::atomic<int> stepsTaken;
    std::atomic<int> stepsKnown;
    std::atomic<bool> stopRequested;
};

bool Fail(const char* what, const std::string& folder)
{
    std::fprintf(stderr, "bench: %s in %s\n", what, folder.c_str());
    return false;
}

// Every file under the name the job gives it, nothing else left in the folder.
bool CheckRun(BenchJob job, const std::string& folder, const std::vector<ino_t>& inodes,
              const std::vector<int>& expected, const RunOutcome& outcome)
{
    int fileCount = static_cast<int>(inodes.size());
    if (outcome.fileCount != fileCount || outcome.notRenamed != 0 || !outcome.logComplete)
        return Fail("the run did not rename every file or lost log lines", folder);
    if (CountNames(folder) != fileCount)
        return Fail("the run left names besides the renamed files", folder);
    for (int i = 0; i < fileCount; ++i) {
        char name[kBenchNameSize];
        TargetName(FirstNumber(job) + i, name);
        struct stat info;
        std::string path = folder + "/" + name;
        if (stat(path.c_str(), &info) != 0 || info.st_ino != inodes[static_cast<size_t>(expected[static_cast<size_t>(i)])])
            return Fail("a file did not get the name it should have", folder);
    }
    return true;
}

bool TimeRun(BenchJob job, const FolderPaths& paths, const std::vector<ino_t>& inodes, const std::vector<int>& expected,
             bool first, CaseResult& result)
{
    RenameJob renameJob;
    SetUpJob(job, paths.folder, paths.log, renameJob);
    PhaseClock clock(PlatformFileServices());
    EntryList list;
    RunOutcome outcome;
    WindowProgress progress;

    long baseKb = 0;
    if (first) {
        ResetPeakResident();
        baseKb = ResidentKb();
    }
    clock.Start();
    Stopwatch stopwatch;
    bool ran = RunRename(renameJob, list, clock, outcome, &progress);
    Lap lap = stopwatch.Read();
    if (first) {
        result.peakKb = PeakResidentKb() - baseKb;
        result.firstRun = lap;
    }

    if (!ran)
        return Fail("the run did not start", paths.folder);
    if (!CheckRun(job, paths.folder, inodes, expected, outcome))
        return false;
    if (first || lap.seconds < result.run.seconds)
        result.phases = clock.Phases();
    KeepFastest(lap, first, result.run);
    result.steps = outcome.steps;
    return true;
}

// The same moves as the fresh job, with the paths formed before the clock starts.
bool TimeFloor(const std::string& folder, int fileCount, bool first, CaseResult& result)
{
    std::vector<std::string> from(static_cast<size_t>(fileCount));
    std::vector<std::string> to(static_cast<size_t>(fileCount));
    for (int i = 0; i < fileCount; ++i) {
        char name[kBenchNameSize];
        SourceName(JobFresh, i, name);
        from[static_cast<size_t>(i)] = folder + "/" + name;
        TargetName(i, name);
        to[static_cast<size_t>(i)] = folder + "/" + name;
    }

    FileServices& fs = PlatformFileServices();
    bool moved = true;
    Stopwatch stopwatch;
    for (size_t i = 0; i < from.size(); ++i) {
        int error = 0;
        if (fs.Exists(to[i].c_str()) || fs.Move(from[i].c_str(), to[i].c_str(), error) != MoveDone)
            moved = false;
    }
    Lap lap = stopwatch.Read();
    if (!moved)
        return Fail("the floor could not move every file", folder);
    KeepFastest(lap, first, result.floor);
    return true;
}

bool TimeFloorOnFreshFolder(const std::string& folder, int fileCount, bool first, CaseResult& result)
{
    std::vector<ino_t> inodes;
    if (!MakeFolderOfFiles(folder, JobFresh, fileCount, inodes))
        return false;
    bool floored = TimeFloor(folder, fileCount, first, result);
    return RemoveFolder(folder) && floored;
}

}  // namespace

bool RunCase(BenchJob job, int fileCount, int repeat, const std::string& dir, CaseResult& result)
{
    result = CaseResult();
    // Taken before the baseline and kept to the end, so the first run finds no freed heap
    // to reuse and its memory is measured whole.
    std::vector<ino_t> inodes;
    inodes.reserve(static_cast<size_t>(fileCount));
    std::vector<int> expected = ExpectedSources(job, fileCount);
    FolderPaths runPaths(dir, "run", job, fileCount);
    FolderPaths floorPaths(dir, "floor", job, fileCount);

    // Run and floor take turns at going first, so that a machine growing busier or quieter
    // over the case weighs on both alike.
    for (int r = 0; r < repeat; ++r) {
        bool floorFirst = r % 2 == 1;
        if (floorFirst && !TimeFloorOnFreshFolder(floorPaths.folder, fileCount, r == 0, result))
            return false;
        if (!MakeFolderOfFiles(runPaths.folder, job, fileCount, inodes))
            return false;
        bool ran = TimeRun(job, runPaths, inodes, expected, r == 0, result);
        bool removed = RemoveFolder(runPaths.folder) && unlink(runPaths.log.c_str()) == 0;
        if (!ran || !removed)
            return false;
        if (!floorFirst && !TimeFloorOnFreshFolder(floorPaths.folder, fileCount, r == 0, result))
            return false;
    }
    return true;
}
