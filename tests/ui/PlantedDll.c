/* Planted beside the program under the name of a system DLL. Once loaded it leaves a file
   named after itself with ".loaded" behind, and refuses to stay, so that nothing runs on
   with a DLL that exports nothing. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    static const char kSuffix[] = ".loaded";
    char path[MAX_PATH + sizeof kSuffix];
    DWORD length;
    HANDLE marker;

    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    CopyMemory(path + length, kSuffix, sizeof kSuffix);
    marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    return FALSE;
}
