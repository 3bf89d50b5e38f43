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

// -1, 0 or +1 by the order's first part, then by the other; reversed for the descending orders.
int32_t CompareKeys(const char* nameA, const SortKey& a, const char* nameB, const SortKey& b, int32_t order)
{
    bool byExt = order == ExtAscending || order == ExtDescending;
    int32_t c = byExt ? CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength)
                      : CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength);
    if (c == 0)
        c = byExt ? CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength)
                  : CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength);
    return (order == ExtDescending || order == NameDescending) ? -c : c;
}

void LocateKey(const char* name, const FileServices& fs, SortKey& key)
{
    int stemStart = 0, extStart = 0;
    LocateNameParts(name, fs, stemStart, extStart);
    key.stemStart = stemStart;
    key.stemLength = extStart - stemStart;
    key.extStart = extStart;
    key.extLength = static_cast<int>(std::strlen(name)) - extStart;
}

class KeyLess
{
public:
    KeyLess(int32_t order, const char* names) : order(order), names(names) {}

    bool operator()(const SortKey& a, const SortKey& b) const
    {
        return CompareKeys(names + a.name, a, names + b.name, b, order) < 0;
    }

private:
    int32_t order;
    const char* names;
};

}  // namespace

int32_t CompareEntries(const FileEntry& a, const FileEntry& b, int32_t order, const FileServices& fs)
{
    if (order < ExtAscending || order > NameDescending)
        return 0;
    SortKey keyA = SortKey(), keyB = SortKey();
    LocateKey(a.currentName, fs, keyA);
    LocateKey(b.currentName, fs, keyB);
    return CompareKeys(a.currentName, keyA, b.currentName, keyB, order);
}

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
        LocateKey(name, fs, key);
        key.name = names.size();
        names.insert(names.end(), name, name + key.extStart + key.extLength);
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

void ShuffleEntries(EntryIndex& index, uint32_t& state)
{
    int n = index.Count();
    for (int i = 0; i < n; ++i) {
        int j = NextRandom(state) % n;
        index.Exchange(i, j);
    }
}
