#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/MainDialog.h"
#include "ui/SkinnedAreas.h"

#include <shlobj.h>

#include <cstring>
#include <iterator>

BoxAnswerer* BoxAnswerer::current = nullptr;

namespace {

bool IsDialogWindow(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

struct OpenBoxSearch
{
    HWND owner;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    OpenBoxSearch* search = reinterpret_cast<OpenBoxSearch*>(param);
    if (window != search->owner && IsWindowVisible(window) && IsWindowEnabled(window) && IsDialogWindow(window))
        search->boxes.push_back(window);
    return TRUE;
}

struct StaticSearch
{
    std::string text;
    HICON icon;
};

BOOL CALLBACK ReadStatic(HWND child, LPARAM param)
{
    StaticSearch* search = reinterpret_cast<StaticSearch*>(param);
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (std::string(className) != "Static")
        return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        search->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    else if (search->text.empty())
        search->text = WindowText(child);
    return TRUE;
}

}  // namespace

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string AnsiText(const char* utf8)
{
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], static_cast<int>(wide.size()));
    std::string ansi(
        static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], static_cast<int>(ansi.size()), nullptr, nullptr);
    ansi.resize(std::strlen(ansi.c_str()));
    return ansi;
}

SeenBox DescribeBox(HWND box, HWND owner)
{
    SeenBox seen;
    seen.title = WindowText(box);
    StaticSearch statics = {"", nullptr};
    EnumChildWindows(box, ReadStatic, reinterpret_cast<LPARAM>(&statics));
    seen.text = statics.text;
    seen.icon = statics.icon;
    seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
    seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
    seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
    seen.defaultId = 0;
    for (int id : {IDYES, IDNO, IDOK}) {
        HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            seen.defaultId = id;
    }
    seen.cursor = GetCursor();
    seen.ownerEnabled = IsWindowEnabled(owner) != FALSE;
    return seen;
}

BoxAnswerer::BoxAnswerer(HWND owner) : unexpected(0), owner(owner)
{
    current = this;
    timer = SetTimer(nullptr, 0, 30, Tick);
}

BoxAnswerer::~BoxAnswerer()
{
    KillTimer(nullptr, timer);
    current = nullptr;
}

void BoxAnswerer::QueuePress(int buttonId)
{
    Queue([buttonId](HWND box) {
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
    });
}

void CALLBACK BoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (current)
        current->AnswerOpenBoxes();
}

void BoxAnswerer::AnswerOpenBoxes()
{
    // A handle may be given to a new window once the old one is gone.
    for (auto it = handled.begin(); it != handled.end();)
        it = IsWindow(*it) ? std::next(it) : handled.erase(it);

    OpenBoxSearch search = {owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
        if (handled.count(box) != 0)
            continue;
        handled.insert(box);
        seen.push_back(DescribeBox(box, owner));
        if (answers.empty()) {
            ++unexpected;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            continue;
        }
        Answer answer = answers.front();
        answers.pop_front();
        answer(box);
        return;
    }
}

void MainWindowTest::SetUp()
{
    ASSERT_EQ(1, renameJob.padDigits) << "an earlier test left padding off";
    ASSERT_EQ(0, pressedArea) << "an earlier test left an area held";
    SetEnvironmentVariableA("QUILLOWBY_HISTORY_DIR", history.Path().c_str());
    dialog = CreateMainWindow();
    ASSERT_NE(nullptr, dialog);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    UpdateWindow(dialog);
    Pump();
}

void MainWindowTest::TearDown()
{
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    Pump();
    SetEnvironmentVariableA("QUILLOWBY_HISTORY_DIR", nullptr);
    // Shared by every window of the process; a failed test must not leak it into the next.
    renameJob.padDigits = 1;
    if (pressedArea != 0) {
        ReleaseCapture();
        pressedArea = 0;
    }
}

void MainWindowTest::Key(UINT key) const
{
    HWND focus = GetFocus();
    MSG message = {};
    message.hwnd = focus ? focus : dialog;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    if (!HandleMainWindowMessage(dialog, message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void MainWindowTest::CtrlKey(UINT key) const
{
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key(key);
    keys[VK_CONTROL] = control;
    SetKeyboardState(keys);
}

std::vector<SeenBox> MainWindowTest::Answering(const std::vector<int>& presses, const std::function<void()>& act)
{
    BoxAnswerer answerer(dialog);
    for (int press : presses)
        answerer.QueuePress(press);
    act();
    EXPECT_EQ(0, answerer.unexpected) << "a box appeared that the test did not expect";
    EXPECT_EQ(0u, answerer.Pending()) << "a box the test expected did not appear";
    return answerer.seen;
}

void MainWindowTest::Type(int id, const std::string& text) const
{
    SetText(id, "");
    SetFocus(Item(id));
    for (char c : text)
        SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
}

void FolderWindowTest::SetUp()
{
    MainWindowTest::SetUp();
    SetText(IDC_FOLDER, folder.Path());
    SetText(IDC_LOG_PATH, LogPath());
}

std::vector<SeenBox> MainWindowTest::RunAnsweringYes()
{
    BoxAnswerer answerer(dialog);
    answerer.QueuePress(IDYES);
    answerer.QueuePress(IDOK);
    Command(IDOK);
    return answerer.seen;
}

std::string MainWindowTest::DateTheRecord(bool unfinished) const
{
    const std::vector<std::string> names = history.Names();
    EXPECT_EQ(1u, names.size());
    if (names.size() != 1)
        return std::string();
    std::string record = history.Read(names[0]);
    const std::string finishing = "\trun finished\r\n";
    const size_t at = record.find(finishing);
    if (unfinished && at != std::string::npos)
        record.erase(at, finishing.size());
    const std::string dated = "00000001-20190501-100000" + names[0].substr(24);
    EXPECT_TRUE(DeleteFileA(history.PathOf(names[0]).c_str()) && history.Write(dated, record));
    return history.PathOf(dated);
}

void MainWindowTest::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen = true;
            continue;
        }
        if (!IsWindow(dialog) || !HandleMainWindowMessage(dialog, message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

std::vector<WPARAM> MainWindowTest::TakeCommands()
{
    std::vector<WPARAM> commands;
    MSG message;
    while (PeekMessageA(&message, dialog, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        EXPECT_EQ(0, message.lParam) << "a posted command names no control";
        commands.push_back(message.wParam);
    }
    return commands;
}

RECT MainWindowTest::ClientRectOf(int id) const
{
    RECT rect = {};
    GetWindowRect(Item(id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT MainWindowTest::CentreOf(int id) const
{
    RECT rect = ClientRectOf(id);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return centre;
}

LPARAM PointParam(POINT point)
{
    return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

// The edits fold only single-byte letters; a double-byte character stays as it is.
std::string Lower(std::string text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsDBCSLeadByte(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            text[i] = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string DesktopPath()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE);
    return path;
}

std::string AddTooLongFile(const TempFolder& folder)
{
    EXPECT_TRUE(WriteWholeFile(LongForm(folder.Path()) + L"\\" + std::wstring(40, L'\x0101') + L".txt", ""));
    std::string escaped;
    for (int i = 0; i < 40; ++i)
        escaped += "<U+0101>";
    return escaped + ".txt";
}
