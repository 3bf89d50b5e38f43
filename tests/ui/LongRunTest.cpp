// A run long enough to watch: the window answers during it, shows how far it has come, takes
// no other work, and stops without losing a file when asked to.
#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/TempFolder.h"
#include "ui/AppObjects.h"
#include "ui/ProgressDisplay.h"

#include "engine/order/Ordering.h"
#include "engine/platform/Win32Owners.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Wine looks names up slowly in a folder this large, so a renumbering of it takes seconds:
// long enough for every stop question to come while the work goes on.
const int kFileCount = 3000;
const char kTitle[] = "Quillowby Ver2.00";
const std::string kConfirmation = AnsiText(u8"よろしいですか?");
const std::string kStopQuestion = AnsiText(u8"名前の変更を中止しますか?");
const std::string kUndoStopQuestion = AnsiText(u8"元に戻すのを中止しますか?");
const std::string kStoppedFormat = AnsiText(u8"中止しました. 新しい名前のファイル: %d, 元の名前のファイル: %d.");
const std::string kSettlingFormat =
    AnsiText(u8"Quillowby - 中止しています: 一時的な名前のファイルを戻しています %d/%d");

std::string Numbered(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d.dat", number);
    return name;
}

// The counts of a title that tells of a stopped run settling; false for any other title. The
// text before the counts is compared as bytes: the C library's scanf may read them otherwise.
bool ReadSettling(const std::string& title, int& settled, int& waiting)
{
    const std::string lead = kSettlingFormat.substr(0, kSettlingFormat.find('%'));
    return title.compare(0, lead.size(), lead) == 0 &&
           std::sscanf(title.c_str() + lead.size(), "%d/%d", &settled, &waiting) == 2;
}

// The ways a user asks the window to close.
enum ExitRequest
{
    ExitEscape,
    ExitCloseBox,
    ExitArea,
    ExitMenu
};

// Watches the window from another thread while the run goes on: how long it takes to
// answer, what its title says, and, once the title shows progress, clicks the Run area,
// types into the folder field, clicks the padding box, then asks the window to close in each
// way given, one after the other, all through the window's queue as a user's input arrives.
// With actFrom, it acts once the title shows that many files done. Afterwards it keeps the
// last title that tells of a stopped run settling.
class Watcher
{
public:
    Watcher(HWND dialog, POINT runArea, POINT exitArea, std::vector<ExitRequest> exits, int actFrom = 0)
        : dialog(dialog), runArea(runArea), exitArea(exitArea), exits(exits), actFrom(actFrom), done(false)
    {
        thread.Reset(CreateThread(nullptr, 0, Main, this, 0, nullptr));
        asker.Reset(CreateThread(nullptr, 0, AskMain, this, 0, nullptr));
    }
    ~Watcher()
    {
        done.store(true);
        WaitForSingleObject(thread.Get(), INFINITE);
        WaitForSingleObject(asker.Get(), INFINITE);
    }

    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    std::atomic<DWORD> slowestAnswer{0};
    std::string progressTitle;
    std::string settlingTitle;
    std::atomic<bool> acted{false};

private:
    static DWORD WINAPI Main(void* self)
    {
        static_cast<Watcher*>(self)->Watch();
        return 0;
    }
    static DWORD WINAPI AskMain(void* self)
    {
        static_cast<Watcher*>(self)->Ask();
        return 0;
    }

    // The title is read from the window itself, not asked of the window's thread, so that a
    // run of well under a second still shows its progress to the watcher.
    bool ProgressShown()
    {
        WCHAR wide[64] = L"";
        InternalGetWindowText(dialog, wide, 64);
        std::string title;
        for (const WCHAR* c = wide; *c; ++c)
            title += static_cast<char>(*c);
        int filesDone = 0;
        int total = 0;
        if (std::sscanf(title.c_str(), "Quillowby - %d/%d", &filesDone, &total) != 2 || filesDone < actFrom)
            return false;
        progressTitle = title;
        return true;
    }

