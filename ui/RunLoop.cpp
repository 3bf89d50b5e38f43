// The run goes to a thread of its own while the window thread goes on taking the window's
// messages, so the window repaints, answers and can be asked to stop however long the listing,
// the ordering or a single move takes (a virus scanner looking at every rename, a network
// folder). Calling back into the window between the walk's steps would keep it frozen
// through all of those.
//
// The process-wide objects are touched by one thread at a time. The window thread fills the
// job before the worker starts and reads the outcome only after the worker has ended; in
// between, the window holds back every command that reads or changes the job, the entry list,
// the temporary-name counter or the shuffle's state (RunInProgress), so only the worker
// touches them. The threads share nothing else but the progress counters and the stop request
// of BackgroundRun, which are atomic.
#include "ui/RunLoop.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/BackgroundRun.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressDisplay.h"
#include "ui/ResourceText.h"

#include "engine/FileServices.h"

namespace {

BackgroundRun* activeRun = nullptr;
bool askingToStop = false;

// Often enough to look alive, rarely enough to cost nothing.
const DWORD kProgressInterval = 250;

// Keys and clicks meant for the fields and buttons do nothing during a run. Escape still
// reaches the dialog manager, which turns it into the exit command, and clicks on the dialog
// itself still reach the Run and Exit areas; the system keys, the menu, the title bar and
// the close box work as always.
bool HeldBack(HWND dialog, const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return message.wParam != VK_ESCAPE;
    case WM_CHAR:
    case WM_DEADCHAR:
        return true;
    }
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)
        return message.hwnd != dialog;
    return false;
}

// Handles what is waiting; a quit message is kept for the loop outside, after the run.
void HandleWaitingMessages(HWND dialog, bool& quit, int& quitCode)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (HeldBack(dialog, message))
            continue;
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

} // namespace

bool RunWhileWindowAnswers(HWND dialog, RunOutcome& outcome)
{
    BackgroundRun run;
    if (!run.Start())
        return RunRename(renameJob, entryList, PlatformFileServices(), outcome);

    activeRun = &run;
    bool quit = false;
    int quitCode = 0;
    {
        ProgressDisplay display(dialog);
        DWORD lastShown = GetTickCount();
        HANDLE thread = run.Thread();
        while (MsgWaitForMultipleObjectsEx(1, &thread, kProgressInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
               WAIT_OBJECT_0) {
            HandleWaitingMessages(dialog, quit, quitCode);
            int done = 0;
            int total = 0;
            if (GetTickCount() - lastShown >= kProgressInterval && run.Progress(done, total)) {
                display.Show(done, total);
                lastShown = GetTickCount();
            }
        }
    }
    activeRun = nullptr;
    const bool ran = run.Finish(outcome);
    if (quit)
        PostQuitMessage(quitCode);
    return ran;
}

bool RunInProgress()
{
    return activeRun != nullptr;
}

void AskToStopRun(HWND dialog)
{
    if (askingToStop)
        return;
    askingToStop = true;
    if (activeRun)
        activeRun->Hold(true);
    const int answer = ShowMessage(dialog, ResourceText(IDS_STOP_QUESTION).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    askingToStop = false;
    if (answer == IDYES && activeRun)
        activeRun->RequestStop();
    if (activeRun)
        activeRun->Hold(false);
}

bool ShowRunCursor(LPARAM hitTestAndMessage)
{
    if (!activeRun || LOWORD(hitTestAndMessage) != HTCLIENT)
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return true;
}
