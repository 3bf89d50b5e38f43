#include "ui/ShellFolders.h"

#include "ui/SystemDlls.h"

#include <shlobj.h>

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

std::string HistoryFolder()
{
    char folder[kSpecialFolderBufferSize];
    const DWORD testFolder = GetEnvironmentVariableA("QUILLOWBY_HISTORY_DIR", folder, sizeof folder);
    if (testFolder > 0 && testFolder < sizeof folder)
        return folder;
    if (!SpecialFolderPath(nullptr, CSIDL_LOCAL_APPDATA, folder))
        return std::string();
    return std::string(folder) + "\\Quillowby";
}
