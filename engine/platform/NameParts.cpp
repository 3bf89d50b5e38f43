#include "engine/platform/NameParts.h"

#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <algorithm>
#include <cstring>

void LocateNameParts(const char* name, const FileServices& fs, int& stemStart, int& extStart)
{
    int scanStart = (name[0] != 0 && name[1] == ':') ? 2 : 0;
    int fileStart = scanStart;
    int lastDot = -1;
    int i = scanStart;
    for (; name[i] != 0; i += CharacterLength(name + i, fs)) {
        if (name[i] == '/' || name[i] == '\\')
            fileStart = i + 1;
        else if (name[i] == '.')
            lastDot = i;
    }
    stemStart = fileStart;
    extStart = lastDot >= fileStart ? lastDot : i;
}

// Copies at most 255 bytes; a lead byte that would be the 255th is left out with its pair.
static void CopyPart(char* out, const char* from, int count, const FileServices& fs)
{
    int taken = 0;
    while (taken < count) {
        int width = std::min(CharacterLength(from + taken, fs), count - taken);
        if (taken + width > kNameSize - 1)
            break;
        taken += width;
    }
    std::memcpy(out, from, static_cast<size_t>(taken));
    out[taken] = '\0';
}

void SplitFileName(const char* name, char* stem, char* ext, const FileServices& fs)
{
    int stemStart = 0;
    int extStart = 0;
    LocateNameParts(name, fs, stemStart, extStart);
    if (stem)
        CopyPart(stem, name + stemStart, extStart - stemStart, fs);
    if (ext)
        CopyPart(ext, name + extStart, static_cast<int>(std::strlen(name + extStart)), fs);
}
