#ifndef QUILLOWBY_TESTS_UI_SKIN_PICTURE_H
#define QUILLOWBY_TESTS_UI_SKIN_PICTURE_H

#include <windows.h>

#include <string>

const int kTileWidth = 61;
const int kTileHeight = 23;

// The skin bitmap as the platform itself decodes it, to compare drawn pixels against.
class SkinPicture
{
public:
    SkinPicture();
    ~SkinPicture();

    SkinPicture(const SkinPicture&) = delete;
    SkinPicture& operator=(const SkinPicture&) = delete;

    bool Loaded() const { return bitmap != nullptr; }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Empty when the device context shows the tile at (tileX, tileY) at its origin; else
    // where it first differs. Only the part inside width x height is compared.
    std::string Mismatch(HDC target, int width, int height, int tileX, int tileY) const;

private:
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};

#endif
