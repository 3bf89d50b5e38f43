#ifndef QUILLOWBY_BENCH_PROCESS_MEMORY_H
#define QUILLOWBY_BENCH_PROCESS_MEMORY_H

// The process's resident memory in kilobytes (/proc/self/status, on Windows the working
// set); -1 when unknown.
long ResidentKb();
// The highest resident size since the process started or since ResetPeakResident.
long PeakResidentKb();

// Makes the current resident size the new peak. False on a kernel that cannot; the peak
// then still counts from the process's start.
bool ResetPeakResident();

#endif
