#ifndef QUILLOWBY_UI_SKINNED_AREAS_H
#define QUILLOWBY_UI_SKINNED_AREAS_H

#include <windows.h>

// The Run and Exit areas of the main window: two empty statics that the window paints from
// the skin and whose clicks it tracks itself. 0: none held, 1: Run held, 2: Exit held.
extern int pressedArea;

void LoadSkin();
void PaintSkinnedAreas(HWND dialog);
// point is the mouse message's second parameter, in the dialog's client coordinates.
void PressSkinnedArea(HWND dialog, LPARAM point);
// A release over the area that was pressed posts that area's command to the dialog.
void ReleaseSkinnedArea(HWND dialog, LPARAM point);
// The mouse capture went elsewhere (another window came up, the user switched away): the
// press is dropped, so that no later release acts on it, and the area is drawn up again.
void DropSkinnedPress(HWND dialog);

#endif
