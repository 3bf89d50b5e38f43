#ifndef QUILLOWBY_UI_FILE_DIALOG_SETTINGS_H
#define QUILLOWBY_UI_FILE_DIALOG_SETTINGS_H

#include <windows.h>

#include "core/CountedString.h"

#include <cstdint>

// The settings of the common save dialog and its last results, kept between uses so
// that each dialog starts where the last choice was made.
class FileDialogSettings
{
public:
    FileDialogSettings();

    // True when the user chose a file; then filePath holds it and the next dialog starts
    // from it.
    bool ShowFileDialog(HWND owner);

    // Pairs of display text and pattern, each item followed by "|".
    CountedString filter;
    int32_t filterIndex;
    CountedString filePath;
    CountedString initialDir;
    uint32_t flags;
    CountedString defaultExt;
};

#endif
