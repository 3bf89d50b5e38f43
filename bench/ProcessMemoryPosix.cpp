#include "bench/ProcessMemory.h"

#include <cstdio>
#include <cstring>

static long StatusKb(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    long kb = -1;
    size_t fieldLength = std::strlen(field);
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, fieldLength) == 0 && line[fieldLength] == ':') {
            std::sscanf(line + fieldLength + 1, "%ld", &kb);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

long ResidentKb()
{
    return StatusKb("VmRSS");
}

long PeakResidentKb()
{
    return StatusKb("VmHWM");
}

bool ResetPeakResident()
{
    // "5" resets the peak resident size (Linux 4.0 and later).
    std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
    if (clear == nullptr)
        return false;
    bool reset = std::fputs("5", clear) >= 0;
    return std::fclose(clear) == 0 && reset;
}
