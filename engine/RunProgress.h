#ifndef QUILLOWBY_ENGINE_RUN_PROGRESS_H
#define QUILLOWBY_ENGINE_RUN_PROGRESS_H

// How far the rename walk has come.
struct WalkProgress
{
    int fileCount;
    // Steps taken, and steps known so far: one for each file and one more for each time a
    // file had to wait under a temporary name, so the known steps grow during a renumbering.
    int stepsTaken;
    int stepsKnown;
};

// Told before every rename step, on the thread that runs the walk. It comes once per step,
// tens of thousands of times in a large run, so an implementation keeps it to a few stores
// and decides itself how often to show anything. False stops the run: no further file starts
// its move, and the files waiting under temporary names are settled (see SettleStoppedWalk).
class RunProgress
{
public:
    virtual bool Continue(const WalkProgress& progress) = 0;
    // Told once per file while the dates of a date order are gathered, before the batch is
    // ordered (a run and a preview alike), on the thread that gathers them. False stops
    // there: nothing is moved and no log is created.
    virtual bool ContinueReading(int /*filesRead*/, int /*fileCount*/) { return true; }
    // Asked once when the batch is listed, ordered and numbered, before the log is opened:
    // true ends the run there, nothing moved and no log created or emptied (RefusalStopped).
    virtual bool StopAsked() { return false; }
    // Told while a stopped run or undo settles, on the thread that settles: once before the
    // first of the files waiting under temporary names at the stop is seen to, and again
    // after each one, put back, moved on to its new name or found taken away. Nothing can
    // stop the settling: it only ends what the walk began.
    virtual void Settling(int /*settled*/, int /*waiting*/) {}

protected:
    ~RunProgress() {}
};

#endif
