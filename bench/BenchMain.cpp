// Times whole renaming runs over large folders against the file system's own floor: a bare
// existence test, move and log line per file; and against the run's own steps replayed from
// its log with bare calls, which tells the engine's share from the file system's. Each case
// runs in a process of its own, so that its peak memory is its own.
#include "bench/BenchFolder.h"
#include "bench/BenchOptions.h"
#include "bench/CaseRunner.h"
#include "bench/ChildProcess.h"
#include "bench/PreviewTiming.h"
#include "bench/SortTiming.h"
#include "bench/TakenTiming.h"

#include <cstdio>
#include <string>
#include <vector>

#ifndef QUILLOWBY_BENCH_BUILD
#define QUILLOWBY_BENCH_BUILD "unknown"
#endif

static bool PrintCase(BenchJob job, int fileCount, int repeat, const std::string& dir)
{
    CaseResult result;
    if (!RunCase(job, fileCount, repeat, dir, result))
        return false;
    std::printf(
        "job=%s files=%d seconds=%.3f floor_seconds=%.3f ratio=%.2f peak_rss_kb=%ld bytes_per_file=%ld "
        "cpu_seconds=%.3f floor_cpu_seconds=%.3f cpu_ratio=%.2f first_run_seconds=%.3f first_run_ratio=%.2f "
        "steps=%d replay_seconds=%.3f replay_ratio=%.2f list_seconds=%.3f order_seconds=%.4f number_seconds=%.3f walk_seconds=%.3f\n",
        JobName(job), fileCount, result.run.seconds, result.floor.seconds, result.run.seconds / result.floor.seconds,
        result.peakKb, result.peakKb * 1024 / fileCount, result.run.cpuSeconds, result.floor.cpuSeconds,
        result.run.cpuSeconds / result.floor.cpuSeconds, result.firstRun.seconds,
        result.firstRun.seconds / result.floor.seconds, result.steps, result.replay.seconds,
        result.replay.seconds / result.floor.seconds, result.phases.list, result.phases.order, result.phases.number,
        result.phases.walk);
    if (job == JobStop) {
        std::printf("job=stop files=%d stopped_after_steps=%d settled_files=%d step_seconds=%.7f "
                    "settle_seconds_per_file=%.7f settle_ratio=%.2f\n",
                    fileCount, result.stepsBeforeStop, result.settled, result.secondsPerStep,
                    result.settleSecondsPerFile, result.settleSecondsPerFile / result.secondsPerStep);
    }
    return true;
}

static bool PrintSorts(int fileCount, int repeat)
{
    SortTimes times;
    TimeSorts(fileCount, repeat, times);
    for (int order = 0; order < kSortedOrderCount; ++order)
        std::printf("sort order=%s files=%d seconds=%.4f\n", SortedOrderName(order), fileCount, times.seconds[order]);
    return true;
}

static bool PrintPreview(int fileCount, int repeat, const std::string& dir)
{
    PreviewResult result;
    if (!TimePreview(fileCount, repeat, dir, result))
        return false;
    std::printf(
        "preview files=%d seconds=%.3f cpu_seconds=%.3f first_seconds=%.3f peak_rss_kb=%ld bytes_per_file=%ld\n",
        fileCount, result.preview.seconds, result.preview.cpuSeconds, result.firstPreview.seconds, result.peakKb,
        result.peakKb * 1024 / fileCount);
    return true;
}

static bool PrintTaken(int fileCount, int repeat, const std::string& dir)
{
    TakenResult result;
    if (!TimeTaken(fileCount, repeat, dir, result))
        return false;
    std::printf("job=taken files=%d seconds=%.3f floor_seconds=%.3f ratio=%.2f peak_rss_kb=%ld bytes_per_file=%ld "
                "cpu_seconds=%.3f floor_cpu_seconds=%.3f cpu_ratio=%.2f dated_seconds=%.3f dated_ratio=%.2f\n",
                fileCount, result.preview.seconds, result.floor.seconds, result.preview.seconds / result.floor.seconds,
                result.peakKb, result.peakKb * 1024 / fileCount, result.preview.cpuSeconds, result.floor.cpuSeconds,
                result.preview.cpuSeconds / result.floor.cpuSeconds, result.dated.seconds,
                result.dated.seconds / result.floor.seconds);
    return true;
}

// The options that make a child process run one case: the folder, the repetitions, the
// file count and the job, or the ordering when job is null.
static std::vector<std::string> CaseOptions(const BenchOptions& options, int fileCount, const char* job)
{
    return {"--dir",    options.dir,
            "--repeat", std::to_string(options.repeat),
            "--files",  std::to_string(fileCount),
            "--job",    job ? job : "ordering"};
}

int main(int argc, char** argv)
{
    BenchOptions options;
    if (!ParseOptions(argc, argv, options))
        return 2;
    if (options.child) {
        int fileCount = options.fileCounts.front();
        if (options.ordering)
            return PrintSorts(fileCount, options.repeat) ? 0 : 1;
        if (options.preview)
            return PrintPreview(fileCount, options.repeat, options.dir) ? 0 : 1;
        if (options.taken)
            return PrintTaken(fileCount, options.repeat, options.dir) ? 0 : 1;
        return PrintCase(options.jobs.front(), fileCount, options.repeat, options.dir) ? 0 : 1;
    }
    bool madeHere = false;
    if (!PrepareBenchDir(options.dir, madeHere))
        return 1;

    std::printf("# build: %s; folders in %s; each case in a fresh process, %d runs: seconds and cpu_seconds (processor "
                "time) are the fastest, each on its own, first_run the first; peak_rss_kb: resident memory the first "
                "run added to the process\n",
                QUILLOWBY_BENCH_BUILD, options.dir.c_str(), options.repeat);
    bool allDone = true;
    for (int fileCount : options.fileCounts) {
        for (BenchJob job : options.jobs) {
            char what[64];
            std::snprintf(what, sizeof what, "case %s with %d files", JobName(job), fileCount);
            allDone &= InChild(what, CaseOptions(options, fileCount, JobName(job)),
                               [&] { return PrintCase(job, fileCount, options.repeat, options.dir); });
        }
        if (options.ordering) {
            allDone &= InChild("ordering", CaseOptions(options, fileCount, nullptr),
                               [&] { return PrintSorts(fileCount, options.repeat); });
        }
        if (options.preview) {
            allDone &= InChild("preview", CaseOptions(options, fileCount, "preview"),
                               [&] { return PrintPreview(fileCount, options.repeat, options.dir); });
        }
        if (options.taken) {
            allDone &= InChild("taken", CaseOptions(options, fileCount, "taken"),
                               [&] { return PrintTaken(fileCount, options.repeat, options.dir); });
        }
    }

    if (madeHere)
        RemoveFolder(options.dir);
    return allDone ? 0 : 1;
}
