#include "bench/BenchJobs.h"

#include "engine/RenameJob.h"
#include "engine/order/Ordering.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

static const char* const kJobNames[kBenchJobCount] = {"fresh", "shift", "reverse", "stop"};

const char* JobName(BenchJob job)
{
    return kJobNames[job];
}

bool JobFromName(const char* name, BenchJob& job)
{
    for (int i = 0; i < kBenchJobCount; ++i) {
        if (std::strcmp(name, kJobNames[i]) == 0) {
            job = static_cast<BenchJob>(i);
            return true;
        }
    }
    return false;
}

void SourceName(BenchJob job, int index, char* name)
{
    if (job == JobFresh)
        std::snprintf(name, kBenchNameSize, "img_%d.jpg", index);
    else
        TargetName(index, name);
}

void TargetName(int number, char* name)
{
    std::snprintf(name, kBenchNameSize, "%06d.jpg", number);
}

void SetUpJob(BenchJob job, const std::string& folder, const std::string& logPath, RenameJob& renameJob)
{
    renameJob.folder = folder.c_str();
    renameJob.logPath = logPath.c_str();
    renameJob.mask = "*.*";
    renameJob.SplitPattern("?");
    renameJob.padDigits = 1;
    renameJob.digitCount = 6;
    renameJob.startNumber = FirstNumber(job);
    renameJob.order = job == JobReverse ? NameDescending : NameAscending;
}

int FirstNumber(BenchJob job)
{
    return job == JobShift || job == JobStop ? 1 : 0;
}

std::vector<int> ExpectedSources(BenchJob job, int fileCount)
{
    std::vector<int> sources(static_cast<size_t>(fileCount));
    for (int i = 0; i < fileCount; ++i)
        sources[static_cast<size_t>(i)] = job == JobReverse ? fileCount - 1 - i : i;
    if (job == JobFresh) {
        // All names share "img_" and ".jpg", so name order is the byte order of the
        // decimal index: img_1 < img_10 < img_2.
        std::sort(sources.begin(), sources.end(), [](int a, int b) {
            char x[kBenchNameSize], y[kBenchNameSize];
            std::snprintf(x, sizeof x, "%d", a);
            std::snprintf(y, sizeof y, "%d", b);
            return std::strcmp(x, y) < 0;
        });
    }
    return sources;
}
