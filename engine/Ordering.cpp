#include "engine/Ordering.h"

#include "engine/AsciiFold.h"
#include "engine/FileEntry.h"
#include "engine/NewName.h"

#include <algorithm>
#include <cstring>
#include <vector>

uint32_t randomState = 1;

int32_t CompareNoCase(const char* a, const char* b)
{
    return CompareFolded(a, std::strlen(a), b, std::strlen(b));
}

static int32_t CompareParts(const char* stemA, const char* extA, const char* stemB, const char* extB,
                            int32_t order)
{
    int32_t c = 0;
    switch (order) {
    case ExtAscending:
    case ExtDescending:
        c = CompareNoCase(extA, extB);
        if (c == 0)
            c = CompareNoCase(stemA, stemB);
        break;
    case NameAscending:
    case NameDescending:
        c = CompareNoCase(stemA, stemB);
        if (c == 0)
            c = CompareNoCase(extA, extB);
        break;
    default:
        return 0;
    }
    return (order == ExtDescending || order == NameDescending) ? -c : c;
}

int32_t CompareEntries(const FileEntry& a, const FileEntry& b, int32_t order, const FileServices& fs)
{
    char stemA[kNameSize], extA[kNameSize], stemB[kNameSize], extB[kNameSize];
    SplitFileName(a.currentName, stemA, extA, fs);
    SplitFileName(b.currentName, stemB, extB, fs);
    return CompareParts(stemA, extA, stemB, extB, order);
}

namespace {

// An entry with its name's parts located once. The names are copied side by side into one
// buffer, so that comparing reads a few neighbouring bytes: read inside the entries, which lie
// over a kilobyte apart, tens of thousands of names cost more in cache misses than in comparing.
struct SortKey
{
    FileEntry* entry;
    size_t name;  // where the name starts in the buffer
    int stemStart;
    int stemLength;
    int extStart;
    int extLength;
};

class KeyLess
{
public:
    KeyLess(int32_t order, const char* names) : order(order), names(names) {}

    bool operator()(const SortKey& a, const SortKey& b) const
    {
        const char* nameA = names + a.name;
        const char* nameB = names + b.name;
        bool byExt = order == ExtAscending || order == ExtDescending;
        int32_t c = byExt ? CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength)
                          : CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength);
        if (c == 0)
            c = byExt ? CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength)
                      : CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength);
        if (order == ExtDescending || order == NameDescending)
            c = -c;
        return c < 0;
    }

private:
    int32_t order;
    const char* names;
};

}  // namespace

void SortEntries(EntryIndex& index, int32_t order, const FileServices& fs)
{
    if (order < ExtAscending || order > NameDescending || index.Count() < 2)
        return;

    std::vector<SortKey> keys(static_cast<size_t>(index.Count()));
    std::vector<char> names;
    for (int i = 0; i < index.Count(); ++i) {
        SortKey& key = keys[static_cast<size_t>(i)];
        key.entry = &index.EntryAt(i);
        const char* name = key.entry->currentName;
        int stemStart = 0, extStart = 0;
        LocateNameParts(name, fs, stemStart, extStart);
        int length = static_cast<int>(std::strlen(name));
        key.name = names.size();
        key.stemStart = stemStart;
        key.stemLength = extStart - stemStart;
        key.extStart = extStart;
        key.extLength = length - extStart;
        names.insert(names.end(), name, name + length);
    }
    std::stable_sort(keys.begin(), keys.end(), KeyLess(order, names.data()));
    for (int i = 0; i < index.Count(); ++i)
        index.Slot(i)->entry = keys[static_cast<size_t>(i)].entry;
}

int32_t NextRandom(uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

int32_t NextRandom()
{
    return NextRandom(randomState);
}

void ShuffleEntries(EntryIndex& index, uint32_t& state)
{
    int n = index.Count();
    for (int i = 0; i < n; ++i) {
        int j = NextRandom(state) % n;
        index.Exchange(i, j);
    }
}
