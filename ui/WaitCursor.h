#ifndef QUILLOWBY_UI_WAIT_CURSOR_H
#define QUILLOWBY_UI_WAIT_CURSOR_H

#include <windows.h>

// Shows the wait cursor while it lives. Restore brings the arrow back early, before a
// message box, so that no path out of a command leaves the wait cursor behind; Show brings
// the wait cursor back once the box is answered.
class WaitCursor
{
public:
    WaitCursor() : waiting(false) { Show(); }
    ~WaitCursor() { Restore(); }

    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Show()
    {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        waiting = true;
    }

    void Restore()
    {
        if (waiting)
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        waiting = false;
    }

private:
    bool waiting;
};

#endif
