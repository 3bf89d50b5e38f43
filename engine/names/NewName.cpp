#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

bool FileEntry::FormNewName(const char* prefix, const char* suffix, const RenameJob& job, int32_t number, int keepFrom,
                            FileServices& fs)
{
    return FormInto(newName, prefix, suffix, currentName + keepFrom, job, number, fs);
}
