#include "ui/UndoCommand.h"

#include "res/resource.h"
#include "ui/BackgroundWork.h"
#include "ui/HistoryQuestions.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"
#include "ui/RunCommand.h"
#include "ui/RunLoop.h"
#include "ui/ShellFolders.h"
#include "ui/UndoResult.h"
#include "ui/WaitCursor.h"

#include "engine/platform/FileServices.h"
#include "engine/undo/HistoryUndo.h"
#include "engine/undo/UndoRun.h"

namespace {

// The undo of the record at the end of one log.
class UndoWork : public BackgroundWork
{
public:
    explicit UndoWork(const char* logPath) : logPath(logPath), undone(false) {}

    const char* logPath;
    bool undone;
    UndoOutcome outcome;

private:
    void Work() override { undone = UndoRun(logPath, PlatformFileServices(), outcome, this); }
};

// The question names what the choice takes back or makes again, and the work is its undo.
void AskAndUndo(HWND dialog, bool chosen, const UndoChoice& choice, const UndoOutcome& plan)
{
    if (!chosen) {
        ShowMessage(dialog, UndoRefusalText(plan, choice.redo).Data(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (ShowMessage(dialog, UndoQuestionText(plan, choice).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    UndoNow(dialog, choice.path.c_str(), choice.redo);
}

}  // namespace

void UndoNow(HWND dialog, const char* path, bool redo)
{
    WaitCursor wait;
    UndoWork undo(path);
    WorkWhileWindowAnswers(dialog, undo, redo ? IDS_REDO_STOP_QUESTION : IDS_UNDO_STOP_QUESTION);
    wait.Restore();
    CountedString text = undo.undone ? UndoResultText(undo.outcome, path, redo) : UndoRefusalText(undo.outcome, redo);
    if (undo.undone && undo.StopRequested() && !undo.outcome.stopped)
        text.Append(ResourceText(IDS_STOP_CAME_LATE).Data());
    ShowMessage(dialog, text.Data(), MB_OK | MB_ICONEXCLAMATION);
}

void UndoCommand(HWND dialog)
{
    CountedString logPath;
    ReadPathField(dialog, IDC_LOG_PATH, logPath);
    RunHistory history(HistoryFolder(), PlatformFileServices());
    LoadHistory(history);
    UndoChoice choice;
    UndoOutcome plan;
    const bool chosen = ChooseUndo(history, logPath.Data(), PlatformFileServices(), choice, plan);
    AskAndUndo(dialog, chosen, choice, plan);
}

void RedoCommand(HWND dialog)
{
    RunHistory history(HistoryFolder(), PlatformFileServices());
    LoadHistory(history);
    UndoChoice choice;
    choice.redo = true;
    UndoOutcome plan;
    const bool chosen = ChooseRedo(history, PlatformFileServices(), choice, plan);
    AskAndUndo(dialog, chosen, choice, plan);
}
