#include "engine/order/Ordering.h"

#include "engine/FileEntry.h"
#include "engine/order/NaturalOrder.h"
#include "engine/platform/AsciiFold.h"
#include "engine/platform/NameParts.h"

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

// For the date orders the date goes beside the name, for the same reason.
struct DatedKey : SortKey
{
    int64_t seconds;
    int32_t nanoseconds;
};

// -1, 0 or +1 by the order's first part, then by the other; reversed for the descending orders.
int32_t CompareKeys(const char* nameA, const SortKey& a, const char* nameB, const SortKey& b, int32_t order)
{
    const OrderKind kind = KindOf(order);
    const bool byExt = kind.byExtension;
    int32_t c = byExt ? CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength)
                      : CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength);
    if (c == 0)
        c = byExt ? CompareFolded(nameA + a.stemStart, a.stemLength, nameB + b.stemStart, b.stemLength)
                  : CompareFolded(nameA + a.extStart, a.extLength, nameB + b.extStart, b.extLength);
    return kind.descending ? -c : c;
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
    KeyLess(int32_t order, const char* names, const FileServices&) : order(order), names(names) {}

    bool operator()(const SortKey& a, const SortKey& b) const
    {
        return CompareKeys(names + a.name, a, names + b.name, b, order) < 0;
    }

private:
    int32_t order;
    const char* names;
};

// Natural order reads the stem, then the extension, as the name order does, so that "a.jpg"
// goes before "a (2).jpg" in both; then the name order for names it finds equal, so that only
// names equal byte for byte but for letter case keep the listing's order.
int32_t CompareNaturalKeys(const char* nameA, const SortKey& a, const char* nameB, const SortKey& b,
                           const LeadBytes& lead)
{
    int32_t c = CompareNatural(nameA + a.stemStart, static_cast<size_t>(a.stemLength), nameB + b.stemStart,
                               static_cast<size_t>(b.stemLength), lead);
    if (c == 0)
        c = CompareNatural(nameA + a.extStart, static_cast<size_t>(a.extLength), nameB + b.extStart,
                           static_cast<size_t>(b.extLength), lead);
    return c != 0 ? c : CompareKeys(nameA, a, nameB, b, NameAscending);
}

// The date orders: by date and its fraction, then in natural order; the newest first is the
// whole of it reversed, so that a burst taken within one second counts down there too.
int32_t CompareDatedKeys(const char* nameA, const DatedKey& a, const char* nameB, const DatedKey& b, int32_t order,
                         const LeadBytes& lead)
{
    int32_t c = 0;
    if (a.seconds != b.seconds)
        c = a.seconds < b.seconds ? -1 : 1;
    else if (a.nanoseconds != b.nanoseconds)
        c = a.nanoseconds < b.nanoseconds ? -1 : 1;
    else
        c = CompareNaturalKeys(nameA, a, nameB, b, lead);
    return KindOf(order).descending ? -c : c;
}

class NaturalLess
{
public:
    NaturalLess(int32_t order, const char* names, const FileServices& fs)
        : descending(KindOf(order).descending), names(names), lead(fs)
    {
    }

    bool operator()(const SortKey& a, const SortKey& b) const
    {
        int32_t c = CompareNaturalKeys(names + a.name, a, names + b.name, b, lead);
        return descending ? c > 0 : c < 0;
    }

private:
    bool descending;
    const char* names;
    LeadBytes lead;
};

class DatedLess
{
public:
    DatedLess(int32_t order, const char* names, const FileServices& fs) : order(order), names(names), lead(fs) {}

    bool operator()(const DatedKey& a, const DatedKey& b) const
    {
        return CompareDatedKeys(names + a.name, a, names + b.name, b, order, lead) < 0;
    }

private:
    int32_t order;
    const char* names;
    LeadBytes lead;
};

void SetDate(SortKey&, const FileEntry&) {}

void SetDate(DatedKey& key, const FileEntry& entry)
{
    key.seconds = entry.dateSeconds;
    key.nanoseconds = entry.dateNanoseconds;
}

// Sorts the keys of the index's entries by the comparison Less makes for the order, and puts
// the entries in their slots in that order.
template <class Key, class Less>
void SortByKeys(EntryIndex& index, int32_t order, const FileServices& fs)
{
    std::vector<Key> keys(static_cast<size_t>(index.Count()));
    std::vector<char> names;
    for (int i = 0; i < index.Count(); ++i) {
        Key& key = keys[static_cast<size_t>(i)];
        key.entry = &index.EntryAt(i);
        const char* name = key.entry->currentName;
        LocateKey(name, fs, key);
        key.name = names.size();
        names.insert(names.end(), name, name + key.extStart + key.extLength);
        SetDate(key, *key.entry);
    }
    std::stable_sort(keys.begin(), keys.end(), Less(order, names.data(), fs));
    for (int i = 0; i < index.Count(); ++i)
        index.Slot(i)->entry = keys[static_cast<size_t>(i)].entry;
}

template <class Key>
Key KeyOf(const FileEntry& entry, const FileServices& fs)
{
    Key key = Key();
    LocateKey(entry.currentName, fs, key);
    SetDate(key, entry);
    return key;
}

}  // namespace

OrderKind KindOf(int32_t order)
{
    switch (order) {
    case ExtAscending:
    case ExtDescending:
        return OrderKind{FamilyName, order == ExtDescending, true, false};
    case NameAscending:
    case NameDescending:
        return OrderKind{FamilyName, order == NameDescending, false, false};
    case NaturalAscending:
    case NaturalDescending:
        return OrderKind{FamilyNatural, order == NaturalDescending, false, false};
    case TakenAscending:
    case TakenDescending:
        return OrderKind{FamilyDate, order == TakenDescending, false, true};
    case ModifiedAscending:
    case ModifiedDescending:
        return OrderKind{FamilyDate, order == ModifiedDescending, false, false};
    default:
        return OrderKind{FamilyNone, false, false, false};
    }
}

int32_t CompareEntries(const FileEntry& a, const FileEntry& b, int32_t order, const FileServices& fs)
{
    const OrderKind kind = KindOf(order);
    if (kind.family == FamilyName) {
        SortKey keyA = KeyOf<SortKey>(a, fs), keyB = KeyOf<SortKey>(b, fs);
        return CompareKeys(a.currentName, keyA, b.currentName, keyB, order);
    }
    if (kind.family == FamilyNatural) {
        SortKey keyA = KeyOf<SortKey>(a, fs), keyB = KeyOf<SortKey>(b, fs);
        int32_t c = CompareNaturalKeys(a.currentName, keyA, b.currentName, keyB, LeadBytes(fs));
        return kind.descending ? -c : c;
    }
    if (kind.family == FamilyDate) {
        DatedKey keyA = KeyOf<DatedKey>(a, fs), keyB = KeyOf<DatedKey>(b, fs);
        return CompareDatedKeys(a.currentName, keyA, b.currentName, keyB, order, LeadBytes(fs));
    }
    return 0;
}

void SortEntries(EntryIndex& index, int32_t order, const FileServices& fs)
{
    if (index.Count() < 2)
        return;
    const OrderFamily family = KindOf(order).family;
    if (family == FamilyName)
        SortByKeys<SortKey, KeyLess>(index, order, fs);
    else if (family == FamilyNatural)
        SortByKeys<SortKey, NaturalLess>(index, order, fs);
    else if (family == FamilyDate)
        SortByKeys<DatedKey, DatedLess>(index, order, fs);
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
