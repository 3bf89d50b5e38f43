#include "engine/TempNames.h"

#include "core/CountedString.h"
#include "engine/PathNames.h"

int32_t nextTempNumber = 0;

void FormatTempName(char* buffer, int32_t number, FileServices& fs)
{
    fs.Format(buffer, "~ren%04d.tmp", static_cast<int>(number));
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
