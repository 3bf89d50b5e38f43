#ifndef QUILLOWBY_ENGINE_NAMES_NAME_NUMBERS_H
#define QUILLOWBY_ENGINE_NAMES_NAME_NUMBERS_H

#include "engine/names/ForbiddenNames.h"
#include "engine/names/SameNameGroups.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class FileEntry;
class FileServices;
class RenameJob;

// The numbers and new names of an ordered list. Where the pattern writes the date, each
// different text its fields give counts from the start number on its own; where files share
// a number (see GroupSameNames), a group counts once and writes its own date.
class NameNumbers
{
public:
    // slots, when not null, holds the list's groups; otherwise every file stands alone.
    NameNumbers(const RenameJob& job, const std::vector<NumberSlot>* slots, FileServices& fs);

    // What Windows would make of the pattern's own text, its date fields written as digits.
    NameFault PatternFault() const;
    // The entry's number less the start number; the entries come position by position from 0.
    int64_t Offset(int position, const FileEntry& entry);
    // The new name of the entry at the position last given to Offset; false when too long.
    bool Form(FileEntry& entry, int32_t number);

private:
    const RenameJob& job;
    const std::vector<NumberSlot>* slots;
    FileServices& fs;
    bool writesDate;
    std::string prefix;
    std::string suffix;
    int keepFrom;
    int32_t lastGroup;
    int64_t lastOffset;
    // The date the texts above were written for, and its count in counted.
    int64_t lastDate;
    int64_t* count;
    std::string key;
    std::string nextKey;
    // The files or groups counted so far under each text the fields give.
    std::unordered_map<std::string, int64_t> counted;
};

#endif
