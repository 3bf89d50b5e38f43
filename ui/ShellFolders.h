#ifndef QUILLOWBY_UI_SHELL_FOLDERS_H
#define QUILLOWBY_UI_SHELL_FOLDERS_H

#include <windows.h>

#include <string>

const int kSpecialFolderBufferSize = MAX_PATH;

// The path of a shell folder (CSIDL_DESKTOP, CSIDL_PERSONAL) in a buffer of
// kSpecialFolderBufferSize bytes; the folder is not created. False, and the buffer empty,
// when the shell does not know it.
bool SpecialFolderPath(HWND owner, int folderId, char* buffer);

// The folder of the history of runs: "Quillowby" in the user's folder of local application
// data, as the shell names it; empty when the shell does not know that folder. The window
// tests put QUILLOWBY_HISTORY_DIR in their environment to give each test a history of its
// own; nothing but this function reads it.
std::string HistoryFolder();

#endif
