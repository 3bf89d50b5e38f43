#ifndef QUILLOWBY_BENCH_TAKEN_TIMING_H
#define QUILLOWBY_BENCH_TAKEN_TIMING_H

#include "bench/Stopwatch.h"

#include <string>

struct TakenResult
{
    TakenResult() : peakKb(0) {}

    // The fastest of the repetitions, wall and processor time each on its own.
    Lap preview;
    Lap floor;
    // The same preview with names that write the date: "<date>_?".
    Lap dated;
    // Resident memory the first preview added to what the process held before it.
    long peakKb;
};

// Makes a folder of fileCount small JPEG files under dir, each with the date it was taken
// in its Exif block (about four files share each date), and times the preview of a run in
// the date-taken order, oldest first, `repeat` times against the floor on the same folder:
// the listing and one open, one read of the first 4 KB and one close per file; and the
// preview of the same run with names that write each file's day, numbered from 0 again every
// day. False, with a message on stderr, when the folder cannot be made or read, or a preview
// differs from the order of the dates written.
bool TimeTaken(int fileCount, int repeat, const std::string& dir, TakenResult& result);

#endif
