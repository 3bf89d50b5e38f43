#include "bench/SortTiming.h"

#include "bench/Stopwatch.h"
#include "engine/FileEntry.h"
#include "engine/order/Ordering.h"
#include "engine/platform/FileServices.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

static const char* const kOrderNames[kSortedOrderCount] = {"ext-ascending", "name-ascending", "ext-descending",
                                                           "name-descending"};

const char* SortedOrderName(int order)
{
    return kOrderNames[order];
}

void TimeSorts(int fileCount, int repeat, SortTimes& times)
{
    static const char* const extensions[] = {".jpg", ".JPG", ".png", ".mov"};
    FileServices& fs = PlatformFileServices();

    std::vector<int> numbers(static_cast<size_t>(fileCount));
    for (int i = 0; i < fileCount; ++i)
        numbers[static_cast<size_t>(i)] = i;
    std::mt19937 generator(20250101u);
    std::shuffle(numbers.begin(), numbers.end(), generator);

    EntryList list;
    list.Reserve(fileCount);
    for (int i = 0; i < fileCount; ++i) {
        int number = numbers[static_cast<size_t>(i)];
        FoundFile found;
        found.isDirectory = false;
        found.unreachable = false;
        std::snprintf(found.name, sizeof found.name, "img_%d%s", number, extensions[number % 4]);
        EntryHandle* handle = NewEntryHandle("/photos/", fs);
        handle->entry->FillFromFindData(found);
        list.AddLast(handle);
    }

    EntryIndex index(list);
    std::vector<FileEntry*> shuffled(static_cast<size_t>(fileCount));
    for (int i = 0; i < fileCount; ++i)
        shuffled[static_cast<size_t>(i)] = &index.EntryAt(i);

    for (int order = 0; order < kSortedOrderCount; ++order) {
        times.seconds[order] = 0;
        for (int r = 0; r < repeat; ++r) {
            for (int i = 0; i < fileCount; ++i)
                index.Slot(i)->entry = shuffled[static_cast<size_t>(i)];
            double start = SecondsNow();
            SortEntries(index, order, fs);
            double seconds = SecondsNow() - start;
            if (r == 0 || seconds < times.seconds[order])
                times.seconds[order] = seconds;
        }
    }
    for (int i = 0; i < fileCount; ++i)
        ReleaseEntryHandle(list.At(i));
}
