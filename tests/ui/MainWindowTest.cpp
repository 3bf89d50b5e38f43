#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "ui/AppObjects.h"

#include <shlobj.h>

namespace {

struct FieldDefault
{
    int id;
    const char* text;
};

TEST_F(MainWindowTest, StartsWithTheDefaults)
{
    const FieldDefault defaults[] = {
        {IDC_FOLDER, ""}, {IDC_PATTERN, "?"}, {IDC_MASK, "*.*"}, {IDC_START, "0"}, {IDC_DIGITS, "3"},
    };
    for (const FieldDefault& field : defaults)
        EXPECT_EQ(field.text, Text(field.id)) << "field " << field.id;

    EXPECT_EQ(Lower(DesktopPath() + "\\log.txt"), Lower(Text(IDC_LOG_PATH)));
    EXPECT_EQ(0, SendDlgItemMessageA(dialog, IDC_ORDER, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_FIX_DIGITS));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_DIGITS)));
    EXPECT_EQ("Quillowby Ver2.00", WindowText(dialog));

    RECT window = {};
    GetWindowRect(dialog, &window);
    EXPECT_EQ(100, window.left);
    EXPECT_EQ(100, window.top);
}

TEST_F(MainWindowTest, OffersTheTwelveOrdersInSortOrder)
{
    const char* const labels[] = {
        u8"拡張子ごとに昇順",     u8"ファイル名だけで昇順", u8"拡張子ごとに降順",
        u8"ファイル名だけで降順", u8"ソートなし",           u8"ランダム",
        u8"撮影日時の古い順",     u8"撮影日時の新しい順",   u8"更新日時の古い順",
        u8"更新日時の新しい順",   u8"名前の自然順で昇順",   u8"名前の自然順で降順",
    };
    ASSERT_EQ(12, SendDlgItemMessageA(dialog, IDC_ORDER, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 12; ++i) {
        char label[64] = "";
        SendDlgItemMessageA(dialog, IDC_ORDER, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(AnsiText(labels[i]), label) << "order " << i;
    }
}

TEST_F(MainWindowTest, ShowsTheSmallIconAndTheThreeButtonFaces)
{
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    for (int id : {IDC_DESKTOP, IDC_DOCUMENTS, IDC_LOG_BROWSE}) {
        HBITMAP face = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info = {};
        ASSERT_NE(nullptr, face) << "button " << id;
        ASSERT_NE(0, GetObjectA(face, sizeof info, &info));
        EXPECT_EQ(16, info.bmWidth);
        EXPECT_EQ(16, info.bmHeight);
    }
}

TEST_F(MainWindowTest, MenuHoldsUndoRedoPreviewSameNumberAboutAndExit)
{
    HMENU menu = GetMenu(dialog);
    ASSERT_NE(nullptr, menu);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(AnsiText(u8"ﾒﾆｭｰ(&M)"), text);
    HMENU items = GetSubMenu(menu, 0);
    struct Item
    {
        int id;
        const char* text;
    } expected[] = {
        {IDM_UNDO, u8"元に戻す(&U)\tCtrl+Z"},
        {IDM_REDO, u8"やり直し(&R)\tCtrl+Y"},
        {IDM_PREVIEW, u8"プレビュー(&V)..."},
        {IDM_SAME_NUMBER, u8"同じ名前のファイルは同じ番号にする(&N)"},
        {0, ""},
        {IDM_ABOUT, u8"ﾊﾞｰｼﾞｮﾝ情報(&A)..."},
        {IDM_EXIT, u8"終了(&X)"},
    };
    ASSERT_EQ(7, GetMenuItemCount(items));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(expected[i].id, static_cast<int>(GetMenuItemID(items, i))) << "item " << i;
        text[0] = '\0';
        GetMenuStringA(items, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(AnsiText(expected[i].text), text) << "item " << i;
    }
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTemplateOrder)
{
    const int order[] = {IDC_FOLDER,  IDC_DESKTOP, IDC_DOCUMENTS, IDC_LOG_PATH,   IDC_LOG_BROWSE, IDC_ORDER,
                         IDC_PATTERN, IDC_MASK,    IDC_START,     IDC_FIX_DIGITS, IDC_DIGITS,     IDC_FOLDER};
    HWND control = Item(order[0]);
    for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
        control = GetNextDlgTabItem(dialog, control, FALSE);
        EXPECT_EQ(order[i], GetDlgCtrlID(control)) << "tab stop " << i;
    }
}

struct Mnemonic
{
    char key;
    int field;
};

TEST_F(MainWindowTest, LabelMnemonicsFocusTheFieldAfterThem)
{
    const Mnemonic mnemonics[] = {{'p', IDC_PATTERN}, {'t', IDC_MASK}, {'s', IDC_START}};
    for (const Mnemonic& mnemonic : mnemonics) {
        SetFocus(Item(IDC_FOLDER));
        MSG message = {};
        message.hwnd = GetFocus();
        message.message = WM_SYSCHAR;
        message.wParam = static_cast<WPARAM>(mnemonic.key);
        message.lParam = 0x20000001;
        IsDialogMessageA(dialog, &message);
        EXPECT_EQ(Item(mnemonic.field), GetFocus()) << "Alt+" << mnemonic.key;
    }
}

struct Typing
{
    int field;
    const char* typed;
    const char* shown;
};

TEST_F(MainWindowTest, TextFieldsFoldLettersAndNumberFieldsTakeOnlyDigits)
{
    const Typing typings[] = {
        {IDC_FOLDER, "C:\\Pics", "c:\\pics"},
        {IDC_LOG_PATH, "Log.TXT", "log.txt"},
        {IDC_PATTERN, "IMG_?", "img_?"},
        {IDC_MASK, "*.JPG", "*.jpg"},
        {IDC_START, "1x2", "12"},
        {IDC_DIGITS, "-4", "4"},
    };
    for (const Typing& typing : typings) {
        Type(typing.field, typing.typed);
        EXPECT_EQ(typing.shown, Text(typing.field)) << "typed " << typing.typed;
    }
}

TEST_F(MainWindowTest, PaddingToggleDisablesAndEnablesTheDigitField)
{
    Click(IDC_FIX_DIGITS);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_FIX_DIGITS));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_DIGITS)));
    EXPECT_EQ(0, renameJob.padDigits);

    Click(IDC_FIX_DIGITS);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_FIX_DIGITS));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_DIGITS)));
    EXPECT_EQ(1, renameJob.padDigits);
}

