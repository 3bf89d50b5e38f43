#include "ui/MainDialog.h"

#include "res/resource.h"
#include "ui/AboutDialog.h"
#include "ui/AppObjects.h"
#include "ui/CommandRoutes.h"
#include "ui/PreviewDialog.h"
#include "ui/ResourceText.h"
#include "ui/RunCommand.h"
#include "ui/RunLoop.h"
#include "ui/ShellFolders.h"
#include "ui/SkinnedAreas.h"
#include "ui/UndoCommand.h"

#include "engine/order/Ordering.h"

#include <shlobj.h>

namespace {

// The labels of IDC_ORDER stand in the string table from IDS_ORDER_FIRST on; an entry's
// index is its sort order.
const int kOrderCount = NaturalDescending + 1;

struct GlyphButton
{
    int buttonId;
    int bitmapId;
};

const GlyphButton kGlyphButtons[] = {
    {IDC_DESKTOP, IDB_DESKTOP},
    {IDC_DOCUMENTS, IDB_DOCUMENTS},
    {IDC_LOG_BROWSE, IDB_SAVE},
};
const int kGlyphCount = sizeof kGlyphButtons / sizeof kGlyphButtons[0];

// The buttons do not own their images; the window deletes them when it goes.
HBITMAP glyphBitmaps[kGlyphCount];

void LoadGlyphs(HWND dialog)
{
    for (int i = 0; i < kGlyphCount; ++i) {
        glyphBitmaps[i] = LoadBitmapA(appInstance, MAKEINTRESOURCEA(kGlyphButtons[i].bitmapId));
        SendDlgItemMessageA(dialog, kGlyphButtons[i].buttonId, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(glyphBitmaps[i]));
    }
}

void DeleteGlyphs()
{
    for (HBITMAP& glyph : glyphBitmaps) {
        if (glyph)
            DeleteObject(glyph);
        glyph = nullptr;
    }
}

void FillFileDialogSettings(const char* desktop)
{
    fileDialogSettings.defaultExt.Assign("txt");
    fileDialogSettings.filterIndex = 1;
    fileDialogSettings.filter.Assign("Text Files (*txt)|*.txt|");
    fileDialogSettings.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NONETWORKBUTTON;
    if (desktop[0] != '\0')
        fileDialogSettings.initialDir.Assign(desktop);
}

void FillOrderList(HWND dialog)
{
    for (int order = 0; order < kOrderCount; ++order) {
        CountedString label = ResourceText(IDS_ORDER_FIRST + order);
        SendDlgItemMessageA(dialog, IDC_ORDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.Data()));
    }
    SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, 0, 0);
}

// Without a desktop folder there is no sensible default; the field stays empty rather than
// naming a log somewhere unexpected.
void ShowDefaultLogPath(HWND dialog, const char* desktop)
{
    if (desktop[0] == '\0')
        return;
    CountedString logPath(desktop);
    logPath.Append("\\log.txt");
    SetDlgItemTextA(dialog, IDC_LOG_PATH, logPath.Data());
}

void OnInitDialog(HWND dialog)
{
    SetWindowPos(dialog, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP))));
    LoadSkin();
    LoadGlyphs(dialog);

    char desktop[kSpecialFolderBufferSize];
    SpecialFolderPath(dialog, CSIDL_DESKTOP, desktop);
    FillFileDialogSettings(desktop);
    FillOrderList(dialog);
    SetDlgItemTextA(dialog, IDC_PATTERN, "?");
    SetDlgItemTextA(dialog, IDC_MASK, "*.*");
    ShowDefaultLogPath(dialog, desktop);
    SetDlgItemInt(dialog, IDC_START, 0, FALSE);
    SetDlgItemInt(dialog, IDC_DIGITS, 3, FALSE);
    SendDlgItemMessageA(dialog, IDC_FIX_DIGITS, BM_SETCHECK, BST_CHECKED, 0);
}

// A folder the shell cannot name leaves the field as it was.
void ShowSpecialFolder(HWND dialog, int folderId)
{
    char path[kSpecialFolderBufferSize];
    if (!SpecialFolderPath(dialog, folderId, path))
        return;
    SetDlgItemTextA(dialog, IDC_FOLDER, path);
    HWND folder = GetDlgItem(dialog, IDC_FOLDER);
    SetFocus(folder);
    // Posted, so the caret goes to the end once the focus change has settled.
    PostMessageA(folder, WM_KEYDOWN, VK_END, 0);
}

