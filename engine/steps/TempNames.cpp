#include "engine/steps/TempNames.h"

#include "core/CountedString.h"
#include "engine/platform/PathNames.h"

#include <cstring>

int32_t nextTempNumber = 0;

void FormatTempName(char* buffer, int32_t number, FileServices& fs)
{
    fs.Format(buffer, "~ren%04d.tmp", static_cast<int>(number));
}

int64_t TempNumber(const char* name)
{
    if (std::strncmp(name, "~ren", 4) != 0)
        return -1;
    const char* p = name + 4;
    int digits = 0;
    int64_t number = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits)
        number = digits < 18 ? number * 10 + (*p - '0') : INT64_MAX;
    return digits >= 4 && std::strcmp(p, ".tmp") == 0 ? number : -1;
}

bool IsTempName(const char* name)
{
    return TempNumber(name) >= 0;
}

bool FirstFreeTempNumber(const char* folderText, FileServices& fs, int32_t& number)
{
    if (folderText == nullptr || !FolderFound(folderText, fs))
        return false;
    CountedString folder(folderText);
    EnsureFinalSeparator(folder, fs);

    number = 0;
    char temp[kFormatBufferSize];
    for (;;) {
        FormatTempName(temp, number, fs);
        if (!fs.Exists(folder.Concat(temp).Data()))
            return true;
        ++number;
    }
}

void ProbeTempNumber(const char* folderText, FileServices& fs)
{
    int32_t number = 0;
    if (FirstFreeTempNumber(folderText, fs, number))
        nextTempNumber = number;
}
