#ifndef QUILLOWBY_UI_SYSTEM_DLLS_H
#define QUILLOWBY_UI_SYSTEM_DLLS_H

#include <windows.h>

// From here on, a DLL loaded by name comes from the system folder only: never from the
// program's own folder, where a downloaded program lies among whatever else was downloaded,
// nor from the current directory. Called first thing in WinMain.
void LoadDllsFromSystemFolderOnly();

// A function of a DLL in the system folder, the DLL loaded by its full path; null when
// either cannot be found. The program imports only DLLs that Windows always takes from the
// system folder; the others, with the DLLs they pull in, come this way, after
// LoadDllsFromSystemFolderOnly.
FARPROC SystemDllFunction(const wchar_t* dll, const char* function);

template <typename Function>
Function SystemDllFunctionAs(const wchar_t* dll, const char* function)
{
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemDllFunction(dll, function)));
}

#endif
