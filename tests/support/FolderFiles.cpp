#include "tests/support/FolderFiles.h"

#include <cstdio>

bool AddFiles(const TempFolder& folder, const Names& names)
{
    bool written = true;
    for (const std::string& name : names)
        written = folder.Write(name, name) && written;
    return written;
}

Names NumberedNames(const char* format, int first, int count)
{
    Names names;
    for (int i = first; i < first + count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, format, i);
        names.push_back(name);
    }
    return names;
}

Contents ContentsOf(const TempFolder& folder)
{
    Contents contents;
    for (const std::string& name : folder.Names())
        contents[name] = folder.Read(name);
    return contents;
}
