#include "bench/ProcessMemory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <psapi.h>

static bool Counters(PROCESS_MEMORY_COUNTERS& counters)
{
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) != FALSE;
}

long ResidentKb()
{
    PROCESS_MEMORY_COUNTERS counters;
    return Counters(counters) ? static_cast<long>(counters.WorkingSetSize / 1024) : -1;
}

long PeakResidentKb()
{
    PROCESS_MEMORY_COUNTERS counters;
    return Counters(counters) ? static_cast<long>(counters.PeakWorkingSetSize / 1024) : -1;
}

// The peak working set cannot be reset; it counts from the process's start.
bool ResetPeakResident()
{
    return false;
}
