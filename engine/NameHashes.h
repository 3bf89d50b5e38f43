#ifndef QUILLOWBY_ENGINE_NAME_HASHES_H
#define QUILLOWBY_ENGINE_NAME_HASHES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FileServices;

// A set of names as the file system tells them apart, kept as 64-bit hashes in one
// open-addressed table: a question costs one look into memory and no copy of the name, where
// a table of separately allocated names cost a node for every file of the folder. Two names
// that share a hash are taken for one, once in about 10^19 pairs: an answer may then be
// wrong, so only guesses that the disk confirms before anything moves may rest on it.
class NameHashes
{
public:
    explicit NameHashes(const FileServices& fs);

    void Add(const char* name);
    void Remove(const char* name);
    bool Holds(const char* name) const;
    void Clear();
    void Swap(NameHashes& other);

private:
    uint64_t Hash(const char* name) const;
    // The slot that holds hash, or the empty one where it would go.
    size_t Slot(uint64_t hash) const;
    void Grow();

    const FileServices& fs;
    // A power of two of slots; 0 marks an empty one.
    std::vector<uint64_t> slots;
    size_t held;
    mutable std::string scratch;
};

#endif
