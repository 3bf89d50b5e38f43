#include "tests/ui/SkinPicture.h"

#include "res/resource.h"
#include "ui/AppObjects.h"

#include <algorithm>
#include <cstdio>

SkinPicture::SkinPicture()
    : bitmap(static_cast<HBITMAP>(
          LoadImageA(appInstance, MAKEINTRESOURCEA(IDB_SKIN), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
      dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap))
{
}

SkinPicture::~SkinPicture()
{
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

std::string SkinPicture::Mismatch(HDC target, int width, int height, int tileX, int tileY) const
{
    width = std::min(width, kTileWidth);
    height = std::min(height, kTileHeight);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF shown = GetPixel(target, x, y);
            COLORREF expected = At(tileX + x, tileY + y);
            if (shown != expected) {
                char where[96];
                std::snprintf(where, sizeof where, "pixel %d,%d is %06lx, the tile has %06lx", x, y,
                              static_cast<unsigned long>(shown), static_cast<unsigned long>(expected));
                return where;
            }
        }
    }
    return "";
}
