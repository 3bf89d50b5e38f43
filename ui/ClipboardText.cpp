#include "ui/ClipboardText.h"

#include "engine/platform/Win32Owners.h"

#include <cstring>

namespace {

// Programs hold the clipboard for moments (clipboard managers and remote desktops look at
// every change), so a busy clipboard is tried again for about a second before giving up.
const int kOpenTries = 20;
const DWORD kOpenPause = 50;

bool OpenClipboardSoon(HWND owner)
{
    for (int tries = 1; !OpenClipboard(owner); ++tries) {
        if (tries == kOpenTries)
            return false;
        Sleep(kOpenPause);
    }
    return true;
}

// Open while it lives; another program may hold the clipboard, then it stays shut.
class OpenClipboardScope
{
public:
    explicit OpenClipboardScope(HWND owner) : open(OpenClipboardSoon(owner)) {}
    ~OpenClipboardScope()
    {
        if (open)
            CloseClipboard();
    }

    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

    bool IsOpen() const { return open; }

private:
    bool open;
};

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text)
{
    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    // Freed before the clipboard is closed, as it is declared after it.
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (memory.Get() == nullptr)
        return false;
    char* bytes = static_cast<char*>(GlobalLock(memory.Get()));
    if (bytes == nullptr)
        return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory.Get());
    if (SetClipboardData(CF_TEXT, memory.Get()) == nullptr)
        return false;
    // Once set, the memory belongs to the clipboard.
    memory.Release();
    return true;
}
