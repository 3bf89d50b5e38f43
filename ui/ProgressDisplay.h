#ifndef QUILLOWBY_UI_PROGRESS_DISPLAY_H
#define QUILLOWBY_UI_PROGRESS_DISPLAY_H

#include <windows.h>

#include "engine/platform/Win32Owners.h"

struct ITaskbarList3;

// Shows a run's progress in the window's title and on its taskbar button while it lives,
// and gives both back as they were when it goes. A taskbar that offers no progress (an older
// system, Wine) leaves the title alone to show it.
class ProgressDisplay
{
public:
    explicit ProgressDisplay(HWND window);
    ~ProgressDisplay();

    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void Show(int done, int total);
    // The work was stopped and puts back settled of the waiting files.
    void ShowSettling(int settled, int waiting);

private:
    void ShowTitle(const char* text, int done, int total);

    HWND window;
    char title[128];
    bool shown;
    // Declared before the taskbar, which must be let go of while COM is still there.
    ComApartment com;
    ComPointer<ITaskbarList3> taskbar;
};

#endif
