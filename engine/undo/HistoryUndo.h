#ifndef QUILLOWBY_ENGINE_UNDO_HISTORY_UNDO_H
#define QUILLOWBY_ENGINE_UNDO_HISTORY_UNDO_H

#include "engine/history/RunHistory.h"
#include "engine/undo/UndoRun.h"

#include <string>

// What the next undo or redo reads and appends its own record to.
struct UndoChoice
{
    // The history's record, or the log at the log path; empty when there is nothing to do.
    std::string path;
    // The record's index in the history; -1 for the log at the log path.
    int record = -1;
    // When the record's run was made ("2019/05/01 10:00:00"); empty for the log.
    std::string made;
    // The act gives the files the run's new names again.
    bool redo = false;
};

// What 元に戻す takes back: the newest record of the history that is done and still has a
// file where it says, or whose run, undo or redo did not finish (a redo cut short is finished
// first); with none, the log at logPath when the history does not hold its run and no
// finished undo took that run back. A record whose files are all gone from where it says is
// passed over, and one whose run, undo or redo did not finish is then marked finished, so that
// it holds back neither its folder nor older runs.
// False with outcome.refusal when there is nothing to take back; otherwise outcome is the plan
// (PlanUndo) of the choice.
bool ChooseUndo(RunHistory& history, const char* logPath, FileServices& fs, UndoChoice& choice, UndoOutcome& outcome);

// What やり直し makes again: the record taken back last since the newest run was made. A redo
// of it cut short with no file left to move is marked finished, and nothing is left to make.
bool ChooseRedo(RunHistory& history, FileServices& fs, UndoChoice& choice, UndoOutcome& outcome);

// Plans the undo of the record: refused when its folder is on another volume than the one the
// run was made on (UndoFolderGone), as the folder of that name is not the run's.
bool PlanRecordUndo(const HistoryRecord& record, const RunHistory& history, FileServices& fs, UndoOutcome& outcome);

// Plans the act that finishes the record of a run, undo or redo that did not finish in its
// folder. One with no file left to move is ended instead, as an undo with no step that
// finished, so that it no longer holds back its folder; false then, as for any refusal.
bool PlanUnfinished(const HistoryRecord& record, const RunHistory& history, FileServices& fs, UndoOutcome& outcome);

#endif