    void NoteSettling()
    {
        char title[160] = "";
        WCHAR wide[160] = L"";
        InternalGetWindowText(dialog, wide, 160);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, title, sizeof title, nullptr, nullptr);
        int settled = 0;
        int waiting = 0;
        if (ReadSettling(title, settled, waiting))
            settlingTitle = title;
    }

    void Watch()
    {
        while (!done.load()) {
            // Set first: the run may end, and the test read it, while Act still waits for
            // the last question to go.
            if (!acted && ProgressShown()) {
                acted = true;
                Act();
            }
            if (acted)
                NoteSettling();
            Sleep(5);
        }
    }

    // How long the window's thread takes to answer, asked all the time from a thread of its own.
    void Ask()
    {
        while (!done.load()) {
            DWORD started = GetTickCount();
            char title[64] = "";
            DWORD_PTR copied = 0;
            SendMessageTimeoutA(dialog, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title), SMTO_NORMAL, 5000,
                                &copied);
            DWORD answered = GetTickCount() - started;
            if (answered > slowestAnswer)
                slowestAnswer = answered;
            Sleep(50);
        }
    }

    // Waits for the question the request brings to come and go.
    void AskToClose(ExitRequest exit)
    {
        switch (exit) {
        case ExitEscape:
            PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
            break;
        case ExitCloseBox:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case ExitArea:
            PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(exitArea));
            PostMessageA(dialog, WM_LBUTTONUP, 0, PointParam(exitArea));
            break;
        case ExitMenu:
            PostMessageA(dialog, WM_COMMAND, IDM_EXIT, 0);
            break;
        }
        for (bool enabled : {false, true}) {
            for (int wait = 0; wait < 100 && (IsWindowEnabled(dialog) != FALSE) != enabled; ++wait)
                Sleep(20);
        }
    }

    void Act()
    {
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(runArea));
        PostMessageA(dialog, WM_LBUTTONUP, 0, PointParam(runArea));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND folder = GetDlgItem(dialog, IDC_FOLDER);
        PostMessageA(folder, WM_KEYDOWN, 'X', 1);
        PostMessageA(folder, WM_CHAR, 'x', 1);
        HWND padding = GetDlgItem(dialog, IDC_FIX_DIGITS);
        PostMessageA(padding, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(padding, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        for (ExitRequest exit : exits)
            AskToClose(exit);
    }

    HWND dialog;
    POINT runArea;
    POINT exitArea;
    std::vector<ExitRequest> exits;
    int actFrom;
    std::atomic<bool> done;
    KernelHandle thread;
    KernelHandle asker;
};

struct StopAnswer
{
    int command;
    bool stops;
    std::vector<ExitRequest> exits;
    // A close answered Yes: the window goes once the result has been shown.
    bool closes;
};

class LongRunTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetText(IDC_LOG_PATH, logs.PathOf("log.txt"));
        SetText(IDC_START, "1");
        SetText(IDC_DIGITS, "4");
        SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, 1, 0);
    }

    TempFolder logs;
};

