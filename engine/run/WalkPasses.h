#ifndef QUILLOWBY_ENGINE_RUN_WALK_PASSES_H
#define QUILLOWBY_ENGINE_RUN_WALK_PASSES_H

#include <cstddef>

// The passes of a walk over a list that grows at its end: the items appended during one pass
// make the next. A pass that brings no file to its final name ends the walk, since nothing in
// the batch will free the names then; the first pass never does, as files waiting in it have
// not had their turn yet. A failed step is no progress.
class WalkPasses
{
public:
    explicit WalkPasses(size_t listSize) : passEnd(listSize), firstPass(true), progress(false) {}

    // Called for every position before its item is visited; false when the walk ends there.
    bool GoOn(size_t position, size_t listSize)
    {
        if (position != passEnd)
            return true;
        if (!firstPass && !progress)
            return false;
        firstPass = false;
        progress = false;
        passEnd = listSize;
        return true;
    }

    // A file reached its final name in this pass.
    void Progress() { progress = true; }

private:
    size_t passEnd;
    bool firstPass;
    bool progress;
};

#endif
