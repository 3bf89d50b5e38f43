#ifndef QUILLOWBY_UI_MESSAGE_BOXES_H
#define QUILLOWBY_UI_MESSAGE_BOXES_H

#include <windows.h>

// Every message box of the program is owned by the window it speaks for (the main window, or
// the preview for its copy) and carries the program's name.
inline int ShowMessage(HWND owner, const char* text, UINT flags)
{
    return MessageBoxA(owner, text, "Quillowby", flags);
}

#endif
