// The program, started from a folder that also holds a DLL named like a system DLL the file
// chooser loads, must take that DLL from the system folder and never from its own.
// Under Wine, WINEDLLOVERRIDES (set by CTest) makes the planted copy the one Wine prefers.
#include "res/resource.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kPlantedName[] = "uxtheme.dll";
const DWORD kPatience = 20000;

std::string FolderOfThisProgram()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path, length < sizeof path ? length : 0);
    return text.substr(0, text.rfind('\\') + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Under Wine, whether WINEDLLOVERRIDES prefers a DLL of that name found beside the program
// to Wine's own; Wine reads it from the environment the program inherits. Windows itself
// prefers such a DLL anyway, being no known DLL.
bool PlantedPreferred()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        return true;
    char overrides[4096] = "";
    DWORD length = GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    std::string entry = std::string(kPlantedName, std::strlen(kPlantedName) - 4) + "=n";
    return length < sizeof overrides && Lower(overrides).find(entry) != std::string::npos;
}

struct WindowSearch
{
    DWORD processId;
    HWND except;
    HWND found;
};

BOOL CALLBACK TakeWindow(HWND window, LPARAM param)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || window == search.except || !IsWindowVisible(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

// A visible top-level window of the process other than except, or null after kPatience.
HWND WaitForWindow(DWORD processId, HWND except)
{
    for (DWORD waited = 0; waited < kPatience; waited += 50) {
        WindowSearch search = {processId, except, nullptr};
        EnumWindows(TakeWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

// Where the process took the DLL of that name from; empty when it has none loaded.
std::string LoadedFrom(HANDLE process, const char* name)
{
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes))
        return std::string();
    for (DWORD i = 0; i < bytes / sizeof modules[0] && i < 512; ++i) {
        char path[MAX_PATH] = "";
        if (!GetModuleFileNameExA(process, modules[i], path, sizeof path))
            continue;
        std::string text = path;
        if (Lower(text.substr(text.rfind('\\') + 1)) == Lower(name))
            return text;
    }
    return std::string();
}

TEST(DllSearch, ADllBesideTheProgramIsNeverLoaded)
{
    TempFolder app;
    const std::string here = FolderOfThisProgram();
    const std::string program = app.PathOf("Quillowby.exe");
    ASSERT_TRUE(CopyFileA((here + "Quillowby.exe").c_str(), program.c_str(), TRUE));
    ASSERT_TRUE(CopyFileA((here + "planted.dll").c_str(), app.PathOf(kPlantedName).c_str(), TRUE));

    ASSERT_TRUE(PlantedPreferred()) << "WINEDLLOVERRIDES must hold " << kPlantedName << "=n,b";
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               app.Path().c_str(), &startup, &started));
    CloseHandle(started.hThread);

    // The chooser is open once a second window of the program shows; by then it has loaded
    // everything it needs.
    HWND window = WaitForWindow(started.dwProcessId, nullptr);
    HWND chooser = nullptr;
    std::string loadedFrom;
    if (window) {
        PostMessageA(window, WM_COMMAND, IDC_LOG_BROWSE, 0);
        chooser = WaitForWindow(started.dwProcessId, window);
    }
    if (chooser) {
        loadedFrom = LoadedFrom(started.hProcess, kPlantedName);
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        for (DWORD waited = 0; IsWindow(chooser) && waited < kPatience; waited += 50)
            Sleep(50);
    }
    if (window)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    bool ended = WaitForSingleObject(started.hProcess, kPatience) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, kPatience);
    }
    // Told when no window showed: 1 is the program's own "no main window could be made".
    DWORD exitCode = 0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    CloseHandle(started.hProcess);

    EXPECT_FALSE(app.Exists(std::string(kPlantedName) + ".loaded")) << "the planted DLL was loaded";
    ASSERT_TRUE(window != nullptr) << "the program showed no window (exit code " << exitCode << ")";
    ASSERT_TRUE(chooser != nullptr) << "the file chooser did not open";
    EXPECT_TRUE(ended) << "the program did not end on its exit command";
    // The program does load a DLL of that name, from the system's folder.
    EXPECT_NE("", loadedFrom);
    EXPECT_EQ(std::string::npos, Lower(loadedFrom).find(Lower(app.Path())));
}

}  // namespace
