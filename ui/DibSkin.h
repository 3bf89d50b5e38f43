#ifndef QUILLOWBY_UI_DIB_SKIN_H
#define QUILLOWBY_UI_DIB_SKIN_H

#include <windows.h>

// A bitmap resource copied into a device-independent bitmap section, drawn by bit-block
// transfer. Before Load, or after a Load that failed, Draw draws nothing.
class DibSkin
{
public:
    DibSkin();
    virtual ~DibSkin();

    DibSkin(const DibSkin&) = delete;
    DibSkin& operator=(const DibSkin&) = delete;

    // Only uncompressed bitmaps with the 40-byte header are taken. The device context is
    // needed only while the section is made.
    bool Load(HDC dc, WORD resourceId, HINSTANCE instance);
    void Unload();
    bool Loaded() const { return bitmap != nullptr; }
    void Draw(HDC target, int x, int y, int sourceX, int sourceY, int width, int height, DWORD rasterOperation) const;

private:
    HBITMAP bitmap;
};

#endif
