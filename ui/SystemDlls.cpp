#include "ui/SystemDlls.h"

#include <cwchar>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void LoadDllsFromSystemFolderOnly()
{
    // Looked up, not imported: Windows 7 and Vista without update KB2533623 lack it, and an
    // import the loader cannot resolve would keep the program from starting there at all.
    // Those systems still lose the current directory below.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    SetDefaultDllDirectoriesCall setDefaultDllDirectories =
        SystemDllFunctionAs<SetDefaultDllDirectoriesCall>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefaultDllDirectories)
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}

FARPROC SystemDllFunction(const wchar_t* dll, const char* function)
{
    wchar_t path[MAX_PATH];
    UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    size_t dllLength = std::wcslen(dll);
    if (folderLength == 0 || folderLength + 1 + dllLength >= MAX_PATH)
        return nullptr;
    path[folderLength] = L'\\';
    std::wmemcpy(path + folderLength + 1, dll, dllLength + 1);
    // Loaded once for good: a second load only finds it loaded.
    HMODULE module = GetModuleHandleW(path);
    if (!module)
        module = LoadLibraryW(path);
    return module ? GetProcAddress(module, function) : nullptr;
}
