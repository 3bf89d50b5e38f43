#ifndef QUILLOWBY_ENGINE_ARRIVED_NAMES_H
#define QUILLOWBY_ENGINE_ARRIVED_NAMES_H

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
// A walk asks this three times a step, so the names sit in one open-addressed table with
// their bytes side by side: a question costs one look into the table, where a table of
// separately allocated nodes cost several, each far from the last.
class ArrivedNames
{
public:
    // expected: about how many files the walk moves, so that the table is sized once.
    explicit ArrivedNames(const FileServices& fs, size_t expected = 0);

    void Arrive(const char* name, const FileEntry* waiting);
    void Leave(const char* name, const FileEntry* waiting);
    bool HoldsAnotherFile(const FileEntry& entry) const;

private:
    enum SlotState : uint8_t
    {
        SlotEmpty,
        SlotHeld,
        // A name that was left: its slot stays taken, so that names placed past it are found.
        SlotLeft
    };
    struct Slot
    {
        uint64_t hash;
        const FileEntry* waiting;
        uint32_t keyStart;
        uint32_t keyLength;
        SlotState state;
    };

    // Copies name into key, folded where letter case does not count; returns its hash.
    uint64_t MakeKey(const char* name, std::string& key) const;
    // The slot holding key, or slots.size() when no slot does.
    size_t Find(const std::string& key, uint64_t hash) const;
    // Makes room for more names, and drops the slots and bytes of names that were left.
    void Rebuild(size_t capacity);

    const FileServices& fs;
    std::vector<Slot> slots;  // a power of two of them
    std::string keys;
    size_t held;
    size_t left;
    mutable std::string scratch;
};

#endif
