#ifndef QUILLOWBY_BENCH_STOPWATCH_H
#define QUILLOWBY_BENCH_STOPWATCH_H

#include <chrono>
#include <ctime>

// Seconds on the monotonic clock; only differences mean anything.
inline double SecondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor seconds the process has used, in the kernel for it included. On a machine that
// others share, this counts only what the work itself costs, not the waiting for a core.
inline double CpuSecondsNow()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time of one piece of work.
struct Lap
{
    Lap() : seconds(0), cpuSeconds(0) {}

    double seconds;
    double cpuSeconds;
};

class Stopwatch
{
public:
    Stopwatch() : wallStart(SecondsNow()), cpuStart(CpuSecondsNow()) {}

    Lap Read() const
    {
        Lap lap;
        lap.seconds = SecondsNow() - wallStart;
        lap.cpuSeconds = CpuSecondsNow() - cpuStart;
        return lap;
    }

private:
    double wallStart;
    double cpuStart;
};

// Keeps in best the lowest wall time and the lowest processor time seen, each on its own.
inline void KeepFastest(const Lap& lap, bool first, Lap& best)
{
    if (first || lap.seconds < best.seconds)
        best.seconds = lap.seconds;
    if (first || lap.cpuSeconds < best.cpuSeconds)
        best.cpuSeconds = lap.cpuSeconds;
}

#endif
