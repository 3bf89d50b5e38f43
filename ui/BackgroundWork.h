#ifndef QUILLOWBY_UI_BACKGROUND_RUN_H
#define QUILLOWBY_UI_BACKGROUND_RUN_H

#include <windows.h>

#include "engine/RunProgress.h"
#include "engine/RunRename.h"

#include <atomic>

// One run of the process-wide job on a thread of its own. The window thread reads the
// progress counters and may ask for a stop while it runs; the outcome belongs to the window
// thread again once Finish has returned.
class BackgroundRun : public RunProgress
{
public:
    BackgroundRun();
    ~BackgroundRun();

    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // False when no thread could be made; nothing has run then.
    bool Start();
    // Signalled when the run is over.
    HANDLE Thread() const { return thread; }
    void RequestStop() { stopRequested.store(true); }
    // While the user is asked whether to stop, no further step starts: the answer decides
    // what happens next, not how fast the user gives it.
    void Hold(bool held) { holding.store(held); }
    // How far the walk has come, as the title shows it: that share of the files; false before
    // the walk has begun.
    bool Progress(int& done, int& fileCount) const;
    // Waits for the thread; RunRename's result and outcome.
    bool Finish(RunOutcome& result);

private:
    bool Continue(const WalkProgress& progress) override;
    static DWORD WINAPI ThreadMain(void* self);

    HANDLE thread;
    bool ran;
    RunOutcome outcome;
    std::atomic<int> fileCount;
    std::atomic<int> stepsTaken;
    std::atomic<int> stepsKnown;
    std::atomic<bool> stopRequested;
    std::atomic<bool> holding;
};

#endif
