#include "ui/PreviewDialog.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/BackgroundWork.h"
#include "ui/ClipboardText.h"
#include "ui/CommandRoutes.h"
#include "ui/HistoryQuestions.h"
#include "ui/MessageBoxes.h"
#include "ui/ResourceText.h"
#include "ui/RunCommand.h"
#include "ui/RunLoop.h"
#include "ui/RunResult.h"
#include "ui/ShellFolders.h"
#include "ui/SystemDlls.h"
#include "ui/WaitCursor.h"

#include "engine/history/RunHistory.h"
#include "engine/names/DateFields.h"
#include "engine/order/Ordering.h"
#include "engine/platform/FileServices.h"
#include "engine/run/RunPreview.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

// Why the run leaves a file out: the string table holds a label for every LeftOutKind from
// IDS_LEFT_OUT_FIRST on.
static_assert(LeftOutKindCount == 6, "a label in the string table for every kind");

struct ListColumn
{
    UINT title;
    // Share of the list's width, in percent, without and with the date column of the date
    // orders; 0 for no column.
    int widthPercent;
    int widthPercentWithDates;
};

const ListColumn kColumns[] = {
    {IDS_PREVIEW_CURRENT_NAME, 48, 30},
    {IDS_PREVIEW_NEW_NAME, 48, 24},
    {IDS_PREVIEW_DATE, 0, 44},
};

// How a control follows the dialog's size (ControlAnchor::edges).
enum AnchorEdge
{
    GrowsWide = 1,
    GrowsTall = 2,
    MovesRight = 4,
    MovesDown = 8
};

struct ControlAnchor
{
    int id;
    int edges;
};

// The list and the texts above and in it take the room; the buttons keep to the lower right.
const ControlAnchor kAnchors[] = {
    {IDC_PREVIEW_SUMMARY, GrowsWide},
    {IDC_PREVIEW_LIST, GrowsWide | GrowsTall},
    {IDC_PREVIEW_REFUSAL, GrowsWide | GrowsTall},
    {IDC_PREVIEW_COPY, MovesRight | MovesDown},
    {IDCANCEL, MovesRight | MovesDown},
};

// The open dialog: what it shows, and its size as the controls were last laid out for. Each
// opening starts at the template's size, the smallest at which nothing overlaps.
struct PreviewWindow
{
    explicit PreviewWindow(const RunPreview& preview) : preview(preview), client(), smallest() {}

    const RunPreview& preview;
    SIZE client;
    POINT smallest;
};

