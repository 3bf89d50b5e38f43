#include "tests/support/NameModel.h"

#include <cstdio>

bool IsLeadModel(unsigned char c, bool cp932)
{
    return cp932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

void SplitNameModel(const std::string& name, bool cp932, std::string& stem, std::string& extension)
{
    size_t start = name.size() >= 2 && name[1] == ':' ? 2 : 0;
    size_t fileStart = start;
    size_t lastDot = std::string::npos;
    for (size_t i = start; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadModel(c, cp932)) {
            ++i;
            continue;
        }
        if (c == '/' || c == '\\')
            fileStart = i + 1;
        else if (c == '.')
            lastDot = i;
    }
    size_t extensionStart = lastDot != std::string::npos && lastDot >= fileStart ? lastDot : name.size();
    stem = name.substr(fileStart, extensionStart - fileStart);
    extension = name.substr(extensionStart);
}

std::string NumberText(int32_t number, bool padDigits, int digitCount)
{
    char text[32];
    if (padDigits)
        std::snprintf(text, sizeof text, "%0*d", digitCount, static_cast<int>(number));
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
    return text;
}
