#include "ui/FileDialogSettings.h"

#include "res/resource.h"
#include "ui/ResourceText.h"
#include "ui/SystemDlls.h"

#include <commdlg.h>

#include <string>

namespace {

const int kPathBufferSize = 260;

// The common dialog wants the filter as NUL-separated items ending in an empty one; the
// settings keep it with "|" so that it can be written as one literal.
CountedString FilterList(const CountedString& filter)
{
    CountedString list(filter);
    for (int i = 0; i < filter.Length(); ++i) {
        if (*list.CharAt(i) == '|')
            *list.CharAt(i) = '\0';
    }
    return list;
}

// The common dialog moves the process into a folder of its own (the one it showed or the
// one chosen), and the flags leave it free to. Relative folder and log texts must name
// what they named before it came up, so the process goes back when it closes.
class CurrentFolderKeeper
{
public:
    CurrentFolderKeeper()
    {
        DWORD size = GetCurrentDirectoryA(0, nullptr);
        if (size == 0)
            return;
        folder.resize(size);
        folder.resize(GetCurrentDirectoryA(size, &folder[0]));
    }
    ~CurrentFolderKeeper()
    {
        if (!folder.empty())
            SetCurrentDirectoryA(folder.c_str());
    }

    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

private:
    std::string folder;
};

}  // namespace

FileDialogSettings::FileDialogSettings() : filterIndex(0), flags(0)
{
    filePath.Reserve(kPathBufferSize);
}

bool FileDialogSettings::ShowFileDialog(HWND owner)
{
    CountedString filterList = FilterList(filter);
    CountedString title = ResourceText(IDS_SAVE_TITLE);
    *filePath.CharAt(0) = '\0';

    OPENFILENAMEA dialog = {};
    // The record as it was before Windows 2000 added its last members.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterList.Data();
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex);
    dialog.lpstrFile = filePath.Data();
    dialog.nMaxFile = static_cast<DWORD>(filePath.Length() + 1);
    dialog.lpstrInitialDir = initialDir.Data();
    dialog.lpstrTitle = title.Data();
    dialog.Flags = flags;
    dialog.lpstrDefExt = defaultExt.Data();

    CurrentFolderKeeper keeper;
    typedef BOOL(WINAPI * FileDialogCall)(LPOPENFILENAMEA);
    FileDialogCall showDialog = SystemDllFunctionAs<FileDialogCall>(L"comdlg32.dll", "GetSaveFileNameA");
    if (!showDialog || !showDialog(&dialog))
        return false;

    filterIndex = static_cast<int32_t>(dialog.nFilterIndex);
    initialDir.Assign(filePath);
    return true;
}
