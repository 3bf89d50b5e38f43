// Times whole renaming runs over large folders against the file system's own floor: the
// bare existence tests and moves that any run must make. Each case runs in a process of
// its own, so that its peak memory is its own.
#include "bench/BenchFolder.h"
#include "bench/BenchOptions.h"
#include "bench/CaseRunner.h"
#include "bench/PreviewTiming.h"
#include "bench/SortTiming.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef QUILLOWBY_BENCH_BUILD
#define QUILLOWBY_BENCH_BUILD "unknown"
#endif

static bool PrepareDir(BenchOptions& options, bool& madeHere)
{
    madeHere = options.dir.empty();
    if (madeHere) {
        const char* temp = std::getenv("TMPDIR");
        std::string pattern = std::string(temp && temp[0] ? temp : "/tmp") + "/quillowby-bench-XXXXXX";
        std::vector<char> path(pattern.begin(), pattern.end());
        path.push_back('\0');
        if (mkdtemp(path.data()) == nullptr) {
            std::fprintf(stderr, "bench: cannot create a folder in %s: %s\n", pattern.c_str(), std::strerror(errno));
            return false;
        }
        options.dir = path.data();
        return true;
    }
    if (mkdir(options.dir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "bench: cannot create %s: %s\n", options.dir.c_str(), std::strerror(errno));
        return false;
    }
    struct stat info;
    if (stat(options.dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "bench: not a folder: %s\n", options.dir.c_str());
        return false;
    }
    return true;
}

static bool PrintCase(BenchJob job, int fileCount, int repeat, const std::string& dir)
{
    CaseResult result;
    if (!RunCase(job, fileCount, repeat, dir, result))
        return false;
    std::printf("job=%s files=%d seconds=%.3f floor_seconds=%.3f ratio=%.2f peak_rss_kb=%ld bytes_per_file=%ld "
                "cpu_seconds=%.3f floor_cpu_seconds=%.3f cpu_ratio=%.2f first_run_seconds=%.3f first_run_ratio=%.2f "
                "steps=%d list_seconds=%.3f order_seconds=%.4f number_seconds=%.3f walk_seconds=%.3f\n",
                JobName(job), fileCount, result.run.seconds, result.floor.seconds,
                result.run.seconds / result.floor.seconds, result.peakKb, result.peakKb * 1024 / fileCount,
                result.run.cpuSeconds, result.floor.cpuSeconds, result.run.cpuSeconds / result.floor.cpuSeconds,
                result.firstRun.seconds, result.firstRun.seconds / result.floor.seconds, result.steps,
                result.phases.list, result.phases.order, result.phases.number, result.phases.walk);
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
    std::printf("preview files=%d seconds=%.3f cpu_seconds=%.3f first_seconds=%.3f peak_rss_kb=%ld bytes_per_file=%ld\n",
                fileCount, result.preview.seconds, result.preview.cpuSeconds, result.firstPreview.seconds,
                result.peakKb, result.peakKb * 1024 / fileCount);
    return true;
}

// Runs one case in a child process; false when it failed or crashed.
template <typename Case>
static bool InChild(const char* what, Case runCase)
{
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "bench: cannot start a process: %s\n", std::strerror(errno));
        return false;
    }
    if (child == 0) {
        bool done = runCase();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(done ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::fprintf(stderr, "bench: lost %s: %s\n", what, std::strerror(errno));
            return false;
        }
    }
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "bench: %s died of signal %d\n", what, WTERMSIG(status));
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench: %s failed\n", what);
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    BenchOptions options;
    if (!ParseOptions(argc, argv, options))
        return 2;
    bool madeHere = false;
    if (!PrepareDir(options, madeHere))
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
            allDone &= InChild(what, [&] { return PrintCase(job, fileCount, options.repeat, options.dir); });
        }
        if (options.ordering)
            allDone &= InChild("ordering", [&] { return PrintSorts(fileCount, options.repeat); });
        if (options.preview)
            allDone &= InChild("preview", [&] { return PrintPreview(fileCount, options.repeat, options.dir); });
    }

    if (madeHere)
        RemoveFolder(options.dir);
    return allDone ? 0 : 1;
}
