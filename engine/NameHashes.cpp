#include "engine/NameHashes.h"

#include "engine/platform/PathNames.h"

#include <algorithm>
#include <functional>
#include <string_view>

static const size_t kFirstSlots = 64;

NameHashes::NameHashes(const FileServices& fs) : fs(fs), slots(kFirstSlots, 0), held(0) {}

uint64_t NameHashes::Hash(const char* name) const
{
    AssignNameKey(scratch, name, fs);
    const uint64_t hash = std::hash<std::string_view>()(scratch);
    return hash != 0 ? hash : 1;
}

size_t NameHashes::Slot(uint64_t hash) const
{
    const size_t mask = slots.size() - 1;
    size_t i = static_cast<size_t>(hash) & mask;
    while (slots[i] != 0 && slots[i] != hash)
        i = (i + 1) & mask;
    return i;
}

void NameHashes::Add(const char* name)
{
    const uint64_t hash = Hash(name);
    const size_t i = Slot(hash);
    if (slots[i] == hash)
        return;
    slots[i] = hash;
    // Half the slots taken at most, so that a search meets an empty one soon.
    if (++held * 2 > slots.size())
        Grow();
}

// The hashes behind the removed one that could not take their own slot move up into the gap,
// so that every hash stays reachable from its own slot without marks for removed ones.
void NameHashes::Remove(const char* name)
{
    size_t gap = Slot(Hash(name));
    if (slots[gap] == 0)
        return;
    slots[gap] = 0;
    --held;
    const size_t mask = slots.size() - 1;
    for (size_t i = (gap + 1) & mask; slots[i] != 0; i = (i + 1) & mask) {
        const size_t home = static_cast<size_t>(slots[i]) & mask;
        // Whether home lies cyclically in (gap, i]: then the hash is still reachable.
        const bool reachable = gap < i ? (gap < home && home <= i) : (gap < home || home <= i);
        if (reachable)
            continue;
        slots[gap] = slots[i];
        slots[i] = 0;
        gap = i;
    }
}

bool NameHashes::Holds(const char* name) const
{
    const uint64_t hash = Hash(name);
    return slots[Slot(hash)] == hash;
}

void NameHashes::Clear()
{
    std::fill(slots.begin(), slots.end(), 0);
    held = 0;
}

void NameHashes::Swap(NameHashes& other)
{
    slots.swap(other.slots);
    std::swap(held, other.held);
}

void NameHashes::Grow()
{
    std::vector<uint64_t> old(slots.size() * 2, 0);
    old.swap(slots);
    for (uint64_t hash : old) {
        if (hash != 0)
            slots[Slot(hash)] = hash;
    }
}
