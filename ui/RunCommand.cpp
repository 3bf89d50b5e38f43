#include "ui/RunCommand.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/BackgroundWork.h"
#include "ui/HistoryQuestions.h"
#include "ui/LogFileQuestion.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"
#include "ui/RunLoop.h"
#include "ui/RunResult.h"
#include "ui/ShellFolders.h"
#include "ui/WaitCursor.h"

#include "engine/history/RunHistory.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"
#include "engine/run/RunRename.h"

void ReadFieldText(HWND dialog, int id, CountedString& text)
{
    HWND field = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(field);
    GetWindowTextA(field, text.Reserve(length + 1), length + 1);
}

void ReadPathField(HWND dialog, int id, CountedString& text)
{
    ReadFieldText(dialog, id, text);
    if (TrimPastedPath(text))
        SetDlgItemTextA(dialog, id, text.Data());
}

namespace {

// Text that cannot be read as a number reads as 0. The 32 bits go into the signed field
// unchanged, so numbers from 2147483648 up arrive negative.
int32_t ReadFieldNumber(HWND dialog, int id)
{
    return static_cast<int32_t>(GetDlgItemInt(dialog, id, nullptr, FALSE));
}

// A start number that does not fit into a signed 32-bit number, also one too long for the
// platform to read at all, must not quietly become another number.
bool StartNumberValid(HWND dialog, int32_t startNumber)
{
    if (startNumber < 0)
        return false;
    BOOL converted = FALSE;
    GetDlgItemInt(dialog, IDC_START, &converted, FALSE);
    return converted || GetWindowTextLengthA(GetDlgItem(dialog, IDC_START)) == 0;
}

void FillJob(HWND dialog, RenameJob& job)
{
    CountedString pattern;
    ReadPathField(dialog, IDC_FOLDER, job.folder);
    ReadFieldText(dialog, IDC_PATTERN, pattern);
    ReadFieldText(dialog, IDC_MASK, job.mask);
    ReadPathField(dialog, IDC_LOG_PATH, job.logPath);
    job.SplitPattern(pattern.Data());
    job.startNumber = ReadFieldNumber(dialog, IDC_START);
    job.digitCount = ReadFieldNumber(dialog, IDC_DIGITS);
    job.order = static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_ORDER, CB_GETCURSEL, 0, 0));
    job.sameNumberForSameName = (GetMenuState(GetMenu(dialog), IDM_SAME_NUMBER, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Leaves the field ready for the correction: focused, its whole text selected.
void RejectField(HWND dialog, int id, UINT warning)
{
    ShowMessage(dialog, ResourceText(warning).Data(), MB_OK | MB_ICONEXCLAMATION);
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

// The run of the process-wide job, keeping its record in the history when one is given.
class RunWork : public BackgroundWork
{
public:
    explicit RunWork(RunHistory* history) : ran(false), history(history) {}

    bool ran;
    RunOutcome outcome;

private:
    void Work() override { ran = RunRename(renameJob, entryList, PlatformFileServices(), outcome, this, history); }

    RunHistory* history;
};

}  // namespace

bool TakeJob(HWND dialog, WaitCursor& wait)
{
    FillJob(dialog, renameJob);
    if (!renameJob.DigitCountValid()) {
        wait.Restore();
        RejectField(dialog, IDC_DIGITS, IDS_DIGIT_WARNING);
        return false;
    }
    if (!StartNumberValid(dialog, renameJob.startNumber)) {
        wait.Restore();
        RejectField(dialog, IDC_START, IDS_START_WARNING);
        return false;
    }
    return true;
}

void RunCommand(HWND dialog)
{
    if (ShowMessage(dialog, ResourceText(IDS_CONFIRM_RUN).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    WaitCursor wait;
    if (!TakeJob(dialog, wait))
        return;
    if (!MayReplaceLogFile(dialog, renameJob.logPath.Data(), wait) ||
        !MayRunWithoutLog(dialog, renameJob.logPath.Data(), wait))
        return;
    RunHistory history(HistoryFolder(), PlatformFileServices());
    RunHistory* kept = nullptr;
    if (!MayRunWithoutHistory(dialog, history, kept, wait) ||
        (kept && UnfinishedHoldsRunBack(dialog, history, renameJob.folder.Data(), wait)))
        return;

    RunWork run(kept);
    WorkWhileWindowAnswers(dialog, run, IDS_STOP_QUESTION);
    wait.Restore();
    ShowMessage(dialog, RunResultText(run.ran, run.outcome, run.StopRequested(), renameJob.logPath.Data()).Data(),
                MB_OK | MB_ICONEXCLAMATION);
}
