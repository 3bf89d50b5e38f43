#ifndef QUILLOWBY_BENCH_PHASE_CLOCK_H
#define QUILLOWBY_BENCH_PHASE_CLOCK_H

#include "engine/FileServices.h"

// Seconds a run spent in each of its stages.
struct RunPhases
{
    RunPhases() : list(0), order(0), number(0), walk(0) {}

    double list;    // folder search, temporary-name probe, entries collected
    double order;   // the entries put in the job's order
    double number;  // every new name formed
    double walk;    // every rename step with its log line, the log closed
};

// Hands every call on to other services unchanged and tells a run's stages apart by the
// calls that close them: the listing ends when the search is closed, the ordering with the
// first formatted text after that (the first new name), the numbering when the log is
// created, the walk when the log is closed.
class PhaseClock : public FileServices
{
public:
    explicit PhaseClock(FileServices& inner) : inner(inner) { Start(); }

    // Call right before the run.
    void Start();
    RunPhases Phases() const;

    SearchHandle FindFirst(const char* pattern, FoundFile& first) override;
    FindNextResult FindNext(SearchHandle search, FoundFile& next) override;
    void FindClose(SearchHandle search) override;
    bool FolderExists(const char* path) override;
    bool Exists(const char* path) override;
    MoveResult Move(const char* from, const char* to, int& error) override;
    bool Identify(const char* path, FileIdentity& identity) override;
    bool SameName(const char* a, const char* b) const override { return inner.SameName(a, b); }
    LogHandle CreateLog(const char* path) override;
    bool WriteLog(LogHandle log, const void* bytes, int count) override;
    void CloseLog(LogHandle log) override;
    LogHandle AppendLog(const char* path) override { return inner.AppendLog(path); }
    ReadHandle OpenRead(const char* path, bool& fileThere) override { return inner.OpenRead(path, fileThere); }
    int Read(ReadHandle file, void* buffer, int size) override { return inner.Read(file, buffer, size); }
    void CloseRead(ReadHandle file) override { inner.CloseRead(file); }
    int FormatV(char* buffer, const char* format, va_list args) override;
    bool IsLeadByte(unsigned char c) const override;
    char Separator() const override;
    int LongestPath() const override;
    bool IgnoresCase() const override;

private:
    PhaseClock(const PhaseClock&);
    PhaseClock& operator=(const PhaseClock&);

    FileServices& inner;
    double started;
    double searchClosed;
    double firstNameFormed;
    double logCreated;
    double logClosed;
};

#endif
