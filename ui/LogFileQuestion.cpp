#include "ui/LogFileQuestion.h"

#include "core/CountedString.h"
#include "engine/RenameLogReader.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"

bool MayReplaceLogFile(HWND dialog, const char* logPath, WaitCursor& wait)
{
    if (!LogPathHoldsOtherFile(logPath, PlatformFileServices()))
        return true;
    CountedString question = ResourceText(IDS_LOG_NOT_A_LOG_BEFORE);
    question.Append(logPath);
    question.Append(ResourceText(IDS_LOG_NOT_A_LOG_AFTER).Data());
    wait.Restore();
    if (ShowMessage(dialog, question.Data(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return false;
    wait.Show();
    return true;
}
