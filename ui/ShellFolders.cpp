#include "ui/ShellFolders.h"

#include <shlobj.h>

bool SpecialFolderPath(HWND owner, int folderId, char* buffer)
{
    buffer[0] = '\0';
    if (!SHGetSpecialFolderPathA(owner, buffer, folderId, FALSE) || buffer[0] == '\0') {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
