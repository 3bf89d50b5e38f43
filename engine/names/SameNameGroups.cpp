#include "engine/names/SameNameGroups.h"

#include "engine/FileEntry.h"
#include "engine/order/Ordering.h"
#include "engine/platform/AsciiFold.h"
#include "engine/platform/NameParts.h"
#include "engine/platform/PathNames.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

namespace {

struct Group
{
    int32_t firstPosition;
    int64_t seconds;
    int32_t nanoseconds;
    // The date above is a date taken, which outranks every last-write time of the group.
    bool taken;
    std::vector<int32_t> members;
};

int32_t ExtensionStart(const char* name, const FileServices& fs)
{
    int stemStart = 0, extStart = 0;
    LocateNameParts(name, fs, stemStart, extStart);
    return extStart;
}

// Where the kept part of each name begins: at its extension, or where the file it is named
// after keeps its own (that file's name is shorter, so the chain ends). A name without a stem
// (".xmp") joins no one.
class KeptParts
{
public:
    KeptParts(const EntryList& list, const FileServices& fs) : list(list), fs(fs), keepFrom(list.Count(), -1)
    {
        std::string key;
        for (int32_t n = 0; n < list.Count(); ++n) {
            AssignNameKey(key, list.At(n)->entry->currentName, fs);
            wholeNames.emplace(key, n);
        }
    }

    int32_t KeepFrom(int32_t n)
    {
        if (keepFrom[static_cast<size_t>(n)] >= 0)
            return keepFrom[static_cast<size_t>(n)];
        const char* name = list.At(n)->entry->currentName;
        int32_t from = ExtensionStart(name, fs);
        if (from > 0) {
            auto named = wholeNames.find(NameKey(std::string(name, static_cast<size_t>(from)).c_str(), fs));
            if (named != wholeNames.end() && named->second != n)
                from = KeepFrom(named->second);
        }
        keepFrom[static_cast<size_t>(n)] = from;
        return from;
    }

private:
    const EntryList& list;
    const FileServices& fs;
    std::vector<int32_t> keepFrom;
    std::unordered_map<std::string, int32_t> wholeNames;
};

// Makes the entry's date the group's where it goes before the group's date so far. A date
// taken goes before every last-write time, which stands in only for a file without one (a
// sidecar): the photo's own date places the group.
void TakeDate(Group& group, const FileEntry& entry)
{
    const bool taken = (entry.dateFlags & DateModifiedStoodIn) == 0;
    const bool earlier = entry.dateSeconds < group.seconds ||
                         (entry.dateSeconds == group.seconds && entry.dateNanoseconds < group.nanoseconds);
    if (group.members.empty() || (taken && !group.taken) || (taken == group.taken && earlier)) {
        group.seconds = entry.dateSeconds;
        group.nanoseconds = entry.dateNanoseconds;
        group.taken = taken;
    }
}

bool GroupBefore(const Group& a, const Group& b, int32_t order)
{
    if (IsDateOrder(order) && (a.seconds != b.seconds || a.nanoseconds != b.nanoseconds)) {
        const bool earlier = a.seconds < b.seconds || (a.seconds == b.seconds && a.nanoseconds < b.nanoseconds);
        return KindOf(order).descending ? !earlier : earlier;
    }
    return a.firstPosition < b.firstPosition;
}

}  // namespace

void SlotsOfSingleFiles(const EntryList& list, const FileServices& fs, std::vector<NumberSlot>& slots)
{
    slots.resize(static_cast<size_t>(list.Count()));
    for (int32_t n = 0; n < list.Count(); ++n) {
        const FileEntry& entry = *list.At(n)->entry;
        slots[static_cast<size_t>(n)] = NumberSlot{n, ExtensionStart(entry.currentName, fs), entry.dateSeconds};
    }
}

void GroupSameNames(EntryList& list, int32_t order, const FileServices& fs, std::vector<NumberSlot>& slots)
{
    KeptParts kept(list, fs);
    std::vector<Group> groups;
    std::unordered_map<std::string, size_t> groupOf;
    std::string key;
    for (int32_t n = 0; n < list.Count(); ++n) {
        const FileEntry& entry = *list.At(n)->entry;
        const int32_t from = kept.KeepFrom(n);
        AssignNameKey(key, std::string(entry.currentName, static_cast<size_t>(from)).c_str(), fs);
        size_t index = groups.size();
        if (from > 0)
            index = groupOf.emplace(key, groups.size()).first->second;
        if (index == groups.size())
            groups.push_back(Group{n, 0, 0, false, {}});
        TakeDate(groups[index], entry);
        groups[index].members.push_back(n);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [order](const Group& a, const Group& b) { return GroupBefore(a, b, order); });

    std::vector<EntryHandle*> handles;
    handles.reserve(static_cast<size_t>(list.Count()));
    slots.clear();
    slots.reserve(static_cast<size_t>(list.Count()));
    for (size_t g = 0; g < groups.size(); ++g) {
        Group& group = groups[g];
        auto tail = [&](int32_t n) {
            const char* name = list.At(n)->entry->currentName;
            const int32_t from = kept.KeepFrom(n);
            return std::make_pair(name + from, std::strlen(name + from));
        };
        std::stable_sort(group.members.begin(), group.members.end(), [&](int32_t a, int32_t b) {
            auto ta = tail(a), tb = tail(b);
            return CompareFolded(ta.first, ta.second, tb.first, tb.second) < 0;
        });
        for (int32_t n : group.members) {
            handles.push_back(list.At(n));
            slots.push_back(NumberSlot{static_cast<int32_t>(g), kept.KeepFrom(n), group.seconds});
        }
    }
    list.Clear();
    for (EntryHandle* handle : handles)
        list.AddLast(handle);
}
