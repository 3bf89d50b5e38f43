#include "ui/DibSkin.h"

#include "ui/GdiScopes.h"

#include <cstdint>
#include <cstring>

namespace {

// Keeps a loaded resource until the end of Load.
class ResourceHold
{
public:
    explicit ResourceHold(HGLOBAL handle) : handle(handle) {}
    ~ResourceHold()
    {
        if (handle)
            FreeResource(handle);
    }

    ResourceHold(const ResourceHold&) = delete;
    ResourceHold& operator=(const ResourceHold&) = delete;

private:
    HGLOBAL handle;
};

const int32_t kHeaderSize = sizeof(BITMAPINFOHEADER);
const LONG kLargestSide = 0x7FFF;

int32_t ColourCount(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed == 0 && header.biBitCount < 16)
        return int32_t(1) << header.biBitCount;
    return static_cast<int32_t>(header.biClrUsed);
}

bool SupportedDepth(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

}  // namespace

DibSkin::DibSkin() : bitmap(nullptr) {}

DibSkin::~DibSkin()
{
    Unload();
}

void DibSkin::Unload()
{
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

bool DibSkin::Load(HDC dc, WORD resourceId, HINSTANCE instance)
{
    Unload();

    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), RT_BITMAP);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded)
        return false;
    ResourceHold hold(loaded);
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    const DWORD dataSize = SizeofResource(instance, found);
    if (!data || dataSize < static_cast<DWORD>(kHeaderSize))
        return false;

    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.biSize != static_cast<DWORD>(kHeaderSize) || header.biCompression != BI_RGB)
        return false;
    // A damaged resource must not make us read past its end.
    if (header.biWidth <= 0 || header.biWidth > kLargestSide || header.biHeight == 0 ||
        header.biHeight > kLargestSide || header.biHeight < -kLargestSide || !SupportedDepth(header.biBitCount) ||
        header.biClrUsed > 256)
        return false;

    const int32_t colours = ColourCount(header);
    const int32_t rowBytes = (header.biWidth * header.biBitCount + 31) / 32 * 4;
    const int32_t pixelBytes = (header.biHeight < 0 ? -header.biHeight : header.biHeight) * rowBytes;
    const int32_t infoSize = kHeaderSize + 4 * colours;
    if (static_cast<DWORD>(infoSize) + static_cast<DWORD>(pixelBytes) > dataSize)
        return false;

    // The resource starts with the header and its colour table: a BITMAPINFO as it stands.
    void* pixels = nullptr;
    bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(data), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap || !pixels) {
        Unload();
        return false;
    }
    std::memcpy(pixels, data + infoSize, static_cast<size_t>(pixelBytes));
    return true;
}

void DibSkin::Draw(HDC target, int x, int y, int sourceX, int sourceY, int width, int height,
                   DWORD rasterOperation) const
{
    if (!bitmap)
        return;
    MemoryDc memory(target);
    if (!memory.Handle())
        return;
    ObjectSelection selection(memory.Handle(), bitmap);
    BitBlt(target, x, y, width, height, memory.Handle(), sourceX, sourceY, rasterOperation);
}
