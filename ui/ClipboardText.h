#ifndef QUILLOWBY_UI_CLIPBOARD_TEXT_H
#define QUILLOWBY_UI_CLIPBOARD_TEXT_H

#include <windows.h>

#include <string>

// Puts text on the clipboard as CF_TEXT, in the ANSI code page as it stands, in place of
// whatever was there. A clipboard another program holds is waited for about a second. False
// when the clipboard could not be had or the memory not taken.
bool CopyTextToClipboard(HWND owner, const std::string& text);

#endif
