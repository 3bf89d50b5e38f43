#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"

namespace {

struct AboutView
{
    std::string title;
    std::string address;
    LONG addressStyle = 0;
    bool addressTakesTyping = true;
    bool ownerEnabled = true;
    bool showsVersion = false;
};

BOOL CALLBACK FindVersionText(HWND child, LPARAM param)
{
    if (WindowText(child) == "Quillowby Ver2.00")
        *reinterpret_cast<bool*>(param) = true;
    return TRUE;
}

struct AboutClose
{
    const char* how;
    std::function<void(HWND box)> close;
    int expectedEnd;
};

void PostKey(HWND box, UINT key)
{
    HWND focus = GetFocus();
    PostMessageA(focus && IsChild(box, focus) ? focus : box, WM_KEYDOWN, key, 1);
}

TEST_F(MainWindowTest, AboutBoxShowsTheAddressAndClosesEachWay)
{
    const AboutClose closes[] = {
        {"Enter", [](HWND box) { PostKey(box, VK_RETURN); }, IDOK},
        {"Escape", [](HWND box) { PostKey(box, VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    SetText(IDC_FOLDER, "kept");
    for (const AboutClose& close : closes) {
        SCOPED_TRACE(close.how);
        AboutView view;
        BoxAnswerer answerer(dialog);
        answerer.Queue([&](HWND box) {
            view.title = WindowText(box);
            HWND address = GetDlgItem(box, IDC_WEB_ADDRESS);
            view.address = WindowText(address);
            view.addressStyle = GetWindowLongA(address, GWL_STYLE);
            SendMessageA(address, WM_CHAR, 'x', 1);
            view.addressTakesTyping = WindowText(address) != view.address;
            view.ownerEnabled = IsWindowEnabled(dialog) != FALSE;
            EnumChildWindows(box, FindVersionText, reinterpret_cast<LPARAM>(&view.showsVersion));
            close.close(box);
        });

        Command(IDM_ABOUT);

        EXPECT_EQ(0u, answerer.Pending());
        EXPECT_EQ(AnsiText(u8"ﾊﾞｰｼﾞｮﾝ情報"), view.title);
        EXPECT_EQ("http://www.example.org/quillowby/", view.address);
        EXPECT_TRUE(view.addressStyle & ES_READONLY);
        EXPECT_TRUE(view.addressStyle & ES_CENTER);
        EXPECT_FALSE(view.addressTakesTyping);
        EXPECT_TRUE(view.showsVersion);
        EXPECT_FALSE(view.ownerEnabled) << "the about box is modal to the main window";
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ("kept", Text(IDC_FOLDER));
    }
}

}  // namespace
