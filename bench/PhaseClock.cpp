#include "bench/PhaseClock.h"

#include "bench/Stopwatch.h"

void PhaseClock::Start()
{
    started = SecondsNow();
    searchClosed = 0;
    firstNameFormed = 0;
    logCreated = 0;
    logClosed = 0;
}

RunPhases PhaseClock::Phases() const
{
    RunPhases phases;
    if (searchClosed == 0 || firstNameFormed == 0 || logCreated == 0 || logClosed == 0)
        return phases;
    phases.list = searchClosed - started;
    phases.order = firstNameFormed - searchClosed;
    phases.number = logCreated - firstNameFormed;
    phases.walk = logClosed - logCreated;
    return phases;
}

void PhaseClock::FindClose(SearchHandle search)
{
    real.FindClose(search);
    // The run's listing ends its first phase; a stopped run lists its folder again to settle.
    if (searchClosed == 0)
        searchClosed = SecondsNow();
}

LogHandle PhaseClock::CreateLog(const char* path, uint32_t keptAttributes)
{
    LogHandle log = real.CreateLog(path, keptAttributes);
    logCreated = SecondsNow();
    return log;
}

void PhaseClock::CloseLog(LogHandle log)
{
    real.CloseLog(log);
    logClosed = SecondsNow();
}

int PhaseClock::FormatV(char* buffer, const char* format, va_list args)
{
    // The probe for temporary names formats before the search is closed; the first text
    // formatted after it is the first new name.
    if (searchClosed != 0 && firstNameFormed == 0)
        firstNameFormed = SecondsNow();
    return real.FormatV(buffer, format, args);
}
