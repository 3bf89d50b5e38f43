#include "ui/ShellFolders.h"

#include "ui/SystemDlls.h"

bool SpecialFolderPath(HWND owner, int folderId, char* buffer)
{
    typedef BOOL(WINAPI * SpecialFolderPathCall)(HWND, LPSTR, int, BOOL);
    SpecialFolderPathCall specialFolderPath =
        SystemDllFunctionAs<SpecialFolderPathCall>(L"shell32.dll", "SHGetSpecialFolderPathA");
    buffer[0] = '\0';
    if (!specialFolderPath || !specialFolderPath(owner, buffer, folderId, FALSE) || buffer[0] == '\0') {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
