#ifndef QUILLOWBY_UI_MAIN_DIALOG_H
#define QUILLOWBY_UI_MAIN_DIALOG_H

#include <windows.h>

// The main window, a modeless dialog made from IDD_MAIN. Destroying it posts the quit
// message.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

HWND CreateMainWindow();

// Gives a message of the program's loop to the window's shortcut keys and the dialog
// manager; false when the loop must dispatch it itself.
bool HandleMainWindowMessage(HWND window, MSG& message);

#endif
