#include "engine/FileServices.h"

#include <cstring>

int FileServices::Format(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = FormatV(buffer, format, args);
    va_end(args);
    return written;
}

bool EndsWithSeparator(const char* text, const FileServices& fs)
{
    bool lastIsSeparator = false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (fs.IsLeadByte(*p) && p[1] != 0) {
            lastIsSeparator = false;
            ++p;
            continue;
        }
        lastIsSeparator = *p == static_cast<unsigned char>(fs.Separator());
    }
    return lastIsSeparator;
}

bool HoldsSeparator(const char* name, const FileServices& fs)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (fs.IsLeadByte(*p) && p[1] != 0) {
            ++p;
            continue;
        }
        if (*p == static_cast<unsigned char>(fs.Separator()) || *p == '/')
            return true;
    }
    return false;
}
