#include "engine/names/NewName.h"

#include "engine/FileEntry.h"
#include "engine/platform/PathNames.h"
#include "engine/platform/FileServices.h"
#include "engine/RenameJob.h"

#include <algorithm>
#include <cstdint>
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

// "%s%d%s%s", or with the number filled with zeros up to digitCount, "%s%0<digitCount>d%s%s".
// Written out by hand: the names of a large folder are formed one after another.
static void NumberFormat(char* format, bool padDigits, int32_t digitCount)
{
    char* out = format;
    *out++ = '%';
    *out++ = 's';
    *out++ = '%';
    if (padDigits) {
        *out++ = '0';
        if (digitCount < 0)
            *out++ = '-';
        char digits[12];
        int count = 0;
        uint32_t left = digitCount < 0 ? 0u - static_cast<uint32_t>(digitCount) : static_cast<uint32_t>(digitCount);
        do
            digits[count++] = static_cast<char>('0' + left % 10);
        while ((left /= 10) != 0);
        while (count > 0)
            *out++ = digits[--count];
    }
    std::strcpy(out, "d%s%s");
}

// Prefix, number, suffix and the kept part, when all of it fits in 255 bytes.
static bool FormInto(char* newName, const char* prefix, const char* suffix, const char* kept, const RenameJob& job,
                     int32_t number, FileServices& fs)
{
    char format[kFormatBufferSize];
    NumberFormat(format, job.padDigits != 0, job.digitCount);

    char formed[kFormatBufferSize];
    int length = fs.Format(formed, format, prefix, static_cast<int>(number), suffix, kept);
    if (length < 0 || length > kNameSize - 1)
        return false;
    std::memcpy(newName, formed, static_cast<size_t>(length) + 1);
    return true;
}

bool FileEntry::FormNewName(const RenameJob& job, int32_t number, FileServices& fs)
{
    char ext[kNameSize];
    SplitFileName(currentName, nullptr, ext, fs);
    const char* prefix = job.prefix.Text();
    const char* suffix = job.suffix.Text();
    return FormInto(newName, prefix, suffix, ext, job, number, fs);
}

bool FileEntry::FormNewName(const char* prefix, const char* suffix, const RenameJob& job, int32_t number,
                            int keepFrom, FileServices& fs)
{
    return FormInto(newName, prefix, suffix, currentName + keepFrom, job, number, fs);
}
