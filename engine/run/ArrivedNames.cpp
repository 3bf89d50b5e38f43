#include "engine/run/ArrivedNames.h"

#include "engine/FileEntry.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <cstring>
#include <functional>
#include <string_view>

static const size_t kFirstSlots = 16;

ArrivedNames::ArrivedNames(const FileServices& fs)
    : fs(fs), slots(kFirstSlots, Slot{0, 0, nullptr}), keys(1, '\0'), held(0), left(0)
{
}

uint32_t ArrivedNames::MakeKey(const char* name, std::string& key) const
{
    AssignNameKey(key, name, fs);
    return static_cast<uint32_t>(std::hash<std::string_view>()(key));
}

bool ArrivedNames::SlotHolds(const Slot& slot, const std::string& key, uint32_t hash) const
{
    return slot.hash == hash && (slot.keyStart & kLeftMark) == 0 &&
           std::strcmp(keys.data() + slot.keyStart, key.c_str()) == 0;
}

size_t ArrivedNames::Find(const std::string& key, uint32_t hash) const
{
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask; slots[i].keyStart != 0; i = (i + 1) & mask) {
        if (SlotHolds(slots[i], key, hash))
            return i;
    }
    return slots.size();
}

void ArrivedNames::Arrive(const char* name, const FileEntry* waiting)
{
    uint32_t hash = MakeKey(name, scratch);
    size_t found = Find(scratch, hash);
    if (found != slots.size()) {
        slots[found].waiting = waiting;
        return;
    }
    size_t mask = slots.size() - 1;
    size_t i = hash & mask;
    while (slots[i].keyStart != 0 && (slots[i].keyStart & kLeftMark) == 0)
        i = (i + 1) & mask;
    if (slots[i].keyStart != 0)
        --left;
    slots[i] = Slot{hash, static_cast<uint32_t>(keys.size()), waiting};
    keys.append(scratch.c_str(), scratch.size() + 1);
    ++held;
    // Three slots in four taken at most, so that a search meets an empty one soon.
    if ((held + left) * 4 > slots.size() * 3)
        Rebuild();
}

void ArrivedNames::Leave(const char* name, const FileEntry* waiting)
{
    uint32_t hash = MakeKey(name, scratch);
    size_t found = Find(scratch, hash);
    if (found == slots.size() || slots[found].waiting != waiting)
        return;
    slots[found].keyStart |= kLeftMark;
    --held;
    ++left;
}

bool ArrivedNames::HoldsAnotherFile(const FileEntry& entry) const
{
    uint32_t hash = MakeKey(entry.currentName, scratch);
    size_t found = Find(scratch, hash);
    return found != slots.size() && slots[found].waiting != &entry;
}

void ArrivedNames::Rebuild()
{
    size_t capacity = kFirstSlots;
    while (capacity < held * 2)
        capacity *= 2;
    std::vector<Slot> old(capacity, Slot{0, 0, nullptr});
    old.swap(slots);
    std::string oldKeys(1, '\0');
    oldKeys.swap(keys);
    size_t mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.keyStart == 0 || (slot.keyStart & kLeftMark) != 0)
            continue;
        size_t i = slot.hash & mask;
        while (slots[i].keyStart != 0)
            i = (i + 1) & mask;
        const char* stored = oldKeys.data() + slot.keyStart;
        slots[i] = Slot{slot.hash, static_cast<uint32_t>(keys.size()), slot.waiting};
        keys.append(stored, std::strlen(stored) + 1);
    }
    left = 0;
}
