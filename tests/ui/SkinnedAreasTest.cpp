#include "tests/ui/SkinPicture.h"
#include "tests/ui/UiTestSupport.h"

#include "ui/AppObjects.h"
#include "ui/GdiScopes.h"
#include "ui/SkinnedAreas.h"

namespace {

const int kRunTileY = 0;
const int kExitTileY = kTileHeight;

class SkinnedAreasTest : public MainWindowTest
{
protected:
    // What the area's control shows now, against the given tile of the skin.
    std::string Shows(int id, int tileX, int tileY) const
    {
        RECT client = {};
        GetClientRect(Item(id), &client);
        WindowDc dc(Item(id));
        return skin.Mismatch(dc.Handle(), client.right, client.bottom, tileX, tileY);
    }
    std::string ShowsNormal(int id, int tileY) const { return Shows(id, 0, tileY); }
    std::string ShowsPressed(int id, int tileY) const { return Shows(id, kTileWidth, tileY); }

    void Mouse(UINT message, POINT point) { SendMessageA(dialog, message, 0, PointParam(point)); }

    SkinPicture skin;
};

TEST_F(SkinnedAreasTest, TheTwoLooksOfEachAreaDifferInsideTheControl)
{
    ASSERT_TRUE(skin.Loaded());
    EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
    EXPECT_EQ("", ShowsNormal(IDCANCEL, kExitTileY));
    EXPECT_NE("", ShowsPressed(IDOK, kRunTileY)) << "the pressed tile must be told apart from the normal one";
    EXPECT_NE("", ShowsPressed(IDCANCEL, kExitTileY));
}

TEST_F(SkinnedAreasTest, PressShowsThePressedTileUntilTheRelease)
{
    Mouse(WM_LBUTTONDOWN, CentreOf(IDOK));
    EXPECT_EQ("", ShowsPressed(IDOK, kRunTileY));
    EXPECT_EQ("", ShowsNormal(IDCANCEL, kExitTileY));
    EXPECT_EQ(dialog, GetCapture());
    EXPECT_EQ(1, pressedArea);
    EXPECT_TRUE(TakeCommands().empty()) << "a press alone posts nothing";

    Mouse(WM_LBUTTONUP, CentreOf(IDOK));
    EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, pressedArea);
}

struct Release
{
    const char* where;
    std::function<POINT(const RECT& run, const RECT& exit)> point;
    bool movesOutFirst;
    std::vector<WPARAM> posted;
};

TEST_F(SkinnedAreasTest, OnlyAReleaseOverThePressedAreaPostsItsCommand)
{
    const Release releases[] = {
        {"inside",
         [](const RECT& r, const RECT&) {
             return POINT{r.left + 3, r.top + 3};
         },
         false,
         {IDOK}},
        {"on the last inner pixel",
         [](const RECT& r, const RECT&) {
             return POINT{r.right - 1, r.bottom - 1};
         },
         false,
         {IDOK}},
        {"after moving out and back",
         [](const RECT& r, const RECT&) {
             return POINT{r.left + 5, r.top + 5};
         },
         true,
         {IDOK}},
        {"outside both",
         [](const RECT&, const RECT&) {
             return POINT{2, 2};
         },
         false,
         {}},
        {"over the other area",
         [](const RECT&, const RECT& e) {
             return POINT{e.left + 5, e.top + 5};
         },
         false,
         {}},
        {"on the right edge",
         [](const RECT& r, const RECT&) {
             return POINT{r.right, r.top + 5};
         },
         false,
         {}},
        {"on the bottom edge",
         [](const RECT& r, const RECT&) {
             return POINT{r.left + 5, r.bottom};
         },
         false,
         {}},
    };
    const RECT run = ClientRectOf(IDOK);
    const RECT exit = ClientRectOf(IDCANCEL);
    for (const Release& release : releases) {
        SCOPED_TRACE(release.where);
        Mouse(WM_LBUTTONDOWN, CentreOf(IDOK));
        if (release.movesOutFirst) {
            Mouse(WM_MOUSEMOVE, POINT{2, 2});
            Mouse(WM_MOUSEMOVE, CentreOf(IDOK));
        }
        Mouse(WM_LBUTTONUP, release.point(run, exit));

        EXPECT_EQ(release.posted, TakeCommands());
        EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(0, pressedArea);
    }
}

