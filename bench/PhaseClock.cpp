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

SearchHandle PhaseClock::FindFirst(const char* pattern, FoundFile& first)
{
    return inner.FindFirst(pattern, first);
}

FindNextResult PhaseClock::FindNext(SearchHandle search, FoundFile& next)
{
    return inner.FindNext(search, next);
}

void PhaseClock::FindClose(SearchHandle search)
{
    inner.FindClose(search);
    searchClosed = SecondsNow();
}

bool PhaseClock::FolderExists(const char* path)
{
    return inner.FolderExists(path);
}

bool PhaseClock::Exists(const char* path)
{
    return inner.Exists(path);
}

MoveResult PhaseClock::Move(const char* from, const char* to, int& error)
{
    return inner.Move(from, to, error);
}

bool PhaseClock::Identify(const char* path, FileIdentity& identity)
{
    return inner.Identify(path, identity);
}

LogHandle PhaseClock::CreateLog(const char* path)
{
    LogHandle log = inner.CreateLog(path);
    logCreated = SecondsNow();
    return log;
}

bool PhaseClock::WriteLog(LogHandle log, const void* bytes, int count)
{
    return inner.WriteLog(log, bytes, count);
}

void PhaseClock::CloseLog(LogHandle log)
{
    inner.CloseLog(log);
    logClosed = SecondsNow();
}

int PhaseClock::FormatV(char* buffer, const char* format, va_list args)
{
    // The probe for temporary names formats before the search is closed; the first text
    // formatted after it is the first new name.
    if (searchClosed != 0 && firstNameFormed == 0)
        firstNameFormed = SecondsNow();
    return inner.FormatV(buffer, format, args);
}

bool PhaseClock::IsLeadByte(unsigned char c) const
{
    return inner.IsLeadByte(c);
}

char PhaseClock::Separator() const
{
    return inner.Separator();
}

int PhaseClock::LongestPath() const
{
    return inner.LongestPath();
}

bool PhaseClock::IgnoresCase() const
{
    return inner.IgnoresCase();
}
