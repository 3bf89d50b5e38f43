#include "engine/OrderDates.h"

#include "core/CountedString.h"
#include "engine/FileEntry.h"
#include "engine/FileServices.h"
#include "engine/Ordering.h"
#include "engine/RunProgress.h"

#include <string>

namespace {

// The last-write time as the listing gave it or, where it gave none, as the file system says
// (left at 1970 when it cannot be told), in local clock time.
void UseWriteTime(FileEntry& entry, const std::string& path, FileServices& fs)
{
    WriteTime written = WriteTime{entry.dateSeconds, entry.dateNanoseconds};
    if ((entry.dateFlags & DateWriteTimeListed) == 0) {
        bool offline = false;
        if (!fs.LastWriteTime(path.c_str(), written, offline))
            written = WriteTime();
    }
    entry.dateSeconds = fs.LocalClock(written.seconds);
    entry.dateNanoseconds = written.nanoseconds;
}

}  // namespace

bool GatherOrderDates(EntryList& list, int32_t order, FileServices& fs, RunProgress* progress)
{
    if (!IsDateOrder(order))
        return true;
    std::string path;
    for (int n = 0; n < list.Count(); ++n) {
        if (progress && !progress->ContinueReading(n, list.Count()))
            return false;
        FileEntry& entry = *list.At(n)->entry;
        path.assign(entry.folder.Data());
        path += entry.currentName;
        UseWriteTime(entry, path, fs);
    }
    return true;
}
