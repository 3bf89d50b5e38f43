#include "engine/FileEntry.h"

#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <cstring>

FileEntry::FileEntry(const char* folderText, const FileServices& fs)
    : folder(folderText), stepFailure(FailureNone), stepError(0), dateNanoseconds(0), dateSeconds(0), dateFlags(0),
      identity(), identityKnown(false), gone(false)
{
    EnsureFinalSeparator(folder, fs);
    loggedFrom[0] = '\0';
    loggedTo[0] = '\0';
    currentName[0] = '\0';
    newName[0] = '\0';
}

bool FileEntry::FillFromFindData(const FoundFile& found)
{
    if (found.isDirectory)
        return false;
    newName[0] = '\0';
    loggedTo[0] = '\0';
    loggedFrom[0] = '\0';
    // Copied up to its end only: padding every entry's buffer would touch each byte of it.
    size_t length = strnlen(found.name, kNameSize - 1);
    std::memcpy(currentName, found.name, length);
    currentName[length] = '\0';
    identity = found.identity;
    identityKnown = found.identityKnown;
    dateFlags =
        static_cast<uint8_t>((found.writeTimeKnown ? DateWriteTimeKnown : 0) | (found.offline ? DateOffline : 0));
    dateSeconds = found.writeTimeKnown ? found.written.seconds : 0;
    dateNanoseconds = found.writeTimeKnown ? found.written.nanoseconds : 0;
    return true;
}

EntryHandle* NewEntryHandle(const char* folderText, const FileServices& fs)
{
    EntryHandle* handle = new EntryHandle;
    handle->entry = new FileEntry(folderText, fs);
    return handle;
}

void ReleaseEntryHandle(EntryHandle* handle)
{
    delete handle->entry;
    delete handle;
}

EntryIndex::EntryIndex(const EntryList& list)
{
    slots.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        slots.push_back(list.At(i));
}

void EntryIndex::Exchange(int a, int b)
{
    FileEntry* held = slots[static_cast<size_t>(a)]->entry;
    slots[static_cast<size_t>(a)]->entry = slots[static_cast<size_t>(b)]->entry;
    slots[static_cast<size_t>(b)]->entry = held;
}
