#ifndef QUILLOWBY_ART_CANVAS_H
#define QUILLOWBY_ART_CANVAS_H

#include <cstdint>
#include <string>
#include <vector>

struct Rgb
{
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// A 16-colour picture, one palette index per pixel, origin at the top left.
class Canvas
{
public:
    Canvas(int width, int height, const std::vector<Rgb>& palette, int background);

    int Width() const { return width; }
    int Height() const { return height; }
    int At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    // Points outside the canvas are ignored, so shapes may run over the edge.
    void Set(int x, int y, int colour);
    void Fill(int x, int y, int w, int h, int colour);
    // Paints rows of characters; each character is looked up in key, and one not found there
    // (such as '.') leaves the pixel alone.
    void Paint(int x, int y, const std::vector<std::string>& rows, const std::string& key,
               const std::vector<int>& colours);

    // An uncompressed 4-bit bitmap file, rows bottom-up, the full 16-entry colour table.
    bool WriteBitmap(const std::string& path) const;
    // A one-image icon file; pixels of the transparent index are left out through the mask.
    bool WriteIcon(const std::string& path, int transparent) const;

private:
    std::vector<uint8_t> PackedRows() const;
    std::vector<uint8_t> InfoHeader(int storedHeight) const;

    int width;
    int height;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;
};

// The sixteen colours of the standard VGA palette, black to white.
std::vector<Rgb> StandardPalette();

enum StandardColour
{
    Black,
    Maroon,
    Green,
    Olive,
    Navy,
    Purple,
    Teal,
    Silver,
    Grey,
    Red,
    Lime,
    Yellow,
    Blue,
    Fuchsia,
    Aqua,
    White
};

#endif
