#ifndef QUILLOWBY_UI_MAIN_DIALOG_H
#define QUILLOWBY_UI_MAIN_DIALOG_H

#include <windows.h>

// The main window, a modeless dialog made from IDD_MAIN. Destroying it posts the quit
// message.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

HWND CreateMainWindow();

// Takes the main window's keys (Ctrl+Z undoes, Ctrl+Y makes again, F5 previews) and hands the message to the
// dialog manager, as the program's loop does; false when it is left to translate and dispatch.
bool HandleMainWindowMessage(HWND window, MSG& message);

#endif
