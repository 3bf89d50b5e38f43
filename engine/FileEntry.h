#ifndef QUILLOWBY_ENGINE_FILE_ENTRY_H
#define QUILLOWBY_ENGINE_FILE_ENTRY_H

#include "core/CountedString.h"
#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/NameParts.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class RenameJob;

// What one rename step did to an entry's file.
enum RenameStep
{
    StepDone,     // the file has its new name (or already had it)
    StepWaiting,  // the target was taken: the file went to a temporary name and must come again
    StepFailed    // the file could not be moved; it is still under currentName
};

// What an entry knows of its file's dates (FileEntry::dateFlags).
enum DateFlag
{
    // The last-write time is known (the listing gave it, or the file was opened); until the
    // dates are gathered it stands in date*, as UTC.
    DateWriteTimeKnown = 1,
    // The listing said the file's data is not on the disk.
    DateOffline = 2,
    // In a date-taken order: the file had no date taken that could be read, and its
    // last-write time stood in.
    DateModifiedStoodIn = 4
};

// One file of a run. The four names are bare names within folder, never paths.
class FileEntry
{
public:
    // folder gets one final separator if it has none.
    FileEntry(const char* folderText, const FileServices& fs);

    // False for a directory (the entry is left as it was).
    bool FillFromFindData(const FoundFile& found);
    // Prefix, number, suffix and the extension of currentName; false when that would not
    // fit in 255 bytes (newName is then left as it was).
    bool FormNewName(const RenameJob& job, int32_t number, FileServices& fs);
    // The same with the prefix and suffix given (the pattern's date fields written out), and
    // currentName kept from keepFrom on in place of its extension.
    bool FormNewName(const char* prefix, const char* suffix, const RenameJob& job, int32_t number, int keepFrom,
                     FileServices& fs);
    // One step towards newName, never overwriting a file; the other steps are in
    // FileSteps.h.
    RenameStep RenameEntry(FileServices& fs);

    CountedString folder;
    char loggedFrom[kNameSize];
    char loggedTo[kNameSize];
    char currentName[kNameSize];
    char newName[kNameSize];
    // The name the file had before the run; set when it first goes to a temporary name, so
    // that a file which cannot reach its new name can be put back.
    CountedString originalName;
    // Why the last step failed (FailureNone when it did not) and the platform's error code.
    StepFailure stepFailure;
    int stepError;
    // The date the entry is ordered by in a date order, as local clock time: seconds from
    // 1970-01-01 as if that clock were UTC, and the fraction. Set only in a date order, or
    // where the name pattern writes the date.
    int32_t dateNanoseconds;
    int64_t dateSeconds;
    uint8_t dateFlags;
    // The file, whatever name leads to it: from the listing where it tells, else taken when
    // the file first goes aside. A temporary name can come to hold another file (another
    // program took this one away), and a move by that name would move that other file.
    FileIdentity identity;
    bool identityKnown;
    // The file is no longer under currentName, and another file is.
    bool gone;

private:
    FileEntry(const FileEntry&);
    FileEntry& operator=(const FileEntry&);
};

// The one-word holder through which an entry is listed and ordered. Ordering exchanges
// the entry pointers of two holders; the holders themselves never move.
struct EntryHandle
{
    FileEntry* entry;
};

// Creates an entry and its holder together, and releases them together.
EntryHandle* NewEntryHandle(const char* folderText, const FileServices& fs);
void ReleaseEntryHandle(EntryHandle* handle);

// The ordered holders a run works on. A walk by position stays valid while AddLast
// appends, and reaches what was appended.
class EntryList
{
public:
    void AddLast(EntryHandle* handle) { positions.push_back(handle); }
    void Clear() { positions.clear(); }
    int Count() const { return static_cast<int>(positions.size()); }
    EntryHandle* At(int position) const { return positions[static_cast<size_t>(position)]; }
    void Reserve(int count) { positions.reserve(static_cast<size_t>(count)); }

private:
    std::vector<EntryHandle*> positions;
};

// Slot i holds the holder at list position i; the ordering works through it.
class EntryIndex
{
public:
    explicit EntryIndex(const EntryList& list);

    int Count() const { return static_cast<int>(slots.size()); }
    FileEntry& EntryAt(int slot) const { return *slots[static_cast<size_t>(slot)]->entry; }
    EntryHandle* Slot(int slot) const { return slots[static_cast<size_t>(slot)]; }
    void Exchange(int a, int b);

private:
    std::vector<EntryHandle*> slots;
};

#endif
