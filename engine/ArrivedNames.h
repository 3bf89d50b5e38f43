#ifndef QUILLOWBY_ENGINE_ARRIVED_NAMES_H
#define QUILLOWBY_ENGINE_ARRIVED_NAMES_H

#include "engine/FileEntry.h"
#include "engine/FileServices.h"

#include <string>
#include <unordered_map>

// The names a walk has brought files to, as the file system compares them, each with the
// entry waiting there, or none once the file has its final name. An entry listed under a name
// that holds another entry's file has lost its own to another program, which moved or
// deleted it before the walk put that other file there: moving "it" would move that file.
class ArrivedNames
{
public:
    explicit ArrivedNames(const FileServices& fs) : fs(fs) {}

    void Arrive(const char* name, const FileEntry* waiting) { names[Key(name)] = waiting; }
    void Leave(const char* name, const FileEntry* waiting)
    {
        auto found = names.find(Key(name));
        if (found != names.end() && found->second == waiting)
            names.erase(found);
    }
    bool HoldsAnotherFile(const FileEntry& entry) const
    {
        auto found = names.find(Key(entry.currentName));
        return found != names.end() && found->second != &entry;
    }

private:
    std::string Key(const char* name) const { return fs.IgnoresCase() ? FoldedName(name, fs) : std::string(name); }

    const FileServices& fs;
    std::unordered_map<std::string, const FileEntry*> names;
};

#endif
