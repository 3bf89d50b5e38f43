#include "engine/names/ForbiddenNames.h"

#include "engine/platform/AsciiFold.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <cstring>
#include <string>

NameFault PatternTextFault(const char* text, const FileServices& fs)
{
    static const char kForbidden[] = "\\/:*?\"<>|";
    // The second byte of a double-byte character may equal "\" or "|" without being one.
    for (const char* p = text; *p; p += CharacterLength(p, fs)) {
        if (static_cast<unsigned char>(*p) < 0x20 || std::strchr(kForbidden, *p) != nullptr)
            return NameForbiddenCharacter;
    }
    return NameFine;
}

static bool IsDevice(const char* name)
{
    // Windows looks at the part before the first dot, trailing spaces dropped.
    std::string stem(name, std::strcspn(name, "."));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& c : stem)
        c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '0' &&
           stem[3] <= '9';
}

NameFault NewNameFault(const char* name)
{
    // No second byte of a double-byte character is a dot or a space: the last byte tells.
    size_t length = std::strlen(name);
    if (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' '))
        return NameEndsInDotOrSpace;
    if (IsDevice(name))
        return NameIsDevice;
    return NameFine;
}
