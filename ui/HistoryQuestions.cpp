#include "ui/HistoryQuestions.h"

#include "res/resource.h"
#include "ui/LogFileQuestion.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"
#include "ui/UndoCommand.h"
#include "ui/UndoResult.h"

#include "engine/history/RunHistory.h"
#include "engine/undo/HistoryUndo.h"

namespace {

const TextOf<RecordState> kUnfinishedQuestions[] = {
    {RecordRunOpen, IDS_UNFINISHED_RUN_QUESTION},
    {RecordUndoOpen, IDS_UNFINISHED_UNDO_QUESTION},
    {RecordRedoOpen, IDS_UNFINISHED_REDO_QUESTION},
};

}  // namespace

bool LoadHistory(RunHistory& history)
{
    return !history.Folder().empty() && history.Load();
}

// A history that cannot be listed would number the run's record as if it held none.
bool MayRunWithoutHistory(HWND dialog, RunHistory& history, RunHistory*& kept, WaitCursor& wait)
{
    kept = nullptr;
    if (!history.Folder().empty() && history.CanBeWritten() && LoadHistory(history)) {
        kept = &history;
        return true;
    }
    return UserSaysYes(dialog, FormatResourceText(IDS_HISTORY_NOT_WRITABLE, history.Folder().c_str()).Data(), wait);
}

// The undo of that record, as 元に戻す plans it.
bool UnfinishedHoldsRunBack(HWND dialog, RunHistory& history, const char* folder, WaitCursor& wait)
{
    FileServices& fs = PlatformFileServices();
    const int index = folder == nullptr || folder[0] == '\0' ? -1 : history.UnfinishedIn(RecordFolder(folder, fs));
    if (index < 0)
        return false;
    const HistoryRecord& record = history.Records()[static_cast<size_t>(index)];
    const CountedString question =
        FormatResourceText(TextIdOf(kUnfinishedQuestions, record.state, IDS_UNFINISHED_RUN_QUESTION),
                           record.folder.c_str(), record.made.c_str());
    if (!UserSaysYes(dialog, question.Data(), wait))
        return true;
    wait.Restore();
    const bool redo = record.state == RecordRedoOpen;
    UndoOutcome plan;
    if (!PlanUnfinished(record, history, fs, plan)) {
        ShowMessage(dialog, UndoRefusalText(plan, redo).Data(), MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    UndoNow(dialog, record.path.c_str(), redo);
    return true;
}