// Null until the dialog is initialised: the first sizing messages come before that.
PreviewWindow* WindowOf(HWND dialog)
{
    return reinterpret_cast<PreviewWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

const RunPreview& PreviewOf(HWND dialog)
{
    return WindowOf(dialog)->preview;
}

void RememberLayout(HWND dialog, PreviewWindow& window)
{
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    window.smallest.x = frame.right - frame.left;
    window.smallest.y = frame.bottom - frame.top;
    RECT client = {};
    GetClientRect(dialog, &client);
    window.client.cx = client.right;
    window.client.cy = client.bottom;
}

void OnPreviewSize(HWND dialog, int width, int height)
{
    PreviewWindow* window = WindowOf(dialog);
    if (window == nullptr)
        return;
    const int wider = width - window->client.cx, taller = height - window->client.cy;
    window->client.cx = width;
    window->client.cy = height;
    for (const ControlAnchor& anchor : kAnchors) {
        HWND control = GetDlgItem(dialog, anchor.id);
        RECT place = {};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        const int x = place.left + ((anchor.edges & MovesRight) ? wider : 0);
        const int y = place.top + ((anchor.edges & MovesDown) ? taller : 0);
        const int controlWidth = place.right - place.left + ((anchor.edges & GrowsWide) ? wider : 0);
        const int controlHeight = place.bottom - place.top + ((anchor.edges & GrowsTall) ? taller : 0);
        SetWindowPos(control, nullptr, x, y, controlWidth, controlHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(dialog, nullptr, TRUE);
}

void OnPreviewMinMaxInfo(HWND dialog, MINMAXINFO& info)
{
    if (const PreviewWindow* window = WindowOf(dialog))
        info.ptMinTrackSize = window->smallest;
}

void AddColumns(HWND list, bool withDates)
{
    RECT client = {};
    GetClientRect(list, &client);
    for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
        const int widthPercent = withDates ? kColumns[i].widthPercentWithDates : kColumns[i].widthPercent;
        if (widthPercent == 0)
            continue;
        CountedString title = ResourceText(kColumns[i].title);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.Data();
        column.cx = (client.right - client.left) * widthPercent / 100;
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

// A run that would be refused shows why in the list's place; there is nothing to copy then.
void OnPreviewInit(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    RememberLayout(dialog, *WindowOf(dialog));
    const RunPreview& preview = PreviewOf(dialog);
    HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
    if (preview.outcome.refusal != RefusalNone) {
        ShowWindow(list, SW_HIDE);
        EnableWindow(list, FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_PREVIEW_COPY), FALSE);
        SetDlgItemTextA(dialog, IDC_PREVIEW_REFUSAL, RunResultText(false, preview.outcome).Data());
        ShowWindow(GetDlgItem(dialog, IDC_PREVIEW_REFUSAL), SW_SHOW);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return;
    }
    SetDlgItemTextA(dialog, IDC_PREVIEW_SUMMARY, PreviewSummaryText(preview).Data());
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumns(list, preview.HasDates());
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(preview.RowCount() + preview.LeftOutTotal()),
                 LVSICF_NOINVALIDATEALL);
    SetFocus(list);
}

// After the batch, a row for every file left out: its name, and why in the new name's place.
void ShowLeftOutText(const RunPreview& preview, int index, LVITEMA& item)
{
    const size_t size = static_cast<size_t>(item.cchTextMax);
    if (item.iSubItem == 0) {
        std::snprintf(item.pszText, size, "%s", preview.LeftOutName(index));
    } else if (item.iSubItem == 1) {
        CountedString label = ResourceText(IDS_LEFT_OUT_FIRST + preview.LeftOutKindOf(index));
        std::snprintf(item.pszText, size, ResourceText(IDS_PREVIEW_LEFT_OUT_ROW).Data(), label.Data());
    } else {
        item.pszText[0] = '\0';
    }
}

// The list holds no text of its own: each row is asked for as it comes into view.
void ShowRowText(HWND dialog, NMLVDISPINFOA& info)
{
    const RunPreview& preview = PreviewOf(dialog);
    LVITEMA& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0 || item.iItem < 0 ||
        item.iItem >= preview.RowCount() + preview.LeftOutTotal())
        return;
    const size_t size = static_cast<size_t>(item.cchTextMax);
    if (item.iItem >= preview.RowCount()) {
        ShowLeftOutText(preview, item.iItem - preview.RowCount(), item);
    } else if (item.iSubItem == 0) {
        std::snprintf(item.pszText, size, "%s", preview.CurrentName(item.iItem));
    } else if (item.iSubItem == 2 && preview.HasDates()) {
        char date[kOrderDateSize];
        FormatOrderDate(preview.RowDate(item.iItem), preview.RowDateNanoseconds(item.iItem), date);
        std::snprintf(item.pszText, size, "%s%s", date,
                      preview.RowDateIsModified(item.iItem) ? ResourceText(IDS_PREVIEW_DATE_MODIFIED).Data() : "");
    } else if (preview.KeepsName(item.iItem)) {
        std::snprintf(item.pszText, size, "%s%s", preview.NewName(item.iItem), ResourceText(IDS_PREVIEW_KEPT).Data());
    } else {
        std::snprintf(item.pszText, size, "%s", preview.NewName(item.iItem));
    }
}

void OnPreviewNotify(HWND dialog, LPARAM param)
{
    NMHDR& header = *reinterpret_cast<NMHDR*>(param);
    if (header.idFrom == IDC_PREVIEW_LIST && header.code == LVN_GETDISPINFOA)
        ShowRowText(dialog, *reinterpret_cast<NMLVDISPINFOA*>(param));
}

// Another program may hold the clipboard; a copy that did not happen must not pass unnoticed.
void CopyRows(HWND dialog)
{
    if (!CopyTextToClipboard(dialog, PreviewOf(dialog).StepLines()))
        ShowMessage(dialog, ResourceText(IDS_COPY_FAILED).Data(), MB_OK | MB_ICONEXCLAMATION);
}

void ClosePreview(HWND dialog)
{
    EndDialog(dialog, IDCANCEL);
}

// Enter, Escape and the close box close the dialog as its close button does.
const CommandRoute kPreviewRoutes[] = {
    {IDC_PREVIEW_COPY, CopyRows, true},
    {IDCANCEL, ClosePreview, true},
    {IDOK, ClosePreview, true},
};

// The run's first steps over the process-wide job. A copy of the generator's state: the
// preview shows the random order of the next run and leaves that run the same order. The
// history refuses a folder as it would refuse the run.
class PreviewWork : public BackgroundWork
{
public:
    explicit PreviewWork(RunPreview& preview)
        : preview(preview), shuffleState(randomState), history(HistoryFolder(), PlatformFileServices())
    {
    }

private:
    void Work() override
    {
        PreviewRun(renameJob, PlatformFileServices(), shuffleState, preview, this,
                   LoadHistory(history) ? &history : nullptr);
    }

    RunPreview& preview;
    uint32_t shuffleState;
    RunHistory history;
};

}  // namespace

CountedString PreviewSummaryText(const RunPreview& preview)
{
    CountedString text = FormatResourceText(IDS_PREVIEW_COUNTS, preview.RowCount(), preview.KeptCount());
    CountedString leftOut = LeftOutText(preview.outcome.leftOut);
    if (leftOut.Length() == 0)
        leftOut = ResourceText(IDS_PREVIEW_NONE_LEFT_OUT);
    text.Append(leftOut.Data());
    return text;
}

// Returning 0 leaves every message to the dialog manager's default handling as well.
INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnPreviewInit(dialog, lParam);
        break;
    case WM_NOTIFY:
        OnPreviewNotify(dialog, lParam);
        break;
    case WM_SIZE:
        OnPreviewSize(dialog, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_GETMINMAXINFO:
        OnPreviewMinMaxInfo(dialog, *reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_COMMAND:
        RouteCommand(kPreviewRoutes, dialog, LOWORD(wParam), WorkInProgress());
        break;
    }
    return 0;
}

void PreviewCommand(HWND mainWindow)
{
    WaitCursor wait;
    if (!TakeJob(mainWindow, wait))
        return;
    RunPreview preview;
    PreviewWork work(preview);
    WorkWhileWindowAnswers(mainWindow, work, 0);
    wait.Restore();
    // Closing the window while the files were read means the preview is not wanted now.
    if (work.StopRequested())
        return;

    // The common controls come from the system folder, like every DLL not imported.
    typedef BOOL(WINAPI * InitControlsCall)(const INITCOMMONCONTROLSEX*);
    InitControlsCall initControls = SystemDllFunctionAs<InitControlsCall>(L"comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    if (initControls)
        initControls(&controls);
    PreviewWindow window(preview);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_PREVIEW), mainWindow, PreviewDialogProc,
                    reinterpret_cast<LPARAM>(&window));
}
