#ifndef QUILLOWBY_UI_GDI_SCOPES_H
#define QUILLOWBY_UI_GDI_SCOPES_H

#include <windows.h>

// Owners of device contexts and selections, each undoing its platform call when it goes
// out of scope. None of them can be copied.

class MemoryDc
{
public:
    explicit MemoryDc(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc()
    {
        if (dc)
            DeleteDC(dc);
    }
    HDC Handle() const { return dc; }

    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

private:
    HDC dc;
};

// A device context of a window's client area, taken outside a paint message.
class WindowDc
{
public:
    explicit WindowDc(HWND window) : window(window), dc(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc)
            ReleaseDC(window, dc);
    }
    HDC Handle() const { return dc; }

    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

private:
    HWND window;
    HDC dc;
};

// Painting of a window's pending update region; ending it validates that region.
class PaintDc
{
public:
    explicit PaintDc(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
    ~PaintDc()
    {
        if (dc)
            EndPaint(window, &paint);
    }
    HDC Handle() const { return dc; }

    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

private:
    HWND window;
    PAINTSTRUCT paint;
    HDC dc;
};

class ObjectSelection
{
public:
    ObjectSelection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~ObjectSelection()
    {
        if (previous)
            SelectObject(dc, previous);
    }

    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

#endif
