#ifndef QUILLOWBY_UI_ABOUT_DIALOG_H
#define QUILLOWBY_UI_ABOUT_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the about box modally; returns when the user closes it.
void ShowAboutBox(HWND owner);

#endif
