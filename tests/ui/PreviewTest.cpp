#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/FolderFiles.h"
#include "tests/support/StepLines.h"
#include "tests/support/TakenHeads.h"
#include "ui/PreviewDialog.h"

#include "engine/RenameJob.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace {

const int kRandomOrder = 5;

// What the preview dialog showed, read while it was open.
struct SeenPreview
{
    bool opened = false;
    std::string summary;
    std::string refusal;
    bool listVisible = false;
    bool copyEnabled = false;
    // Each row as its columns joined by TABs.
    Names rows;
    std::string clipboard;
    bool ownerEnabled = true;
    Names namesWhileOpen;
    bool logWhileOpen = false;
    std::string dateHeader;
    // Made larger, then smaller than it opened: how the list's and the copy button's lower
    // right corners moved, and how much smaller than it opened the dialog became.
    POINT listGrew = {};
    POINT copyMoved = {};
    POINT shrunk = {};
};

RECT PlaceOf(HWND control)
{
    RECT place = {};
    GetWindowRect(control, &place);
    return place;
}

void ResizeAndSee(HWND box, SeenPreview& seen)
{
    const RECT list = PlaceOf(GetDlgItem(box, IDC_PREVIEW_LIST)), copy = PlaceOf(GetDlgItem(box, IDC_PREVIEW_COPY));
    const RECT opened = PlaceOf(box);
    const int width = opened.right - opened.left, height = opened.bottom - opened.top;
    SetWindowPos(box, nullptr, 0, 0, width + 100, height + 60, SWP_NOMOVE | SWP_NOZORDER);
    const RECT listNow = PlaceOf(GetDlgItem(box, IDC_PREVIEW_LIST)),
               copyNow = PlaceOf(GetDlgItem(box, IDC_PREVIEW_COPY));
    seen.listGrew = {listNow.right - list.right, listNow.bottom - list.bottom};
    seen.copyMoved = {copyNow.right - copy.right, copyNow.bottom - copy.bottom};
    SetWindowPos(box, nullptr, 0, 0, width / 2, height / 2, SWP_NOMOVE | SWP_NOZORDER);
    const RECT shrunk = PlaceOf(box);
    seen.shrunk = {width - (shrunk.right - shrunk.left), height - (shrunk.bottom - shrunk.top)};
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<clipboard not open>";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes) {
        text = bytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

std::string ItemText(HWND list, int row, int column)
{
    char text[600] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

// How the open preview is closed.
enum Closing
{
    CloseButton,
    EscapeKey,
    CloseBox
};

void Close(HWND box, Closing closing)
{
    switch (closing) {
    case CloseButton:
        SendMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case EscapeKey: {
        MSG message = {};
        message.hwnd = GetFocus();
        message.message = WM_KEYDOWN;
        message.wParam = VK_ESCAPE;
        message.lParam = 1;
        IsDialogMessageA(box, &message);
        break;
    }
    case CloseBox:
        SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

class PreviewTest : public FolderWindowTest
{
protected:
    void SetUp() override
    {
        FolderWindowTest::SetUp();
        SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, NameAscending, 0);
    }

    // Opens the preview (with F5, or from the menu), reads it, presses Copy when it can, and
    // closes it. Any other box that comes first is answered with OK and kept in `boxes`.
    SeenPreview Preview(bool withF5, Closing closing, int boxesBefore = 0, int boxesWhileOpen = 0)
    {
        SeenPreview seen;
        BoxAnswerer answerer(dialog);
        for (int i = 0; i < boxesBefore; ++i)
            answerer.QueuePress(IDOK);
        if (boxesBefore == 0)
            answerer.Queue([&](HWND box) { ReadPreview(box, closing, seen); });
        for (int i = 0; i < boxesWhileOpen; ++i)
            answerer.QueuePress(IDOK);
        if (withF5)
            Key(VK_F5);
        else
            Command(IDM_PREVIEW);
        EXPECT_EQ(0, answerer.unexpected) << "a box appeared that the test did not expect";
        EXPECT_EQ(0u, answerer.Pending()) << "a box the test expected did not appear";
        boxes = answerer.seen;
        return seen;
    }

    void ReadPreview(HWND box, Closing closing, SeenPreview& seen)
    {
        seen.opened = GetDlgItem(box, IDC_PREVIEW_LIST) != nullptr;
        seen.ownerEnabled = IsWindowEnabled(dialog) != FALSE;
        seen.summary = WindowText(GetDlgItem(box, IDC_PREVIEW_SUMMARY));
        HWND refusal = GetDlgItem(box, IDC_PREVIEW_REFUSAL);
        if (IsWindowVisible(refusal))
            seen.refusal = WindowText(refusal);
        HWND list = GetDlgItem(box, IDC_PREVIEW_LIST);
        seen.listVisible = IsWindowVisible(list) != FALSE;
        HWND copy = GetDlgItem(box, IDC_PREVIEW_COPY);
        seen.copyEnabled = IsWindowEnabled(copy) != FALSE;
        int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        int columns = static_cast<int>(SendMessageA(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            seen.rows.push_back(ItemText(list, row, 0));
            for (int column = 1; column < columns; ++column)
                seen.rows.back() += "\t" + ItemText(list, row, column);
        }
        if (seen.copyEnabled) {
            // Another program holds the clipboard for a while.
            std::atomic<bool> held{clipboardHeld == 0};
            std::thread holder([&] {
                BOOL open = clipboardHeld != 0 && OpenClipboard(nullptr);
                held = true;
                Sleep(clipboardHeld);
                if (open)
                    CloseClipboard();
            });
            while (!held)
                Sleep(1);
            SendMessageA(copy, BM_CLICK, 0, 0);
            holder.join();
            seen.clipboard = ClipboardText();
        }
        seen.namesWhileOpen = folder.Names();
        seen.logWhileOpen = LogExists();
        char header[64] = "";
        HDITEMA headerItem = {};
        headerItem.mask = HDI_TEXT;
        headerItem.pszText = header;
        headerItem.cchTextMax = sizeof header;
        SendMessageA(ListView_GetHeader(list), HDM_GETITEMA, 2, reinterpret_cast<LPARAM>(&headerItem));
        seen.dateHeader = header;
        if (seen.opened)
            ResizeAndSee(box, seen);
        Close(box, closing);
    }

    void RunWithYes()
    {
        std::vector<SeenBox> seen = RunAnsweringYes();
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ("Completed.", seen[1].text);
    }

    // Every line "current TAB -> TAB new" names a file that the run put under its new name.
    void ExpectFolderFollowsTheLines(const std::string& lines)
    {
        Names newNames;
        size_t start = 0;
        while (start < lines.size()) {
            size_t end = lines.find("\r\n", start);
            ASSERT_NE(std::string::npos, end) << "a line without CR LF";
            std::string line = lines.substr(start, end - start);
            StepLine step;
            ASSERT_TRUE(ReadStepLine(line, step) && !step.failed) << line;
            EXPECT_EQ(step.from, folder.Read(step.to)) << line;
            newNames.push_back(step.to);
            start = end + 2;
        }
        std::sort(newNames.begin(), newNames.end());
        EXPECT_EQ(newNames, folder.Names());
    }

    std::vector<SeenBox> boxes;
    // How long another program holds the clipboard when Copy is pressed.
    DWORD clipboardHeld = 0;
};

TEST_F(PreviewTest, ShowsAndCopiesWhatTheRunThenDoes)
{
    ASSERT_TRUE(AddFiles(folder, {"b.txt", "a.txt", "001.txt"}));
    SetText(IDC_START, "1");
    PutOnClipboard("earlier");
    const Names before = folder.Names();

    SeenPreview seen = Preview(true, CloseButton);

    ASSERT_TRUE(seen.opened);
    EXPECT_FALSE(seen.ownerEnabled) << "the preview must be modal to the main window";
    EXPECT_EQ(AnsiText(u8"ファイル 3 個 (名前が変わらないもの 1 個)。対象外なし"), seen.summary);
    EXPECT_TRUE(seen.listVisible);
    EXPECT_EQ("", seen.refusal);
    EXPECT_EQ((Names{AnsiText(u8"001.txt\t001.txt (変更なし)"), "a.txt\t002.txt", "b.txt\t003.txt"}), seen.rows);
    EXPECT_EQ("001.txt\t->\t001.txt\r\na.txt\t->\t002.txt\r\nb.txt\t->\t003.txt\r\n", seen.clipboard);
    EXPECT_EQ(before, seen.namesWhileOpen);
    EXPECT_FALSE(seen.logWhileOpen);
    EXPECT_EQ(before, folder.Names());
    EXPECT_FALSE(LogExists());

    RunWithYes();
    ExpectFolderFollowsTheLines(seen.clipboard);
    std::string log = ReadWholeFile(LogPath());
    EXPECT_EQ(seen.clipboard, log.substr(log.find("\r\n") + 2)) << "the copy is the run's log without its header";
}

TEST_F(PreviewTest, TheSameNumberItemStartsOffFollowsClicksAndGroupsThePreview)
{
    ASSERT_TRUE(AddFiles(folder, {"IMG_1.CR2", "IMG_1.JPG", "IMG_1.CR2.xmp", "IMG_2.JPG"}));
    const auto checked = [this] {
        return (GetMenuState(GetMenu(dialog), IDM_SAME_NUMBER, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_FALSE(checked());
    Command(IDM_SAME_NUMBER);
    EXPECT_TRUE(checked());

    SeenPreview seen = Preview(true, CloseButton);

    EXPECT_EQ((Names{"IMG_1.CR2\t000.CR2", "IMG_1.CR2.xmp\t000.CR2.xmp", "IMG_1.JPG\t000.JPG", "IMG_2.JPG\t001.JPG"}),
              seen.rows);
    Command(IDM_SAME_NUMBER);
    EXPECT_FALSE(checked());
    EXPECT_EQ((Names{"IMG_1.CR2\t000.CR2", "IMG_1.JPG\t001.JPG", "IMG_1.CR2.xmp\t002.xmp", "IMG_2.JPG\t003.JPG"}),
              Preview(true, CloseButton).rows);
}

TEST_F(PreviewTest, TheRandomOrderPreviewedTwiceIsTheRunsOrder)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"}));
    SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, kRandomOrder, 0);
    const uint32_t state = randomState;

    SeenPreview first = Preview(false, EscapeKey);
    SeenPreview second = Preview(true, CloseBox);

    EXPECT_EQ(state, randomState);
    ASSERT_EQ(7u, first.rows.size());
    EXPECT_EQ(first.rows, second.rows);
    EXPECT_EQ(first.clipboard, second.clipboard);
    RunWithYes();
    ExpectFolderFollowsTheLines(first.clipboard);
}

TEST_F(PreviewTest, CopyWaitsForTheClipboardAndSaysWhenItCannotHaveIt)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
    for (DWORD held : {300u, 2000u}) {
        PutOnClipboard("earlier");
        clipboardHeld = held;
        const bool copied = held < 1000;

        SeenPreview seen = Preview(true, CloseButton, 0, copied ? 0 : 1);

        EXPECT_EQ(copied ? "a.txt\t->\t000.txt\r\n" : "earlier", seen.clipboard) << held;
        if (!copied) {
            EXPECT_EQ(AnsiText(u8"ほかのプログラムがクリップボードを使っているため, コピーできませんでした."),
                      boxes.back().text);
        }
    }
}

// The text file's date modified, today, stands in for a date taken.
TEST_F(PreviewTest, TheDateOrdersShowTheDateEachFileWasOrderedBy)
{
    ASSERT_TRUE(folder.Write("b.jpg", MakeTakenHead(HeadJpeg, Tags("2019:05:01 10:00:00", "25"), 0)));
    ASSERT_TRUE(folder.Write("a.txt", "a"));
    ASSERT_TRUE(folder.SetModifiedTime("a.txt", 1590969600, 0));
    SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, TakenAscending, 0);

    SeenPreview seen = Preview(true, CloseButton);

    ASSERT_EQ(2u, seen.rows.size());
    EXPECT_EQ(AnsiText(u8"日時 (ローカル時刻)"), seen.dateHeader);
    EXPECT_EQ("b.jpg\t000.jpg\t2019/05/01 10:00:00.25", seen.rows[0]);
    const std::string marked = AnsiText(u8" (更新日時)");
    EXPECT_EQ("a.txt\t001.txt\t20", seen.rows[1].substr(0, 16));
    EXPECT_EQ(16 + 17 + marked.size(), seen.rows[1].rfind(marked) + marked.size()) << seen.rows[1];
    EXPECT_EQ("b.jpg\t->\t000.jpg\r\na.txt\t->\t001.txt\r\n", seen.clipboard);
}

TEST_F(PreviewTest, ListsTheFilesLeftOutAfterTheBatchAndFollowsItsSize)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
    const std::string tooLong = AddTooLongFile(folder);

    SeenPreview seen = Preview(true, CloseButton);

    EXPECT_EQ((Names{"a.txt\t000.txt", tooLong + AnsiText(u8"\t(対象外: 長すぎる名前)")}), seen.rows);
    EXPECT_EQ("a.txt\t->\t000.txt\r\n", seen.clipboard);
    EXPECT_EQ(100, seen.listGrew.x);
    EXPECT_EQ(60, seen.listGrew.y);
    EXPECT_EQ(100, seen.copyMoved.x);
    EXPECT_EQ(60, seen.copyMoved.y);
    EXPECT_EQ(0, seen.shrunk.x);
    EXPECT_EQ(0, seen.shrunk.y);
}

struct RefusedPreview
{
    const char* name;
    bool missingFolder;
    const char* start;
    const char* digits;
    // The message box that comes instead of the preview, or the preview's refusal text.
    const char* warning;
    const char* refusal;
};

TEST_F(PreviewTest, ARefusedJobShowsWhyAndMovesNothing)
{
    const RefusedPreview cases[] = {
        {"folder does not exist", true, "0", "3", nullptr, u8"Failed.\nフォルダがありません."},
        {"numbers pass the largest", false, "2147483647", "3", nullptr,
         "Nothing was renamed: the number of \"b.txt\" would pass 2147483647."},
        {"digit count out of range", false, "0", "11", u8"桁数は1から10桁までにしてください.", nullptr},
        {"start number out of range", false, "2147483648", "3", u8"開始数字は0から2147483647までにしてください.",
         nullptr},
    };
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt"}));
    const Names before = folder.Names();
    for (const RefusedPreview& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(IDC_FOLDER, c.missingFolder ? folder.PathOf("missing") : folder.Path());
        SetText(IDC_START, c.start);
        SetText(IDC_DIGITS, c.digits);

        SeenPreview seen = Preview(false, CloseButton, c.warning ? 1 : 0);

        if (c.warning) {
            EXPECT_FALSE(seen.opened);
            ASSERT_EQ(1u, boxes.size());
            EXPECT_EQ(AnsiText(c.warning), boxes[0].text);
        } else {
            ASSERT_TRUE(seen.opened);
            EXPECT_EQ(AnsiText(c.refusal), seen.refusal);
            EXPECT_FALSE(seen.listVisible);
            EXPECT_FALSE(seen.copyEnabled);
            EXPECT_EQ(before, seen.namesWhileOpen);
            EXPECT_FALSE(seen.logWhileOpen);
        }
        EXPECT_EQ(before, folder.Names());
        EXPECT_FALSE(LogExists());
    }
}

TEST_F(PreviewTest, ARunThatDidNotFinishRefusesThePreviewAsItRefusesTheRun)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt"}));
    RunWithYes();
    DateTheRecord(true);
    const Names afterRun = folder.Names();
    SeenPreview seen = Preview(false, CloseButton);
    EXPECT_EQ(
        AnsiText(u8"Failed.\nこのフォルダには途中で終わった名前の変更があります. 一時的な名前のままのファイルがあるかも"
                 u8"しれないため, 先に「元に戻す」か「やり直し」で終えてください."),
        seen.refusal);
    EXPECT_EQ(afterRun, folder.Names());
}

TEST(PreviewSummary, CountsEachKindLeftOut)
{
    TempFolder folder;
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt", "log.txt"}));
    RenameJob job;
    job.folder = folder.Path().c_str();
    job.mask = "*.*";
    job.SplitPattern("?");
    job.digitCount = 3;
    job.logPath = folder.PathOf("log.txt").c_str();
    RunPreview preview;
    ASSERT_TRUE(PreviewRun(job, PlatformFileServices(), randomState, preview));
    EXPECT_EQ(AnsiText(u8"ファイル 2 個 (名前が変わらないもの 0 個)。対象外 1 個: ログファイル 1 個"),
              std::string(PreviewSummaryText(preview).Data()));

    AddTooLongFile(folder);
    ASSERT_TRUE(PreviewRun(job, PlatformFileServices(), randomState, preview));
    EXPECT_EQ(
        AnsiText(u8"ファイル 2 個 (名前が変わらないもの 0 個)。対象外 2 個: ログファイル 1 個、長すぎる名前 1 個"),
        std::string(PreviewSummaryText(preview).Data()));

    ASSERT_TRUE(folder.Write("desktop.ini", "[.ShellClassInfo]"));
    ASSERT_TRUE(folder.SetHidden("desktop.ini", true));
    ASSERT_TRUE(PreviewRun(job, PlatformFileServices(), randomState, preview));
    EXPECT_EQ(
        AnsiText(u8"ファイル 2 個 (名前が変わらないもの 0 個)。対象外 3 個: ログファイル 1 個、長すぎる名前 1 個、"
                 u8"隠しシステムファイル 1 個"),
        std::string(PreviewSummaryText(preview).Data()));
}

}  // namespace
