#include "bench/ChildProcess.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// Below the lean windows.h: the owners' header includes windows.h as well, whole.
#include "engine/platform/Win32Owners.h"

#include <cstdio>

// One argument as the C runtime splits a command line again: quoted, with the backslashes
// before a quote doubled.
static void AppendQuoted(std::string& line, const std::string& argument)
{
    line += " \"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
}

bool InChild(const char* what, const std::vector<std::string>& caseOptions, const std::function<bool()>&)
{
    char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length > MAX_PATH) {
        std::fprintf(stderr, "bench: cannot find its own program\n");
        return false;
    }
    std::string line;
    AppendQuoted(line, program);
    AppendQuoted(line, "--child");
    for (const std::string& option : caseOptions)
        AppendQuoted(line, option);

    std::fflush(stdout);
    std::fflush(stderr);
    STARTUPINFOA startup = STARTUPINFOA();
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, &line[1], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "bench: cannot start %s: error %lu\n", what, static_cast<unsigned long>(GetLastError()));
        return false;
    }
    KernelHandle thread(process.hThread);
    KernelHandle child(process.hProcess);
    WaitForSingleObject(child.Get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(child.Get(), &code);
    if (code != 0) {
        std::fprintf(stderr, "bench: %s failed (exit code %lu)\n", what, static_cast<unsigned long>(code));
        return false;
    }
    return true;
}

int ProcessId()
{
    return static_cast<int>(GetCurrentProcessId());
}
