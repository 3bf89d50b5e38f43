#include "ui/LogFileQuestion.h"

#include "core/CountedString.h"
#include "engine/RenameLogReader.h"
#include "ui/MessageBoxes.h"

bool MayReplaceLogFile(HWND dialog, const char* logPath, WaitCursor& wait)
{
    if (!LogPathHoldsOtherFile(logPath, PlatformFileServices()))
        return true;
    CountedString question("ログファイルの場所にあるファイル\n");
    question.Append(logPath);
    question.Append("\nはリネームのログではありません. 上書きしてよろしいですか?");
    wait.Restore();
    if (ShowMessage(dialog, question.Data(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return false;
    wait.Show();
    return true;
}
