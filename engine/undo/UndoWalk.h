#ifndef QUILLOWBY_ENGINE_UNDO_UNDO_WALK_H
#define QUILLOWBY_ENGINE_UNDO_UNDO_WALK_H

#include "engine/run/ArrivedNames.h"
#include "engine/run/WalkPasses.h"
#include "engine/undo/UndoPlan.h"

#include <cstddef>
#include <vector>

class RunProgress;
class WriteAhead;

// Takes the steps back newest first. A step whose target is taken waits under a temporary
// name at the end, and the file's earlier steps wait behind it; a pass that brings no file
// a step further ends the walk, as in a run.
class UndoWalk
{
public:
    UndoWalk(const UndoPlan& plan, FileServices& fs, LogWriter& log, UndoOutcome& outcome, RunProgress* progress,
             WriteAhead* ahead)
        : plan(plan), fs(fs), log(log), outcome(outcome), progress(progress), ahead(ahead), arrived(fs)
    {
    }

    void Walk();

private:
    size_t ExpectMoves(size_t position);
    size_t ExpectPuttingBack(size_t position);
    void TakeBack(size_t step);
    void Stop(UndoFile& file);
    bool Due(size_t step) const;
    bool Waiting(size_t step) const;
    void WriteSkipped(const LoggedStep& step);

    const UndoPlan& plan;
    FileServices& fs;
    LogWriter& log;
    UndoOutcome& outcome;
    RunProgress* progress;
    WriteAhead* ahead;
    ArrivedNames arrived;
    std::vector<size_t> tasks;
    WalkPasses passes{0};
};

#endif
