#ifndef QUILLOWBY_ENGINE_RUN_ARRIVED_NAMES_H
#define QUILLOWBY_ENGINE_RUN_ARRIVED_NAMES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FileEntry;
class FileServices;

// The names a walk has brought files to, as the file system compares them, each with the
// entry waiting there, or none once the file has its final name. An entry listed under a name
// that holds another entry's file has lost its own to another program, which moved or
// deleted it before the walk put that other file there: moving "it" would move that file.
//
// A walk asks this three times a step, so the names sit in one open-addressed table of small
// slots, their bytes side by side: a question costs about one look into memory, where a
// table of separately allocated nodes cost several, each far from the last.
class ArrivedNames
{
public:
    explicit ArrivedNames(const FileServices& fs);

    void Arrive(const char* name, const FileEntry* waiting);
    void Leave(const char* name, const FileEntry* waiting);
    bool HoldsAnotherFile(const FileEntry& entry) const;

private:
    struct Slot
    {
        // Part of the name's hash, to pass over most other names without reading them.
        uint32_t hash;
        // Where the name stands in keys, ended by a NUL, with kLeftMark set once it was
        // left; 0 in a slot never taken.
        uint32_t keyStart;
        const FileEntry* waiting;
    };
    // A left name keeps its slot, so that names placed past it are still found.
    static const uint32_t kLeftMark = 0x80000000u;

    // Copies name into key, folded where letter case does not count; returns its hash.
    uint32_t MakeKey(const char* name, std::string& key) const;
    bool SlotHolds(const Slot& slot, const std::string& key, uint32_t hash) const;
    // The slot holding key, or slots.size() when no slot does.
    size_t Find(const std::string& key, uint32_t hash) const;
    // Moves the names still held into a table where they take at most half the slots, and
    // drops the slots and bytes of names that were left.
    void Rebuild();

    const FileServices& fs;
    std::vector<Slot> slots;  // a power of two of them
    std::string keys;
    size_t held;
    size_t left;
    mutable std::string scratch;
};

#endif
