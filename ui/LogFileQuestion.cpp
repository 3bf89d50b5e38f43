#include "ui/LogFileQuestion.h"

#include "core/CountedString.h"
#include "engine/log/RenameLog.h"
#include "engine/log/RenameLogReader.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"

bool UserSaysYes(HWND dialog, const char* question, WaitCursor& wait)
{
    wait.Restore();
    if (ShowMessage(dialog, question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return false;
    wait.Show();
    return true;
}

bool MayReplaceLogFile(HWND dialog, const char* logPath, WaitCursor& wait)
{
    if (!LogPathHoldsOtherFile(logPath, PlatformFileServices()))
        return true;
    CountedString question = ResourceText(IDS_LOG_NOT_A_LOG_BEFORE);
    question.Append(logPath);
    question.Append(ResourceText(IDS_LOG_NOT_A_LOG_AFTER).Data());
    return UserSaysYes(dialog, question.Data(), wait);
}

bool MayRunWithoutLog(HWND dialog, const char* logPath, WaitCursor& wait)
{
    if (logPath == nullptr || logPath[0] == '\0' || LogCanBeCreated(logPath, PlatformFileServices()))
        return true;
    return UserSaysYes(dialog, FormatResourceText(IDS_LOG_CANNOT_BE_CREATED, logPath).Data(), wait);
}