struct CaptureLoss
{
    const char* how;
    int id;
    int tileY;
    std::function<void(HWND dialog)> takeCapture;
};

TEST_F(SkinnedAreasTest, AHeldAreaWhoseCaptureIsTakenDropsThePress)
{
    const auto toAnotherWindow = [](HWND) {
        HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetCapture(other);
        DestroyWindow(other);
    };
    const auto released = [](HWND) { ReleaseCapture(); };
    const CaptureLoss losses[] = {
        {"Run, capture taken by another window", IDOK, kRunTileY, toAnotherWindow},
        {"Run, capture released", IDOK, kRunTileY, released},
        {"Exit, capture taken by another window", IDCANCEL, kExitTileY, toAnotherWindow},
    };
    for (const CaptureLoss& loss : losses) {
        SCOPED_TRACE(loss.how);
        Mouse(WM_LBUTTONDOWN, CentreOf(loss.id));
        ASSERT_EQ("", ShowsPressed(loss.id, loss.tileY));

        loss.takeCapture(dialog);

        EXPECT_EQ(0, pressedArea);
        EXPECT_EQ("", ShowsNormal(loss.id, loss.tileY));
        Mouse(WM_LBUTTONUP, CentreOf(loss.id));
        EXPECT_TRUE(TakeCommands().empty()) << "the release after the loss posts nothing";
        EXPECT_EQ("", ShowsNormal(loss.id, loss.tileY));
    }
}

TEST_F(SkinnedAreasTest, ExitAreaPostsTheExitCommandWhichClosesTheWindow)
{
    Mouse(WM_LBUTTONDOWN, CentreOf(IDCANCEL));
    EXPECT_EQ("", ShowsPressed(IDCANCEL, kExitTileY));
    EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
    EXPECT_EQ(2, pressedArea);
    Mouse(WM_LBUTTONUP, CentreOf(IDCANCEL));
    EXPECT_EQ("", ShowsNormal(IDCANCEL, kExitTileY));

    BoxAnswerer answerer(dialog);
    std::vector<WPARAM> posted = TakeCommands();
    ASSERT_EQ(std::vector<WPARAM>{IDCANCEL}, posted);
    SendMessageA(dialog, WM_COMMAND, posted[0], 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(answerer.seen.empty()) << "exit asks nothing";
}

TEST_F(SkinnedAreasTest, PressOutsideBothAreasDoesNothing)
{
    Mouse(WM_LBUTTONDOWN, POINT{2, 2});
    EXPECT_EQ(0, pressedArea);
    EXPECT_EQ(nullptr, GetCapture());
    Mouse(WM_LBUTTONUP, CentreOf(IDOK));
    EXPECT_TRUE(TakeCommands().empty());
    EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
}

TEST_F(SkinnedAreasTest, RepaintWhileHeldShowsTheNormalLook)
{
    Mouse(WM_LBUTTONDOWN, CentreOf(IDOK));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ("", ShowsNormal(IDOK, kRunTileY));
    EXPECT_EQ("", ShowsNormal(IDCANCEL, kExitTileY));
    EXPECT_EQ(1, pressedArea);

    Mouse(WM_LBUTTONUP, CentreOf(IDOK));
    EXPECT_EQ(std::vector<WPARAM>{IDOK}, TakeCommands());
}

TEST_F(SkinnedAreasTest, WithoutASkinTheAreasStillWork)
{
    dibSkin.Unload();
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_NE("", ShowsNormal(IDOK, kRunTileY));

    Mouse(WM_LBUTTONDOWN, CentreOf(IDOK));
    EXPECT_NE("", ShowsPressed(IDOK, kRunTileY));
    Mouse(WM_LBUTTONUP, CentreOf(IDOK));
    EXPECT_EQ(std::vector<WPARAM>{IDOK}, TakeCommands());

    LoadSkin();
}

}  // namespace
