#include "bench/PreviewTiming.h"

#include "bench/BenchFolder.h"
#include "bench/BenchJobs.h"
#include "bench/ChildProcess.h"
#include "bench/ProcessMemory.h"
#include "engine/RenameJob.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool Fail(const char* what, const std::string& folder)
{
    std::fprintf(stderr, "bench: %s in %s\n", what, folder.c_str());
    return false;
}

// Row i names the source file that the run numbers i, and the name it gives it.
bool CheckPreview(const RunPreview& preview, const std::vector<int>& expected, const std::string& folder)
{
    if (preview.outcome.refusal != RefusalNone || preview.RowCount() != static_cast<int>(expected.size()))
        return Fail("the preview did not list every file", folder);
    for (int row = 0; row < preview.RowCount(); ++row) {
        char source[kBenchNameSize], target[kBenchNameSize];
        SourceName(JobFresh, expected[static_cast<size_t>(row)], source);
        TargetName(FirstNumber(JobFresh) + row, target);
        if (std::strcmp(source, preview.CurrentName(row)) != 0 || std::strcmp(target, preview.NewName(row)) != 0)
            return Fail("a row of the preview differs from what the run would do", folder);
    }
    return true;
}

}  // namespace

Lap TimeOnePreview(const RenameJob& job, bool first, long& peakKb, RunPreview& preview)
{
    long baseKb = 0;
    if (first) {
        ResetPeakResident();
        baseKb = ResidentKb();
    }
    Stopwatch stopwatch;
    PreviewRun(job, PlatformFileServices(), randomState, preview);
    Lap lap = stopwatch.Read();
    if (first)
        peakKb = PeakResidentKb() - baseKb;
    return lap;
}

bool TimePreview(int fileCount, int repeat, const std::string& dir, PreviewResult& result)
{
    result = PreviewResult();
    char name[96];
    std::snprintf(name, sizeof name, "/preview-%d-%d", fileCount, ProcessId());
    std::string folder = dir + name;
    std::vector<FileId> ids;
    if (!MakeFolderOfFiles(folder, JobFresh, fileCount, ids))
        return false;
    std::vector<int> expected = ExpectedSources(JobFresh, fileCount);
    RenameJob job;
    SetUpJob(JobFresh, folder, folder + ".log", job);

    bool previewed = true;
    for (int r = 0; r < repeat && previewed; ++r) {
        bool first = r == 0;
        RunPreview preview;
        Lap lap = TimeOnePreview(job, first, result.peakKb, preview);
        if (first)
            result.firstPreview = lap;
        KeepFastest(lap, first, result.preview);
        previewed = CheckPreview(preview, expected, folder);
    }
    if (previewed && CountNames(folder) != fileCount)
        previewed = Fail("the preview changed the folder", folder);
    return RemoveFolder(folder) && previewed;
}
