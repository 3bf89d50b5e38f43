#ifndef QUILLOWBY_BENCH_CASE_RUNNER_H
#define QUILLOWBY_BENCH_CASE_RUNNER_H

#include "bench/BenchJobs.h"
#include "bench/PhaseClock.h"
#include "bench/Stopwatch.h"

#include <string>

struct CaseResult
{
    CaseResult() : peakKb(0), steps(0), stepsBeforeStop(0), settled(0), secondsPerStep(0), settleSecondsPerFile(0) {}

    // The fastest whole run and the fastest floor of the repetitions (wall and processor
    // time each on its own), and the stages of the run fastest on the wall clock. Later runs
    // reuse the heap the first one freed, as a program's later runs do; the first run alone
    // pays for bringing every entry's memory in.
    Lap run;
    Lap firstRun;
    Lap floor;
    // The run's own moves and log lines replayed with nothing else: the file system's part.
    Lap replay;
    RunPhases phases;
    // Resident memory the first run added to what the process held before it.
    long peakKb;
    // Log lines after the header.
    int steps;
    // The stop job, of the run fastest on the wall clock: the steps its walk took before the
    // stop, the files the stop then settled (each one log line), the walk's seconds per step
    // and the settling's seconds per file, the log's closing included.
    int stepsBeforeStop;
    int settled;
    double secondsPerStep;
    double settleSecondsPerFile;
};

// Repeats, each time on a fresh folder of fileCount files under dir: a whole run of the job,
// log included, and the floor: one existence test, one move that never replaces and one log
// line per file, through the same platform services, nothing else; and the run's steps
// replayed from its log on a fresh folder. False, with a message on stderr, when a
// folder cannot be made or a run leaves anything but the expected files.
// Meant for a fresh process: the first run's memory is measured against what the process
// holds when it starts.
bool RunCase(BenchJob job, int fileCount, int repeat, const std::string& dir, CaseResult& result);

#endif
