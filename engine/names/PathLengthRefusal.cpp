#include "engine/names/PathLengthRefusal.h"

#include "engine/FileEntry.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"
#include "engine/steps/TempNames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// The widest temporary name a run of the list can number, into temp, and its characters:
// one for each file that goes aside, from the first free number on, so "~ren%04d.tmp" widens
// only past 9999. A run that other programs crowd further fails its move aside there and says so; the
// file stays where it was. The folder is searched for leftover temporary names only when the
// widest name the counter can give would not fit.
static int WidestTemp(const EntryList& list, int folderLength, FileServices& fs, char (&temp)[kFormatBufferSize])
{
    FormatTempName(temp, INT32_MAX, fs);
    int32_t first = 0;
    if (folderLength + PathCharacters(temp, fs) > fs.LongestPath() &&
        FirstFreeTempNumber(list.At(0)->entry->folder.Data(), fs, first))
        FormatTempName(temp, static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t(first) + list.Count())), fs);
    return PathCharacters(temp, fs);
}

const FileEntry* FirstEntryOutOfReach(const EntryList& list, FileServices& fs, char (&widestTemp)[kFormatBufferSize])
{
    widestTemp[0] = '\0';
    if (list.Count() == 0)
        return nullptr;
    // Every entry of a run has the same folder, ending in a whole separator character. The
    // calls take the path as typed, and then as they resolve it: relative to the current
    // folder, "." and ".." taken out.
    const char* folder = list.At(0)->entry->folder.Data();
    int folderLength = std::max(PathCharacters(folder, fs), PathCharacters(fs.FullPath(folder).c_str(), fs));
    if (folderLength + WidestTemp(list, folderLength, fs, widestTemp) > fs.LongestPath())
        return list.At(0)->entry;
    widestTemp[0] = '\0';
    for (int n = 0; n < list.Count(); ++n) {
        const FileEntry& entry = *list.At(n)->entry;
        // A name has no more characters than bytes: one that fits by its bytes needs no count.
        int newLength = static_cast<int>(std::strlen(entry.newName));
        if (folderLength + newLength <= fs.LongestPath())
            continue;
        if (folderLength + PathCharacters(entry.newName, fs) > fs.LongestPath())
            return &entry;
    }
    return nullptr;
}
