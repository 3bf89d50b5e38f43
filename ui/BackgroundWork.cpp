#include "ui/BackgroundWork.h"

BackgroundWork::BackgroundWork()
    : fileCount(0), stepsTaken(0), stepsKnown(0), stopRequested(false), holding(false), filesSettled(-1),
      filesWaiting(0)
{
}

BackgroundWork::~BackgroundWork()
{
    // Waited for before the owner closes the handle.
    if (thread.IsValid())
        WaitForSingleObject(thread.Get(), INFINITE);
}

bool BackgroundWork::Start()
{
    thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    return thread.IsValid();
}

void BackgroundWork::Finish()
{
    if (thread.IsValid())
        WaitForSingleObject(thread.Get(), INFINITE);
}

DWORD WINAPI BackgroundWork::ThreadMain(void* self)
{
    static_cast<BackgroundWork*>(self)->Work();
    return 0;
}

bool BackgroundWork::GoOn()
{
    while (holding.load() && !stopRequested.load())
        Sleep(10);
    return !stopRequested.load(std::memory_order_relaxed);
}

// Three stores and a load per step: the window looks at the counters when it wants to.
bool BackgroundWork::Continue(const WalkProgress& progress)
{
    fileCount.store(progress.fileCount, std::memory_order_relaxed);
    stepsTaken.store(progress.stepsTaken, std::memory_order_relaxed);
    stepsKnown.store(progress.stepsKnown, std::memory_order_relaxed);
    return GoOn();
}

// The dates of a date order are read before the walk: the title counts the files read.
bool BackgroundWork::ContinueReading(int filesRead, int files)
{
    fileCount.store(files, std::memory_order_relaxed);
    stepsTaken.store(filesRead, std::memory_order_relaxed);
    stepsKnown.store(files, std::memory_order_relaxed);
    return GoOn();
}

// The steps known grow while files wait under temporary names, so the share of steps taken,
// not the count of finished files, moves evenly through a renumbering, where every file
// goes aside before the first one reaches its new name.
bool BackgroundWork::Progress(int& done, int& files) const
{
    const int known = stepsKnown.load(std::memory_order_relaxed);
    if (known <= 0)
        return false;
    files = fileCount.load(std::memory_order_relaxed);
    done = static_cast<int>(static_cast<long long>(files) * stepsTaken.load(std::memory_order_relaxed) / known);
    return true;
}

// Told first with nothing settled, then once per file: two stores each.
void BackgroundWork::Settling(int settled, int waiting)
{
    filesWaiting.store(waiting, std::memory_order_relaxed);
    filesSettled.store(settled, std::memory_order_release);
}

bool BackgroundWork::Settled(int& settled, int& waiting) const
{
    settled = filesSettled.load(std::memory_order_acquire);
    waiting = filesWaiting.load(std::memory_order_relaxed);
    return settled >= 0;
}
