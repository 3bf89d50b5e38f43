// A run, an undo or a preview goes to a thread of its own while the window thread goes on
// taking the window's messages, so the window repaints, answers and can be asked to stop
// however long the listing, the ordering, the reading of dates or a single move takes (a
// virus scanner looking at every rename, a network folder). Calling back into the window
// between the steps would keep it frozen through all of those.
//
// The process-wide objects are touched by one thread at a time. The window thread fills the
// job before the worker starts and reads the outcome only after the worker has ended; in
// between, the window holds back every command that reads or changes the job, the entry list,
// the temporary-name counter, the shuffle's state or a log (WorkInProgress), so only the
// worker touches them. The threads share nothing else but the progress counters and the stop
// request of BackgroundWork, which are atomic.
#include "ui/RunLoop.h"

#include "ui/BackgroundWork.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressDisplay.h"
#include "ui/ResourceText.h"

namespace {

BackgroundWork* activeWork = nullptr;
UINT activeQuestion = 0;
bool askingToStop = false;
bool closeAfterWork = false;

// Often enough to look alive, rarely enough to cost nothing.
const DWORD kProgressInterval = 250;

// Keys and clicks meant for the fields and buttons do nothing during the work. Escape still
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

// Handles what is waiting; a quit message is kept for the loop outside, after the work.
// Escape asks to stop the work alone; the dialog manager would make it the exit command,
// which closes the window once the work has stopped.
void HandleWaitingMessages(HWND dialog, bool& quit, int& quitCode)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            AskToStopWork(dialog, false);
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

}  // namespace

void WorkWhileWindowAnswers(HWND dialog, BackgroundWork& work, UINT stopQuestion)
{
    if (!work.Start()) {
        work.DoHere();
        return;
    }

    activeWork = &work;
    activeQuestion = stopQuestion;
    bool quit = false;
    int quitCode = 0;
    {
        ProgressDisplay display(dialog);
        DWORD lastShown = GetTickCount();
        HANDLE thread = work.Thread();
        while (MsgWaitForMultipleObjectsEx(1, &thread, kProgressInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
               WAIT_OBJECT_0) {
            HandleWaitingMessages(dialog, quit, quitCode);
            int done = 0;
            int total = 0;
            if (GetTickCount() - lastShown < kProgressInterval)
                continue;
            if (work.Settled(done, total))
                display.ShowSettling(done, total);
            else if (work.Progress(done, total))
                display.Show(done, total);
            else
                continue;
            lastShown = GetTickCount();
        }
    }
    activeWork = nullptr;
    work.Finish();
    if (quit)
        PostQuitMessage(quitCode);
}

bool WorkInProgress()
{
    return activeWork != nullptr;
}

void AskToStopWork(HWND dialog, bool closing)
{
    if (!activeWork || askingToStop)
        return;
    if (activeQuestion == 0) {
        activeWork->RequestStop();
        return;
    }
    if (!activeWork->StopRequested()) {
        askingToStop = true;
        activeWork->Hold(true);
        const int answer =
            ShowMessage(dialog, ResourceText(activeQuestion).Data(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        askingToStop = false;
        if (answer == IDYES)
            activeWork->RequestStop();
        activeWork->Hold(false);
    }
    if (closing && activeWork->StopRequested())
        closeAfterWork = true;
}

bool TakeCloseAfterWork()
{
    const bool close = closeAfterWork && !activeWork;
    if (close)
        closeAfterWork = false;
    return close;
}

bool ShowWorkCursor(LPARAM hitTestAndMessage)
{
    if (!activeWork || LOWORD(hitTestAndMessage) != HTCLIENT)
        return false;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return true;
}
