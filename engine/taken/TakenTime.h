#ifndef QUILLOWBY_ENGINE_TAKEN_TAKEN_TIME_H
#define QUILLOWBY_ENGINE_TAKEN_TAKEN_TIME_H

#include <cstdint>

// What the date-taken reader and its parts share: the file's head they read and the date
// they find.

// A file's bytes read at chosen offsets. The reader keeps to a budget of bytes in all.
class HeadSource
{
public:
    // Bytes read into buffer (fewer near the end), 0 at the end, -1 on an error.
    virtual int ReadAt(uint64_t offset, void* buffer, int size) = 0;
    // The file's size in bytes.
    virtual uint64_t Size() const = 0;

protected:
    ~HeadSource() {}
};

// At most this many bytes read in all per file.
const int kDateReadBudget = 256 * 1024;

enum TakenKind
{
    TakenNone,
    TakenLocalClock,
    TakenWithOffset,
    TakenUtc
};

struct TakenTime
{
    // TakenNone: no usable date in the file.
    TakenKind kind;
    // The clock time as written, counted in seconds from 1970-01-01 00:00:00 as if it were UTC
    // (TakenLocalClock: the camera's clock, no offset; TakenWithOffset: the camera's clock,
    // and offsetMinutes says how far it is ahead of UTC; TakenUtc: a UTC time, e.g. a video's).
    int64_t seconds;
    int32_t offsetMinutes;
    // The fraction of the second from SubSecTime*, 0 when none.
    int32_t nanoseconds;
};

#endif
