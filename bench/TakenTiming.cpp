#include "bench/TakenTiming.h"

#include "bench/BenchFolder.h"
#include "bench/BenchJobs.h"
#include "bench/ChildProcess.h"
#include "bench/PreviewTiming.h"
#include "engine/RenameJob.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool Fail(const char* what, const std::string& folder)
{
    std::fprintf(stderr, "bench: %s in %s\n", what, folder.c_str());
    return false;
}

// The second the file was taken, counted from 2019-05-01 10:00:00; about four files share each.
int TakenSecond(int index, int fileCount)
{
    int dates = std::max(1, fileCount / 4);
    return static_cast<int>(static_cast<int64_t>(index) * 7919 % dates);
}

// The day of May 2019 the file was taken.
int TakenDay(int second)
{
    return 1 + (36000 + second) / 86400;
}

void Put16(std::string& bytes, int value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, int value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, (value >> 16) & 0xFFFF);
}

// A small JPEG file as a camera writes one: its Exif block holds DateTimeOriginal, then
// comes the image data.
std::string TakenJpeg(int second)
{
    std::string tiff("II*\0", 4);
    Put32(tiff, 8);
    // IFD0: the pointer to the Exif IFD alone; then the Exif IFD with the date, then its text.
    Put16(tiff, 1);
    Put16(tiff, 0x8769);
    Put16(tiff, 4);
    Put32(tiff, 1);
    Put32(tiff, 26);
    Put32(tiff, 0);
    Put16(tiff, 1);
    Put16(tiff, 0x9003);
    Put16(tiff, 2);
    Put32(tiff, 20);
    Put32(tiff, 44);
    Put32(tiff, 0);
    char date[64];
    std::snprintf(date, sizeof date, "2019:05:%02d %02d:%02d:%02d", TakenDay(second), (36000 + second) / 3600 % 24,
                  second / 60 % 60, second % 60);
    tiff.append(date, 20);
    std::string jpeg("\xFF\xD8\xFF\xE1", 4);
    int length = 2 + 6 + static_cast<int>(tiff.size());
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg.append("Exif\0\0", 6);
    jpeg += tiff;
    jpeg.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    jpeg.append(200, '\x55');
    jpeg.append("\xFF\xD9", 2);
    return jpeg;
}

// Row i names the file whose date comes i-th, equal dates in the order of the files'
// numbers, and the name the run gives it: its number, or with dated names its day and its
// number within that day.
bool CheckPreview(const RunPreview& preview, int fileCount, bool dated, const std::string& folder)
{
    std::vector<int> expected(static_cast<size_t>(fileCount));
    for (int i = 0; i < fileCount; ++i)
        expected[static_cast<size_t>(i)] = i;
    std::stable_sort(expected.begin(), expected.end(),
                     [fileCount](int a, int b) { return TakenSecond(a, fileCount) < TakenSecond(b, fileCount); });
    if (preview.outcome.refusal != RefusalNone || preview.RowCount() != fileCount)
        return Fail("the preview did not list every file", folder);
    int day = 0, ofDay = 0;
    for (int row = 0; row < fileCount; ++row) {
        char source[kBenchNameSize], target[kBenchNameSize];
        SourceName(JobFresh, expected[static_cast<size_t>(row)], source);
        TargetName(FirstNumber(JobFresh) + row, target);
        const int rowDay = TakenDay(TakenSecond(expected[static_cast<size_t>(row)], fileCount));
        ofDay = rowDay == day ? ofDay + 1 : 0;
        day = rowDay;
        if (dated)
            std::snprintf(target, sizeof target, "201905%02d_%06d.jpg", day, ofDay);
        if (std::strcmp(source, preview.CurrentName(row)) != 0 || std::strcmp(target, preview.NewName(row)) != 0 ||
            preview.RowDateIsModified(row))
            return Fail("a row of the preview differs from the order of the dates taken", folder);
    }
    return true;
}

bool TimePreview(const RenameJob& job, int fileCount, const std::string& folder, bool first, TakenResult& result)
{
    RunPreview preview;
    KeepFastest(TimeOnePreview(job, first, result.peakKb, preview), first, result.preview);
    if (!CheckPreview(preview, fileCount, false, folder))
        return false;
    // Its memory is the plain preview's; only its time is kept.
    RenameJob dated;
    SetUpJob(JobFresh, folder, folder + ".log", dated);
    dated.order = job.order;
    dated.SplitPattern("<\x93\xfa\x95\x74>_?");
    long peakKb = 0;
    KeepFastest(TimeOnePreview(dated, false, peakKb, preview), first, result.dated);
    return CheckPreview(preview, fileCount, true, folder);
}

bool TimeFloor(int fileCount, const std::string& folder, bool first, TakenResult& result)
{
    Stopwatch stopwatch;
    int filesRead = ReadFileStarts(folder);
    KeepFastest(stopwatch.Read(), first, result.floor);
    return filesRead == fileCount || Fail("the floor did not read every file", folder);
}

}  // namespace

bool TimeTaken(int fileCount, int repeat, const std::string& dir, TakenResult& result)
{
    result = TakenResult();
    char name[96];
    std::snprintf(name, sizeof name, "%ctaken-%d-%d", PathSeparator(), fileCount, ProcessId());
    std::string folder = dir + name;
    if (!MakeFolderOfContents(folder, JobFresh, fileCount,
                              [fileCount](int index) { return TakenJpeg(TakenSecond(index, fileCount)); }))
        return false;
    RenameJob job;
    SetUpJob(JobFresh, folder, folder + ".log", job);
    job.order = TakenAscending;

    // Preview and floor take turns at going first.
    bool timed = true;
    for (int r = 0; r < repeat && timed; ++r) {
        bool first = r == 0;
        if (r % 2 == 0)
            timed = TimePreview(job, fileCount, folder, first, result) && TimeFloor(fileCount, folder, first, result);
        else
            timed = TimeFloor(fileCount, folder, first, result) && TimePreview(job, fileCount, folder, first, result);
    }
    if (timed && CountNames(folder) != fileCount)
        timed = Fail("the preview changed the folder", folder);
    return RemoveFolder(folder) && timed;
}
