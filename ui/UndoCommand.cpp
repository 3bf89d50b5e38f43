#include "ui/UndoCommand.h"

#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/RunCommand.h"
#include "ui/UndoResult.h"
#include "ui/WaitCursor.h"

#include "engine/FileServices.h"
#include "engine/UndoRun.h"

void UndoCommand(HWND dialog)
{
    CountedString logPath;
    ReadFieldText(dialog, IDC_LOG_PATH, logPath);
    FileServices& fs = PlatformFileServices();

    UndoOutcome plan;
    if (!PlanUndo(logPath.Data(), fs, plan)) {
        ShowMessage(dialog, UndoRefusalText(plan).Data(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (ShowMessage(dialog, UndoQuestionText(plan).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    WaitCursor wait;
    UndoOutcome outcome;
    const bool undone = UndoRun(logPath.Data(), fs, outcome);
    wait.Restore();
    const CountedString text = undone ? UndoResultText(outcome, logPath.Data()) : UndoRefusalText(outcome);
    ShowMessage(dialog, text.Data(), MB_OK | MB_ICONEXCLAMATION);
}
