#include "engine/PathReach.h"

#include "engine/FileEntry.h"
#include "engine/FileServices.h"
#include "engine/SafeRename.h"

#include <algorithm>
#include <cstdint>

// Windows converts an ANSI path to UTF-16 and measures it there. Every character of a
// double-byte code page, 932 among them, is one UTF-16 unit, so this count is the length
// Windows sees; bytes would overcount and refuse paths that fit. The texts of a run come
// from the platform's own conversions (the folder search, the window's fields), so they
// hold whole characters only.
int PathCharacters(const char* text, const FileServices& fs)
{
    int count = 0;
    for (const char* p = text; *p; p += CharacterLength(p, fs))
        ++count;
    return count;
}

const FileEntry* FirstEntryOutOfReach(const EntryList& list, FileServices& fs)
{
    if (list.Count() == 0)
        return nullptr;
    // The counter starts where leftover temporary files of earlier runs end, and files that
    // appear while the run goes push it further, so no count of the batch bounds it: only
    // its type does.
    char widestTemp[kFormatBufferSize];
    FormatTempName(widestTemp, INT32_MAX, fs);
    int tempLength = PathCharacters(widestTemp, fs);

    // Every entry of a run has the same folder, ending in a whole separator character.
    int folderLength = PathCharacters(list.At(0)->entry->folder.Data(), fs);
    for (int n = 0; n < list.Count(); ++n) {
        const FileEntry& entry = *list.At(n)->entry;
        if (folderLength + std::max(PathCharacters(entry.newName, fs), tempLength) > fs.LongestPath())
            return &entry;
    }
    return nullptr;
}
