#include "bench/CaseRunner.h"

#include "bench/BenchFolder.h"
#include "bench/ChildProcess.h"
#include "bench/ProcessMemory.h"
#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/RunProgress.h"
#include "engine/history/RunHistory.h"
#include "engine/log/RenameLogReader.h"
#include "engine/run/RunRename.h"

#include <atomic>
#include <cstdio>
#include <vector>

namespace {

struct FolderPaths
{
    FolderPaths(const std::string& dir, const char* kind, BenchJob job, int fileCount)
    {
        char name[96];
        std::snprintf(name, sizeof name, "%c%s-%s-%d-%d", PathSeparator(), kind, JobName(job), fileCount, ProcessId());
        folder = dir + name;
        log = folder + ".log";
        history = folder + "-history";
    }

    std::string folder;
    std::string log;
    // The program's history of runs, which a run keeps its record in.
    std::string history;
};

// What the window hands the run: the counters its thread reads and the stop request, so the
// figures include what telling the progress costs. Asked to stop half-way, it asks for the
// stop once the steps taken reach half of those known, and notes when the walk began and
// when it stopped.
class WindowProgress : public RunProgress
{
public:
    explicit WindowProgress(bool stopHalfWay)
        : stepsTaken(0), stepsKnown(0), stopRequested(false), stopHalfWay(stopHalfWay), walkStarted(0), stoppedAt(0),
          stepsBeforeStop(0)
    {
    }

    bool Continue(const WalkProgress& progress) override
    {
        stepsTaken.store(progress.stepsTaken, std::memory_order_relaxed);
        stepsKnown.store(progress.stepsKnown, std::memory_order_relaxed);
        if (stopHalfWay && progress.stepsTaken == 0)
            walkStarted = SecondsNow();
        if (stopHalfWay && !stopRequested.load(std::memory_order_relaxed) &&
            progress.stepsTaken * 2 >= progress.stepsKnown) {
            stoppedAt = SecondsNow();
            stepsBeforeStop = progress.stepsTaken;
            stopRequested.store(true, std::memory_order_relaxed);
        }
        return !stopRequested.load(std::memory_order_relaxed);
    }

