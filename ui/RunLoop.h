#ifndef QUILLOWBY_UI_RUN_LOOP_H
#define QUILLOWBY_UI_RUN_LOOP_H

#include <windows.h>

class BackgroundWork;

// Does the work on a thread of its own while the window goes on answering and shows the
// work's progress; returns when the work is over. A request to close the window meanwhile
// asks the string table's stopQuestion whether to stop the work; with 0 for a question, the
// work moves nothing and stops without one.
void WorkWhileWindowAnswers(HWND dialog, BackgroundWork& work, UINT stopQuestion);

// Work is under way: the window starts no other work and does not close.
bool WorkInProgress();

// Asks whether to stop the work; Yes stops it. Once a stop was asked for, the work only
// settles what it began, and the question does not come again. With closing (the window was
// asked to close), a stop asked for now or before closes the window after the work.
void AskToStopWork(HWND dialog, bool closing);

// A close was asked for during the work that has ended, and the work stopped for it: true
// once, after which the window is to go.
bool TakeCloseAfterWork();

// The wait cursor over the window's client area while work is under way; false when the
// cursor is left to the usual handling.
bool ShowWorkCursor(LPARAM hitTestAndMessage);

#endif