void ShowDesktopFolder(HWND dialog)
{
    ShowSpecialFolder(dialog, CSIDL_DESKTOP);
}

void ShowDocumentsFolder(HWND dialog)
{
    ShowSpecialFolder(dialog, CSIDL_PERSONAL);
}

// The automatic check box flips its own mark on the same click, so the mark, the flag and
// the digit field move together from their common start: checked, on, enabled.
void TogglePadding(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_DIGITS), !renameJob.padDigits);
    renameJob.padDigits = renameJob.padDigits ? 0 : 1;
}

// The mark is the setting: the next run reads it from the menu. The menu is loaded afresh at
// every start, so the item starts unchecked.
void ToggleSameNumber(HWND dialog)
{
    HMENU menu = GetMenu(dialog);
    const bool checked = (GetMenuState(menu, IDM_SAME_NUMBER, MF_BYCOMMAND) & MF_CHECKED) != 0;
    CheckMenuItem(menu, IDM_SAME_NUMBER, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
}

void ChooseLogFile(HWND dialog)
{
    if (fileDialogSettings.ShowFileDialog(dialog))
        SetDlgItemTextA(dialog, IDC_LOG_PATH, fileDialogSettings.filePath.Data());
}

// While work is under way the window does not go yet; it asks whether to stop the work, and
// goes once the work has stopped and its result has been shown.
void CloseMainWindow(HWND dialog)
{
    if (WorkInProgress())
        AskToStopWork(dialog, true);
    else
        DestroyWindow(dialog);
}

const CommandRoute kCommandRoutes[] = {
    {IDOK, RunCommand, false},
    {IDM_UNDO, UndoCommand, false},
    {IDM_REDO, RedoCommand, false},
    {IDCANCEL, CloseMainWindow, true},
    {IDM_EXIT, CloseMainWindow, true},
    {IDC_DESKTOP, ShowDesktopFolder, false},
    {IDC_DOCUMENTS, ShowDocumentsFolder, false},
    {IDC_FIX_DIGITS, TogglePadding, false},
    {IDC_LOG_BROWSE, ChooseLogFile, false},
    {IDM_ABOUT, ShowAboutBox, true},
    {IDM_PREVIEW, PreviewCommand, false},
    {IDM_SAME_NUMBER, ToggleSameNumber, true},
};

void OnCommand(HWND dialog, WORD id)
{
    if (RouteCommand(kCommandRoutes, dialog, id, WorkInProgress()) && TakeCloseAfterWork())
        DestroyWindow(dialog);
}

void OnDestroy()
{
    DeleteGlyphs();
    PostQuitMessage(0);
}

// Ctrl+Z in a text field takes back the typing there, as in every Windows program; the
// shortcut undoes the run only while the focus is elsewhere.
bool FieldTakesKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != 'Z')
        return false;
    char className[8] = "";
    GetClassNameA(message.hwnd, className, sizeof className);
    return lstrcmpiA(className, "Edit") == 0;
}

}  // namespace

// Returning 0 leaves every message to the dialog manager's default handling as well; for the
// initialisation it means that no default focus is asked for.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    case WM_PAINT:
        PaintSkinnedAreas(dialog);
        break;
    case WM_LBUTTONDOWN:
        PressSkinnedArea(dialog, lParam);
        break;
    case WM_LBUTTONUP:
        ReleaseSkinnedArea(dialog, lParam);
        break;
    case WM_CAPTURECHANGED:
        DropSkinnedPress(dialog);
        break;
    case WM_SETCURSOR:
        if (ShowWorkCursor(lParam)) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return 0;
}

bool HandleMainWindowMessage(HWND window, MSG& message)
{
    // Tables loaded from the program's resources go with the process.
    static HACCEL keys = LoadAcceleratorsA(appInstance, MAKEINTRESOURCEA(IDR_MAINKEYS));
    return (!FieldTakesKey(message) && TranslateAcceleratorA(window, keys, &message)) ||
           IsDialogMessageA(window, &message);
}

HWND CreateMainWindow()
{
    return CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
}
