#include "ui/ProgressDisplay.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

#include <shobjidl.h>

#include <cstdio>

ProgressDisplay::ProgressDisplay(HWND window) : window(window), shown(false), com(COINIT_APARTMENTTHREADED)
{
    GetWindowTextA(window, title, sizeof title);
    if (!com.IsStarted())
        return;
    void* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list)))
        return;
    taskbar.Reset(static_cast<ITaskbarList3*>(list));
    if (FAILED(taskbar->HrInit()))
        taskbar.Reset(nullptr);
}

ProgressDisplay::~ProgressDisplay()
{
    if (shown) {
        SetWindowTextA(window, title);
        if (taskbar)
            taskbar->SetProgressState(window, TBPF_NOPROGRESS);
    }
}

void ProgressDisplay::Show(int done, int total)
{
    ShowTitle("Quillowby - %d/%d", done, total);
}

void ProgressDisplay::ShowSettling(int settled, int waiting)
{
    ShowTitle(ResourceText(IDS_SETTLING_TITLE).Data(), settled, waiting);
}

void ProgressDisplay::ShowTitle(const char* format, int done, int total)
{
    char text[160];
    std::snprintf(text, sizeof text, format, done, total);
    SetWindowTextA(window, text);
    if (taskbar) {
        if (!shown)
            taskbar->SetProgressState(window, TBPF_NORMAL);
        taskbar->SetProgressValue(window, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
    }
    shown = true;
}
