#include "engine/ArrivedNames.h"

#include "engine/FileEntry.h"
#include "engine/FileServices.h"

#include <cstring>
#include <functional>
#include <string_view>

ArrivedNames::ArrivedNames(const FileServices& fs, size_t expected) : fs(fs), held(0), left(0)
{
    size_t capacity = 16;
    while (capacity < expected * 2)
        capacity *= 2;
    slots.assign(capacity, Slot{0, nullptr, 0, 0, SlotEmpty});
}

uint64_t ArrivedNames::MakeKey(const char* name, std::string& key) const
{
    key.assign(name);
    if (fs.IgnoresCase())
        FoldName(key, fs);
    return std::hash<std::string_view>()(key);
}

size_t ArrivedNames::Find(const std::string& key, uint64_t hash) const
{
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (slot.state == SlotEmpty)
            return slots.size();
        if (slot.state == SlotHeld && slot.hash == hash && slot.keyLength == key.size() &&
            std::memcmp(keys.data() + slot.keyStart, key.data(), key.size()) == 0)
            return i;
    }
}

void ArrivedNames::Arrive(const char* name, const FileEntry* waiting)
{
    uint64_t hash = MakeKey(name, scratch);
    size_t found = Find(scratch, hash);
    if (found != slots.size()) {
        slots[found].waiting = waiting;
        return;
    }
    size_t mask = slots.size() - 1;
    size_t i = hash & mask;
    while (slots[i].state == SlotHeld)
        i = (i + 1) & mask;
    if (slots[i].state == SlotLeft)
        --left;
    slots[i] = Slot{hash, waiting, static_cast<uint32_t>(keys.size()), static_cast<uint32_t>(scratch.size()), SlotHeld};
    keys += scratch;
    ++held;
    // Half the slots at most are taken, so that a search meets an empty one soon.
    if ((held + left) * 2 > slots.size())
        Rebuild(held * 4 > slots.size() ? slots.size() * 2 : slots.size());
}

void ArrivedNames::Leave(const char* name, const FileEntry* waiting)
{
    uint64_t hash = MakeKey(name, scratch);
    size_t found = Find(scratch, hash);
    if (found == slots.size() || slots[found].waiting != waiting)
        return;
    slots[found].state = SlotLeft;
    --held;
    ++left;
}

bool ArrivedNames::HoldsAnotherFile(const FileEntry& entry) const
{
    uint64_t hash = MakeKey(entry.currentName, scratch);
    size_t found = Find(scratch, hash);
    return found != slots.size() && slots[found].waiting != &entry;
}

void ArrivedNames::Rebuild(size_t capacity)
{
    std::vector<Slot> old(capacity, Slot{0, nullptr, 0, 0, SlotEmpty});
    old.swap(slots);
    std::string oldKeys;
    oldKeys.swap(keys);
    size_t mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.state != SlotHeld)
            continue;
        size_t i = slot.hash & mask;
        while (slots[i].state != SlotEmpty)
            i = (i + 1) & mask;
        slots[i] = Slot{slot.hash, slot.waiting, static_cast<uint32_t>(keys.size()), slot.keyLength, SlotHeld};
        keys.append(oldKeys, slot.keyStart, slot.keyLength);
    }
    left = 0;
}
