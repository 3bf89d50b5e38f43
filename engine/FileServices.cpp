#include "engine/FileServices.h"

#include "engine/AsciiFold.h"

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

bool SameFile(const char* a, const char* b, FileServices& fs)
{
    FileIdentity first, second;
    return fs.Identify(a, first) && fs.Identify(b, second) && SameIdentity(first, second);
}

const char* FinalComponent(const char* path, const FileServices& fs)
{
    const char* final = path;
    for (const char* p = path; *p; ++p) {
        if (fs.IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == fs.Separator() || *p == '/')
            final = p + 1;
    }
    return final;
}

std::string FoldedName(const char* name, const FileServices& fs)
{
    std::string folded(name);
    for (size_t i = 0; i < folded.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(folded[i]);
        if (fs.IsLeadByte(c) && i + 1 < folded.size())
            ++i;
        else
            folded[i] = static_cast<char>(FoldAscii(c));
    }
    return folded;
}
