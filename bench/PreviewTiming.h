#ifndef QUILLOWBY_BENCH_PREVIEW_TIMING_H
#define QUILLOWBY_BENCH_PREVIEW_TIMING_H

#include "bench/Stopwatch.h"

#include <string>

class RenameJob;
class RunPreview;

struct PreviewResult
{
    PreviewResult() : peakKb(0) {}

    // The fastest preview of the repetitions (wall and processor time each on its own) and
    // the first one.
    Lap preview;
    Lap firstPreview;
    // Resident memory the first preview added to what the process held before it.
    long peakKb;
};

// Makes a folder of the fresh job's fileCount files under dir and previews its run `repeat`
// times: the listing, ordering and numbering the window's preview waits for. False, with a
// message on stderr, when the folder cannot be made, a preview differs from the names the
// run would give, or the folder changed. Meant for a fresh process, like a case of runs.
bool TimePreview(int fileCount, int repeat, const std::string& dir, PreviewResult& result);

// Times one preview of job's run into preview. The first of a series (first) also measures
// the resident memory it adds to what the process held before it, into peakKb.
Lap TimeOnePreview(const RenameJob& job, bool first, long& peakKb, RunPreview& preview);

#endif
