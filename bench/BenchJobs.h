#ifndef QUILLOWBY_BENCH_BENCH_JOBS_H
#define QUILLOWBY_BENCH_BENCH_JOBS_H

#include <string>
#include <vector>

class RenameJob;

// The kinds of folder the benchmark renumbers:
//   fresh    img_0.jpg, img_1.jpg ... numbered from 0 in name order; no target is taken;
//   shift    000000.jpg ... numbered from 1: every target is held by the next file, so
//            nearly every file goes through a temporary name;
//   reverse  000000.jpg ... numbered from 0 in descending name order: the first half goes
//            through temporary names, the second half finds its targets freed;
//   stop     the shift job's folder, its run stopped after half of its steps, when every
//            file but the last waits under a temporary name with its new name free: the
//            stop settles them all.
enum BenchJob
{
    JobFresh,
    JobShift,
    JobReverse,
    JobStop
};

const int kBenchJobCount = 4;
// Room for every name the benchmark makes.
const int kBenchNameSize = 32;

const char* JobName(BenchJob job);
bool JobFromName(const char* name, BenchJob& job);

// The name of file `index` of the job's folder before the run.
void SourceName(BenchJob job, int index, char* name);
// The name a run gives the file numbered `number`.
void TargetName(int number, char* name);

// The run's settings: the job over folder (typed without a final separator), every file,
// pattern "?", six digits filled with zeros.
void SetUpJob(BenchJob job, const std::string& folder, const std::string& logPath, RenameJob& renameJob);

// The first number the job gives, and for each number from there, the index of the source
// file that must end under it.
int FirstNumber(BenchJob job);
std::vector<int> ExpectedSources(BenchJob job, int fileCount);

#endif
