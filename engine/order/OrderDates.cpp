#include "engine/order/OrderDates.h"

#include "core/CountedString.h"
#include "engine/FileEntry.h"
#include "engine/RunProgress.h"
#include "engine/order/Ordering.h"
#include "engine/platform/FileServices.h"
#include "engine/taken/DateTaken.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The last-write time as the listing gave it or, where it gave none, as the file system says
// (left at 1970 when it cannot be told), in local clock time.
void UseWriteTime(FileEntry& entry, const std::string& path, FileServices& fs)
{
    WriteTime written = WriteTime{entry.dateSeconds, entry.dateNanoseconds};
    if ((entry.dateFlags & DateWriteTimeKnown) == 0) {
        bool offline = false;
        if (!fs.LastWriteTime(path.c_str(), written, offline))
            written = WriteTime();
    }
    entry.dateSeconds = fs.LocalClock(written.seconds);
    entry.dateNanoseconds = written.nanoseconds;
}

// The bytes of a file's start read at once: a camera's date mostly lies within them, and the
// reader's many small reads there then cost no call each.
const int kStartSize = 4096;

// A file open for reading as the date reader sees it. No more than the reader's budget is
// read from the file in all, its start included.
class OpenHead final : public HeadSource
{
public:
    OpenHead(FileServices& fs, ReadHandle file, uint64_t size, char* start)
        : fs(fs), file(file), size(size), start(start), startLength(-1), left(kDateReadBudget)
    {
    }

    int ReadAt(uint64_t offset, void* buffer, int count) override
    {
        if (startLength < 0)
            startLength = std::max(Fetch(0, start, kStartSize), 0);
        if (offset <= static_cast<uint64_t>(startLength) && count <= startLength - static_cast<int>(offset)) {
            std::memcpy(buffer, start + offset, static_cast<size_t>(count));
            return count;
        }
        return Fetch(offset, buffer, count);
    }

    uint64_t Size() const override { return size; }

private:
    int Fetch(uint64_t offset, void* buffer, int count)
    {
        if (count > left)
            return -1;
        int read = fs.ReadAt(file, offset, buffer, count);
        if (read > 0)
            left -= read;
        return read;
    }

    FileServices& fs;
    ReadHandle file;
    uint64_t size;
    char* start;
    int startLength;
    int left;
};

// Seconds of local clock time.
int64_t LocalTimeTaken(const TakenTime& taken, FileServices& fs)
{
    switch (taken.kind) {
    case TakenWithOffset:
        return fs.LocalClock(taken.seconds - static_cast<int64_t>(taken.offsetMinutes) * 60);
    case TakenUtc:
        return fs.LocalClock(taken.seconds);
    case TakenLocalClock:
    case TakenNone:
        break;
    }
    return taken.seconds;
}

// The date the camera or phone stored in the file; false when it has none that can be read.
// The last-write time learnt on the way is kept, so that it is not asked for again.
bool UseDateTaken(FileEntry& entry, const std::string& path, FileServices& fs, char* start)
{
    uint64_t size = 0;
    WriteTime written;
    ReadHandle file = fs.OpenReadWithInfo(path.c_str(), size, written);
    if (file == nullptr)
        return false;
    if ((entry.dateFlags & DateWriteTimeKnown) == 0) {
        entry.dateSeconds = written.seconds;
        entry.dateNanoseconds = written.nanoseconds;
        entry.dateFlags |= DateWriteTimeKnown;
    }
    OpenHead head(fs, file, size, start);
    TakenTime taken = TakenTime();
    bool found = ReadDateTaken(head, taken) && taken.kind != TakenNone;
    fs.CloseRead(file);
    if (!found)
        return false;
    entry.dateSeconds = LocalTimeTaken(taken, fs);
    entry.dateNanoseconds = taken.nanoseconds;
    return true;
}

}  // namespace

bool GatherOrderDates(EntryList& list, int32_t order, FileServices& fs, RunProgress* progress)
{
    if (!IsDateOrder(order))
        return true;
    std::string path;
    std::vector<char> start(kStartSize);
    for (int n = 0; n < list.Count(); ++n) {
        if (progress && !progress->ContinueReading(n, list.Count()))
            return false;
        FileEntry& entry = *list.At(n)->entry;
        path.assign(entry.folder.Data(), static_cast<size_t>(entry.folder.Length()));
        path += entry.currentName;
        bool taken = false;
        if (IsTakenOrder(order)) {
            // Opening a file whose data is elsewhere would fetch it.
            taken = (entry.dateFlags & DateOffline) == 0 && UseDateTaken(entry, path, fs, start.data());
            if (!taken)
                entry.dateFlags |= DateModifiedStoodIn;
        }
        if (!taken)
            UseWriteTime(entry, path, fs);
    }
    return true;
}
