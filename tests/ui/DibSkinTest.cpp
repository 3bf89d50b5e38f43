#include "tests/ui/SkinPicture.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/DibSkin.h"
#include "ui/GdiScopes.h"

#include <gtest/gtest.h>

namespace {

// A 61 x 23 screen-compatible bitmap, filled with one colour, to draw tiles into.
class Target
{
public:
    explicit Target(COLORREF fill)
    {
        bitmap = CreateCompatibleBitmap(WindowDc(nullptr).Handle(), kTileWidth, kTileHeight);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, kTileWidth, kTileHeight};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Target()
    {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HDC dc;

private:
    HBITMAP bitmap;
    HGDIOBJ previous;
};

struct Tile
{
    int x;
    int y;
};

TEST(DibSkinTest, DrawsEachTileOfTheSkin)
{
    SkinPicture picture;
    ASSERT_TRUE(picture.Loaded());
    DibSkin skin;
    HDC screen = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(skin.Load(screen, IDB_SKIN, appInstance));
    DeleteDC(screen);

    for (Tile tile : {Tile{0, 0}, Tile{61, 0}, Tile{0, 23}, Tile{61, 23}}) {
        Target target(RGB(1, 2, 3));
        skin.Draw(target.dc, 0, 0, tile.x, tile.y, kTileWidth, kTileHeight, SRCCOPY);
        EXPECT_EQ("", picture.Mismatch(target.dc, kTileWidth, kTileHeight, tile.x, tile.y))
            << "tile " << tile.x << "," << tile.y;
    }
}

TEST(DibSkinTest, UnloadedSkinDrawsNothing)
{
    DibSkin skin;
    HDC screen = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(skin.Load(screen, 999, appInstance)) << "no such bitmap";
    EXPECT_TRUE(skin.Load(screen, IDB_SKIN, appInstance));
    skin.Unload();
    DeleteDC(screen);

    Target target(RGB(1, 2, 3));
    skin.Draw(target.dc, 0, 0, 0, 0, kTileWidth, kTileHeight, SRCCOPY);
    EXPECT_EQ(RGB(1, 2, 3), GetPixel(target.dc, 0, 0));
    EXPECT_EQ(RGB(1, 2, 3), GetPixel(target.dc, 30, 11));
}

}  // namespace
