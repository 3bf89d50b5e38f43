#ifndef QUILLOWBY_BENCH_BENCH_OPTIONS_H
#define QUILLOWBY_BENCH_BENCH_OPTIONS_H

#include "bench/BenchJobs.h"

#include <string>
#include <vector>

struct BenchOptions
{
    // 1,000, 10,000 and 100,000 files, every job and the ordering, three repetitions, when
    // not given.
    std::vector<int> fileCounts;
    std::vector<BenchJob> jobs;
    bool ordering;
    // The preview of the fresh job's run.
    bool preview;
    // The preview of a run in the date-taken order over small photos.
    bool taken;
    // Where the folders are made; empty: a fresh folder under the system's temporary folder.
    std::string dir;
    int repeat;
    // "--child": this process runs the one case its options name for another benchmark
    // process (on Windows, which cannot fork), printing its result line alone.
    bool child;
};

// --files N and --job J may each come more than once; "--job ordering" asks for the
// ordering times, "--job preview" for the preview's. False, with a message on stderr, on
// anything else than the options the usage names.
bool ParseOptions(int argc, char** argv, BenchOptions& options);
void PrintUsage();

#endif
