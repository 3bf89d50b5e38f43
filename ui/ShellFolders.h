#ifndef QUILLOWBY_UI_SHELL_FOLDERS_H
#define QUILLOWBY_UI_SHELL_FOLDERS_H

#include <windows.h>

const int kSpecialFolderBufferSize = MAX_PATH;

// The path of a shell folder (CSIDL_DESKTOP, CSIDL_PERSONAL) in a buffer of
// kSpecialFolderBufferSize bytes; the folder is not created. False, and the buffer empty,
// when the shell does not know it.
bool SpecialFolderPath(HWND owner, int folderId, char* buffer);

#endif