struct Shortcut
{
    int button;
    int folderId;
};

TEST_F(MainWindowTest, FolderShortcutsFillTheFolderWithTheCaretAtTheEnd)
{
    const Shortcut shortcuts[] = {{IDC_DESKTOP, CSIDL_DESKTOP}, {IDC_DOCUMENTS, CSIDL_PERSONAL}};
    for (const Shortcut& shortcut : shortcuts) {
        char expected[MAX_PATH] = "";
        ASSERT_TRUE(SHGetSpecialFolderPathA(dialog, expected, shortcut.folderId, FALSE));
        SetText(IDC_FOLDER, "x");
        SetFocus(Item(IDC_LOG_PATH));

        Click(shortcut.button);
        Pump();

        const std::string folder = Text(IDC_FOLDER);
        EXPECT_EQ(Lower(expected), Lower(folder));
        EXPECT_EQ(Item(IDC_FOLDER), GetFocus());
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(Item(IDC_FOLDER), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(folder.size(), start);
        EXPECT_EQ(folder.size(), end);
    }
}

// A way to close the window: a message to it, or with none the Escape key.
struct Exit
{
    UINT message;
    WPARAM wParam;
};

class ExitTest : public MainWindowTest, public ::testing::WithParamInterface<Exit>
{
};

TEST_P(ExitTest, ClosesWithoutAQuestion)
{
    BoxAnswerer answerer(dialog);
    if (GetParam().message == 0)
        Key(VK_ESCAPE);
    else
        SendMessageA(dialog, GetParam().message, GetParam().wParam, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(answerer.seen.empty());
}

INSTANTIATE_TEST_SUITE_P(EscapeCloseBoxAndMenu, ExitTest,
                         ::testing::Values(Exit{0, 0}, Exit{WM_SYSCOMMAND, SC_CLOSE}, Exit{WM_COMMAND, IDM_EXIT}));

TEST_F(MainWindowTest, EnterAsksBeforeRunning)
{
    BoxAnswerer answerer(dialog);
    answerer.QueuePress(IDNO);
    SetFocus(Item(IDC_PATTERN));
    Key(VK_RETURN);
    ASSERT_EQ(1u, answerer.seen.size());
    EXPECT_EQ(AnsiText(u8"よろしいですか?"), answerer.seen[0].text);
    EXPECT_TRUE(IsWindow(dialog));
}

struct CtrlZ
{
    int focus;
    // The text field's typing is taken back; else the run's undo starts (its log is missing).
    bool fieldUndo;
};

TEST_F(FolderWindowTest, CtrlZUndoesTheTypingInATextFieldAndTheRunElsewhere)
{
    const CtrlZ cases[] = {{IDC_PATTERN, true}, {IDC_FOLDER, true}, {IDC_START, true}, {IDC_ORDER, false}};
    for (const CtrlZ& c : cases) {
        const std::string before = Text(c.focus);
        SetFocus(Item(c.focus));
        SendMessageA(GetFocus(), WM_CHAR, '7', 1);
        BoxAnswerer answerer(dialog);
        answerer.QueuePress(IDOK);
        CtrlKey('Z');
        Pump();
        EXPECT_EQ(c.fieldUndo ? 0u : 1u, answerer.seen.size()) << "focus " << c.focus;
        if (c.fieldUndo) {
            EXPECT_EQ(before, Text(c.focus)) << "focus " << c.focus;
        }
    }
}

}  // namespace
