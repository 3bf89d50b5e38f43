#ifndef QUILLOWBY_UI_BACKGROUND_WORK_H
#define QUILLOWBY_UI_BACKGROUND_WORK_H

#include <windows.h>

#include "engine/RunProgress.h"
#include "engine/platform/Win32Owners.h"

#include <atomic>

// Work the window hands to a thread of its own: a run, an undo, the listing of a preview.
// A command derives from it, keeps what the work needs and gives in members, and does the
// work in Work. The window thread reads the progress counters and may ask for a stop while
// the work goes on; the members belong to the window thread again once Finish has returned.
class BackgroundWork : public RunProgress
{
public:
    BackgroundWork();

    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // False when no thread could be made; nothing has been done then.
    bool Start();
    // Signalled when the work is over.
    HANDLE Thread() const { return thread.Get(); }
    // Waits for the thread.
    void Finish();
    // Does the work on the calling thread, for want of another one.
    void DoHere() { Work(); }

    void RequestStop() { stopRequested.store(true); }
    bool StopRequested() const { return stopRequested.load(); }
    // While the user is asked whether to stop, no further step starts: the answer decides
    // what happens next, not how fast the user gives it.
    void Hold(bool held) { holding.store(held); }
    // How far the work has come, as the title shows it: that share of the files; false
    // before the first step.
    bool Progress(int& done, int& fileCount) const;
    // Once stopped, the files waiting under temporary names at the stop and how many of
    // them have been seen to; false while the work has not begun to settle.
    bool Settled(int& settled, int& waiting) const;

protected:
    // The thread is gone by then: Finish waits for it, and so does the destructor.
    ~BackgroundWork();

    virtual void Work() = 0;

private:
    bool Continue(const WalkProgress& progress) override;
    bool ContinueReading(int filesRead, int fileCount) override;
    bool StopAsked() override { return !GoOn(); }
    void Settling(int settled, int waiting) override;
    bool GoOn();
    static DWORD WINAPI ThreadMain(void* self);

    KernelHandle thread;
    std::atomic<int> fileCount;
    std::atomic<int> stepsTaken;
    std::atomic<int> stepsKnown;
    std::atomic<bool> stopRequested;
    std::atomic<bool> holding;
    // -1 until the settling begins.
    std::atomic<int> filesSettled;
    std::atomic<int> filesWaiting;
};

#endif
