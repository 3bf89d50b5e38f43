#include "ui/UndoCommand.h"

#include "res/resource.h"
#include "ui/BackgroundWork.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"
#include "ui/RunCommand.h"
#include "ui/RunLoop.h"
#include "ui/UndoResult.h"
#include "ui/WaitCursor.h"

#include "engine/platform/FileServices.h"
#include "engine/UndoRun.h"

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

} // namespace

void UndoCommand(HWND dialog)
{
    CountedString logPath;
    ReadPathField(dialog, IDC_LOG_PATH, logPath);

    UndoOutcome plan;
    if (!PlanUndo(logPath.Data(), PlatformFileServices(), plan)) {
        ShowMessage(dialog, UndoRefusalText(plan).Data(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (ShowMessage(dialog, UndoQuestionText(plan).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    WaitCursor wait;
    UndoWork undo(logPath.Data());
    WorkWhileWindowAnswers(dialog, undo, IDS_UNDO_STOP_QUESTION);
    wait.Restore();
    CountedString text = undo.undone ? UndoResultText(undo.outcome, logPath.Data()) : UndoRefusalText(undo.outcome);
    if (undo.undone && undo.StopRequested() && !undo.outcome.stopped)
        text.Append(ResourceText(IDS_STOP_CAME_LATE).Data());
    ShowMessage(dialog, text.Data(), MB_OK | MB_ICONEXCLAMATION);
}
