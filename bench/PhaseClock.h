#ifndef QUILLOWBY_BENCH_PHASE_CLOCK_H
#define QUILLOWBY_BENCH_PHASE_CLOCK_H

#include "engine/platform/ForwardingFileServices.h"

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
class PhaseClock : public ForwardingFileServices
{
public:
    explicit PhaseClock(FileServices& real) : ForwardingFileServices(real) { Start(); }

    // Call right before the run.
    void Start();
    RunPhases Phases() const;

    void FindClose(SearchHandle search) override;
    LogHandle CreateLog(const char* path, uint32_t keptAttributes) override;
    void CloseLog(LogHandle log) override;
    int FormatV(char* buffer, const char* format, va_list args) override;

private:
    double started;
    double searchClosed;
    double firstNameFormed;
    double logCreated;
    double logClosed;
};

#endif
