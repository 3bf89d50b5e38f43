#include "engine/platform/FileServices.h"

int FileServices::Format(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = FormatV(buffer, format, args);
    va_end(args);
    return written;
}

bool SameFile(const char* a, const char* b, FileServices& fs)
{
    FileIdentity first, second;
    return fs.Identify(a, first) && fs.Identify(b, second) && SameIdentity(first, second);
}