// Every file moves aside before the first one reaches its new name, so a stop in the middle
// finds files under temporary names; an undo of the run takes them back through temporary
// names too. A Yes comes with a second Escape, which asks nothing. A stopped run is asked to
// stop a quarter of the way in, so that many files wait when it settles.
TEST_F(LongRunTest, StopsOnlyWhenAskedAndLosesNothing)
{
    const StopAnswer answers[] = {
        {IDOK, true, {ExitEscape}, false},     {IDOK, false, {ExitEscape, ExitCloseBox, ExitArea, ExitMenu}, false},
        {IDM_UNDO, true, {ExitEscape}, false}, {IDM_UNDO, false, {ExitCloseBox, ExitArea, ExitMenu}, false},
        {IDOK, true, {ExitArea}, true},        {IDM_UNDO, true, {ExitCloseBox}, true},
    };
    for (const StopAnswer& answer : answers) {
        SCOPED_TRACE(std::string(answer.command == IDOK ? "run, " : "undo, ") + (answer.stops ? "Yes" : "No") +
                     (answer.closes ? ", closing" : ""));
        if (!IsWindow(dialog)) {
            SetUp();
            quitSeen = false;
        }
        const bool undo = answer.command == IDM_UNDO;
        TempFolder folder;
        for (int i = 0; i < kFileCount; ++i)
            ASSERT_TRUE(folder.Write(Numbered(i), Numbered(i)));
        SetText(IDC_FOLDER, folder.Path());
        if (undo)
            RunAnsweringYes();
        const std::string folderText = Text(IDC_FOLDER);
        BoxAnswerer answerer(dialog);
        answerer.QueuePress(IDYES);
        for (size_t i = 0; i < answer.exits.size(); ++i) {
            answerer.Queue([&](HWND box) {
                const int button = answer.stops ? IDYES : IDNO;
                SendMessageA(box, WM_COMMAND, button, reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
                if (answer.stops)
                    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
            });
        }
        answerer.QueuePress(IDOK);
        {
            Watcher watcher(dialog, CentreOf(IDOK), CentreOf(IDCANCEL), answer.exits,
                            !undo && answer.stops ? kFileCount / 4 : 0);
            Command(answer.command);
            EXPECT_LT(watcher.slowestAnswer, 1000u) << "the window did not answer within a second";
            EXPECT_TRUE(watcher.acted) << "the title never showed progress";
            int done = -1;
            int total = -1;
            EXPECT_EQ(2, std::sscanf(watcher.progressTitle.c_str(), "Quillowby - %d/%d", &done, &total))
                << watcher.progressTitle;
            EXPECT_EQ(kFileCount, total);
            EXPECT_LE(done, total);
            int settled = -1;
            int waiting = -1;
            const bool settling = ReadSettling(watcher.settlingTitle, settled, waiting);
            // How soon the title catches a settling depends on the machine's load, so only a
            // title that comes where nothing was stopped, or with counts that make no sense, fails.
            EXPECT_TRUE(!settling || answer.stops) << watcher.settlingTitle;
            EXPECT_TRUE(!settling || (waiting > 0 && settled <= waiting)) << watcher.settlingTitle;
        }

        EXPECT_EQ(0, answerer.unexpected) << "a box appeared that the test did not expect";
        const size_t questions = answer.exits.size();
        ASSERT_EQ(questions + 2, answerer.seen.size()) << "the work ended before every stop question came";
        EXPECT_TRUE(undo || answerer.seen[0].text == kConfirmation);
        for (size_t i = 1; i <= questions; ++i) {
            SCOPED_TRACE("exit request " + std::to_string(i));
            EXPECT_EQ(undo ? kUndoStopQuestion : kStopQuestion, answerer.seen[i].text);
            EXPECT_TRUE(answerer.seen[i].hasYes && answerer.seen[i].hasNo);
            EXPECT_EQ(IDNO, answerer.seen[i].defaultId);
            EXPECT_FALSE(answerer.seen[i].ownerEnabled) << "the question must be modal to the main window";
        }
        const SeenBox& result = answerer.seen[questions + 1];
        if (answer.closes) {
            EXPECT_FALSE(IsWindow(dialog)) << "the window stayed after the result";
            Pump();
            EXPECT_TRUE(QuitPosted());
        } else {
            EXPECT_TRUE(IsWindow(dialog)) << "the window closed during the run";
            EXPECT_EQ(kTitle, WindowText(dialog));
            EXPECT_EQ(folderText, Text(IDC_FOLDER)) << "the field took typing during the run";
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_FIX_DIGITS));
        }
        EXPECT_EQ(1, renameJob.padDigits);

        if (undo) {
            EXPECT_EQ(static_cast<size_t>(kFileCount), folder.Names().size()) << "a file lost";
            EXPECT_EQ(answer.stops, result.text != "Completed.") << result.text;
            EXPECT_TRUE(answer.stops || folder.Read(Numbered(7)) == Numbered(7)) << "the undo did not go through";
            continue;
        }
        int renamed = 0;
        int kept = 0;
        for (int i = 0; i < kFileCount; ++i) {
            if (folder.Read(Numbered(i + 1)) == Numbered(i))
                ++renamed;
            else if (folder.Read(Numbered(i)) == Numbered(i))
                ++kept;
        }
        EXPECT_EQ(static_cast<size_t>(kFileCount), folder.Names().size()) << "a file under another name";
        EXPECT_EQ(kFileCount, renamed + kept) << "a file is under neither its original nor its new name";
        if (answer.stops) {
            char expected[128];
            std::snprintf(expected, sizeof expected, kStoppedFormat.c_str(), renamed, kept);
            EXPECT_EQ(expected, result.text);
            EXPECT_LT(renamed, kFileCount);
            EXPECT_NE(std::string::npos, ReadWholeFile(logs.PathOf("log.txt")).find("\t->\t~ren"))
                << "the run stopped before any file went aside";
        } else {
            EXPECT_EQ("Completed.", result.text);
            EXPECT_EQ(kFileCount, renamed);
        }
    }
}

// However short the settling, what the title says then is the window's own: it says that the
// work is stopping, with its counts, and gives the title back afterwards.
TEST_F(LongRunTest, TheTitleSaysAStoppedWorkIsSettling)
{
    {
        ProgressDisplay display(dialog);
        display.ShowSettling(3, 10);
        int settled = -1;
        int waiting = -1;
        EXPECT_TRUE(ReadSettling(WindowText(dialog), settled, waiting) && settled == 3 && waiting == 10)
            << WindowText(dialog);
    }
    EXPECT_EQ(kTitle, WindowText(dialog));
}

// The files' dates are read before the preview shows: Escape meanwhile cancels it unasked.
TEST_F(LongRunTest, EscapeCancelsADatePreviewBeforeItShows)
{
    // Enough files that gathering their dates outlasts the first showing of the progress,
    // however quick the machine is.
    TempFolder folder;
    const int datedFiles = 10000;
    for (int i = 0; i < datedFiles; ++i)
        ASSERT_TRUE(folder.Write(Numbered(i), Numbered(i)));
    SetText(IDC_FOLDER, folder.Path());
    SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, TakenAscending, 0);
    BoxAnswerer answerer(dialog);
    {
        Watcher watcher(dialog, CentreOf(IDOK), CentreOf(IDCANCEL), {ExitEscape});
        Command(IDM_PREVIEW);
        EXPECT_TRUE(watcher.acted) << "the title never showed progress";
    }
    EXPECT_EQ(0u, answerer.seen.size()) << "a question, a run or the preview came";
    EXPECT_EQ(kTitle, WindowText(dialog));
}

}  // namespace
