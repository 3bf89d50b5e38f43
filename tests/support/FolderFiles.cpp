#include "tests/support/FolderFiles.h"

bool AddFiles(const TempFolder& folder, const Names& names)
{
    bool written = true;
    for (const std::string& name : names)
        written = folder.Write(name, name) && written;
    return written;
}

Contents ContentsOf(const TempFolder& folder)
{
    Contents contents;
    for (const std::string& name : folder.Names())
        contents[name] = folder.Read(name);
    return contents;
}