    double WalkSeconds() const { return stoppedAt - walkStarted; }
    double StoppedAt() const { return stoppedAt; }
    int StepsBeforeStop() const { return stepsBeforeStop; }

private:
    std::atomic<int> stepsTaken;
    std::atomic<int> stepsKnown;
    std::atomic<bool> stopRequested;
    bool stopHalfWay;
    double walkStarted;
    double stoppedAt;
    int stepsBeforeStop;
};

bool Fail(const char* what, const std::string& folder)
{
    std::fprintf(stderr, "bench: %s in %s\n", what, folder.c_str());
    return false;
}

// Every file under the name the job gives it, nothing else left in the folder.
bool CheckRun(BenchJob job, const std::string& folder, const std::vector<FileId>& ids, const std::vector<int>& expected,
              const RunOutcome& outcome)
{
    int fileCount = static_cast<int>(ids.size());
    if (outcome.fileCount != fileCount || outcome.notRenamed != 0 || !outcome.logComplete)
        return Fail("the run did not rename every file or lost log lines", folder);
    if (CountNames(folder) != fileCount)
        return Fail("the run left names besides the renamed files", folder);
    for (int i = 0; i < fileCount; ++i) {
        char name[kBenchNameSize];
        TargetName(FirstNumber(job) + i, name);
        FileId id = 0;
        if (!IdOfFile(folder + PathSeparator() + name, id) ||
            id != ids[static_cast<size_t>(expected[static_cast<size_t>(i)])])
            return Fail("a file did not get the name it should have", folder);
    }
    return true;
}

bool TimeRun(BenchJob job, const FolderPaths& paths, const std::vector<FileId>& ids, const std::vector<int>& expected,
             bool first, CaseResult& result)
{
    RenameJob renameJob;
    SetUpJob(job, paths.folder, paths.log, renameJob);
    PhaseClock clock(PlatformFileServices());
    EntryList list;
    RunOutcome outcome;
    WindowProgress progress(job == JobStop);
    RunHistory history(paths.history, clock);

    long baseKb = 0;
    if (first) {
        ResetPeakResident();
        baseKb = ResidentKb();
    }
    clock.Start();
    Stopwatch stopwatch;
    bool ran = RunRename(renameJob, list, clock, outcome, &progress, &history);
    Lap lap = stopwatch.Read();
    double settleSeconds = SecondsNow() - progress.StoppedAt();
    if (first) {
        result.peakKb = PeakResidentKb() - baseKb;
        result.firstRun = lap;
    }

    if (!ran)
        return Fail("the run did not start", paths.folder);
    if (!CheckRun(job, paths.folder, ids, expected, outcome))
        return false;
    if (job == JobStop && (!outcome.stopped || progress.StepsBeforeStop() <= 0))
        return Fail("the run did not stop half-way", paths.folder);
    if (first || lap.seconds < result.run.seconds) {
        result.phases = clock.Phases();
        if (job == JobStop) {
            result.stepsBeforeStop = progress.StepsBeforeStop();
            result.settled = outcome.steps - progress.StepsBeforeStop();
            result.secondsPerStep = progress.WalkSeconds() / progress.StepsBeforeStop();
            result.settleSecondsPerFile = result.settled > 0 ? settleSeconds / result.settled : 0;
        }
    }
    KeepFastest(lap, first, result.run);
    result.steps = outcome.steps;
    return true;
}

// The same moves as the fresh job, each after the existence test of its target and followed
// by its log line, the paths and lines formed before the clock starts.
bool TimeFloor(const FolderPaths& paths, int fileCount, bool first, CaseResult& result)
{
    FileServices& fs = PlatformFileServices();
    std::vector<std::string> from(static_cast<size_t>(fileCount));
    std::vector<std::string> to(static_cast<size_t>(fileCount));
    std::vector<std::string> lines(static_cast<size_t>(fileCount));
    for (size_t i = 0; i < from.size(); ++i) {
        char source[kBenchNameSize];
        char target[kBenchNameSize];
        SourceName(JobFresh, static_cast<int>(i), source);
        TargetName(static_cast<int>(i), target);
        from[i] = paths.folder + fs.Separator() + source;
        to[i] = paths.folder + fs.Separator() + target;
        lines[i] = std::string(source) + "\t->\t" + target + "\r\n";
    }

    LogHandle log = fs.CreateLog(paths.log.c_str(), 0);
    if (log == nullptr)
        return Fail("the floor could not create its log", paths.folder);
    bool moved = true;
    Stopwatch stopwatch;
    for (size_t i = 0; i < from.size(); ++i) {
        int error = 0;
        if (fs.Exists(to[i].c_str()) || fs.Move(from[i].c_str(), to[i].c_str(), error) != MoveDone ||
            !fs.WriteLog(log, lines[i].data(), static_cast<int>(lines[i].size())))
            moved = false;
    }
    Lap lap = stopwatch.Read();
    fs.CloseLog(log);
    if (!moved)
        return Fail("the floor could not move every file or write every line", paths.folder);
    KeepFastest(lap, first, result.floor);
    return true;
}

// The moves and lines of the run's own log, replayed on a fresh folder like the run's with
// nothing else in between: what the file system's part of the run costs, without the
// engine's work and without the moves the run tried and found taken. The folder is listed
// first, as a run lists it, so that each move names the file as the run's moves do.
bool TimeReplay(BenchJob job, const FolderPaths& runPaths, const FolderPaths& paths, int fileCount, bool first,
                CaseResult& result)
{
    FileServices& fs = PlatformFileServices();
    std::vector<LoggedStep> logged;
    RenameLogParser parser(fs, &logged);
    if (!ReadRenameLog(runPaths.log.c_str(), fs, parser) || !parser.IsRenameLog())
        return Fail("the run's log could not be read back", runPaths.folder);
    std::vector<FileId> ids;
    if (!MakeFolderOfFiles(paths.folder, job, fileCount, ids))
        return false;
    std::string mask = paths.folder + fs.Separator() + "*";
    FoundFile found;
    if (SearchHandle search = fs.FindFirst(mask.c_str(), found))
        fs.FindClose(search);

    std::vector<std::string> from(logged.size());
    std::vector<std::string> to(logged.size());
    std::vector<std::string> lines(logged.size());
    for (size_t i = 0; i < logged.size(); ++i) {
        from[i] = paths.folder + fs.Separator() + logged[i].from;
        to[i] = paths.folder + fs.Separator() + logged[i].to;
        lines[i] = logged[i].from + "\t->\t" + logged[i].to + "\r\n";
    }
    LogHandle log = fs.CreateLog(paths.log.c_str(), 0);
    bool moved = log != nullptr;
    Stopwatch stopwatch;
    for (size_t i = 0; i < logged.size() && moved; ++i) {
        int error = 0;
        moved = fs.Move(from[i].c_str(), to[i].c_str(), error) == MoveDone &&
                fs.WriteLog(log, lines[i].data(), static_cast<int>(lines[i].size()));
    }
    Lap lap = stopwatch.Read();
    if (log != nullptr)
        fs.CloseLog(log);
    bool removed = RemoveFolder(paths.folder) && RemoveFile(paths.log);
    if (!moved)
        return Fail("the run's steps could not be replayed", paths.folder);
    KeepFastest(lap, first, result.replay);
    return removed;
}

bool TimeFloorOnFreshFolder(const FolderPaths& paths, int fileCount, bool first, CaseResult& result)
{
    std::vector<FileId> ids;
    if (!MakeFolderOfFiles(paths.folder, JobFresh, fileCount, ids))
        return false;
    bool floored = TimeFloor(paths, fileCount, first, result);
    bool removed = RemoveFolder(paths.folder) && RemoveFile(paths.log);
    return floored && removed;
}

}  // namespace

bool RunCase(BenchJob job, int fileCount, int repeat, const std::string& dir, CaseResult& result)
{
    result = CaseResult();
    // Taken before the baseline and kept to the end, so the first run finds no freed heap
    // to reuse and its memory is measured whole.
    std::vector<FileId> ids;
    ids.reserve(static_cast<size_t>(fileCount));
    std::vector<int> expected = ExpectedSources(job, fileCount);
    FolderPaths runPaths(dir, "run", job, fileCount);
    FolderPaths floorPaths(dir, "floor", job, fileCount);
    FolderPaths replayPaths(dir, "replay", job, fileCount);

    // Run and floor take turns at going first, so that a machine growing busier or quieter
    // over the case weighs on both alike.
    for (int r = 0; r < repeat; ++r) {
        bool floorFirst = r % 2 == 1;
        if (floorFirst && !TimeFloorOnFreshFolder(floorPaths, fileCount, r == 0, result))
            return false;
        if (!MakeFolderOfFiles(runPaths.folder, job, fileCount, ids))
            return false;
        bool ran = TimeRun(job, runPaths, ids, expected, r == 0, result) &&
                   TimeReplay(job, runPaths, replayPaths, fileCount, r == 0, result);
        bool removed = RemoveFolder(runPaths.folder) && RemoveFile(runPaths.log) && RemoveFolder(runPaths.history);
        if (!ran || !removed)
            return false;
        if (!floorFirst && !TimeFloorOnFreshFolder(floorPaths, fileCount, r == 0, result))
            return false;
    }
    return true;
}
