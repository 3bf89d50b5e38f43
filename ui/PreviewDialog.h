#ifndef QUILLOWBY_UI_PREVIEW_DIALOG_H
#define QUILLOWBY_UI_PREVIEW_DIALOG_H

#include <windows.h>

#include "core/CountedString.h"

class RunPreview;

// The line above the list: how many files, how many keep their name, how many the run
// leaves out and why.
CountedString PreviewSummaryText(const RunPreview& preview);

INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the window's fields into the job with the run's checks, works out what the run
// would do now and shows it modally. Moves, creates and writes nothing.
void PreviewCommand(HWND mainWindow);

#endif
