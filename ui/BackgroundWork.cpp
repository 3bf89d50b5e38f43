#include "ui/BackgroundRun.h"

#include "ui/AppObjects.h"

#include "engine/FileServices.h"

BackgroundRun::BackgroundRun()
    : thread(nullptr), ran(false), fileCount(0), stepsTaken(0), stepsKnown(0), stopRequested(false), holding(false)
{
}

BackgroundRun::~BackgroundRun()
{
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

bool BackgroundRun::Start()
{
    thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    return thread != nullptr;
}

DWORD WINAPI BackgroundRun::ThreadMain(void* self)
{
    BackgroundRun* run = static_cast<BackgroundRun*>(self);
    run->ran = RunRename(renameJob, entryList, PlatformFileServices(), run->outcome, run);
    return 0;
}

// Three stores and a load per step: the window looks at the counters when it wants to.
bool BackgroundRun::Continue(const WalkProgress& progress)
{
    fileCount.store(progress.fileCount, std::memory_order_relaxed);
    stepsTaken.store(progress.stepsTaken, std::memory_order_relaxed);
    stepsKnown.store(progress.stepsKnown, std::memory_order_relaxed);
    while (holding.load() && !stopRequested.load())
        Sleep(10);
    return !stopRequested.load(std::memory_order_relaxed);
}

// The steps known grow while files wait under temporary names, so the share of steps taken,
// not the count of finished files, moves evenly through a renumbering, where every file
// goes aside before the first one reaches its new name.
bool BackgroundRun::Progress(int& done, int& files) const
{
    const int known = stepsKnown.load(std::memory_order_relaxed);
    if (known <= 0)
        return false;
    files = fileCount.load(std::memory_order_relaxed);
    done = static_cast<int>(static_cast<long long>(files) * stepsTaken.load(std::memory_order_relaxed) / known);
    return true;
}

bool BackgroundRun::Finish(RunOutcome& result)
{
    WaitForSingleObject(thread, INFINITE);
    result = outcome;
    return ran;
}
