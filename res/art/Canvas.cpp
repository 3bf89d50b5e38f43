#include "Canvas.h"

#include <cstdio>

namespace {

void PutU16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// A bitmap row holds whole 32-bit words.
int RowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

Canvas::Canvas(int width, int height, const std::vector<Rgb>& palette, int background)
    : width(width), height(height), palette(palette),
      pixels(static_cast<size_t>(width * height), static_cast<uint8_t>(background))
{
    this->palette.resize(16, Rgb{0, 0, 0});
}

void Canvas::Set(int x, int y, int colour)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    pixels[static_cast<size_t>(y * width + x)] = static_cast<uint8_t>(colour & 0x0F);
}

void Canvas::Fill(int x, int y, int w, int h, int colour)
{
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            Set(column, row, colour);
}

void Canvas::Paint(int x, int y, const std::vector<std::string>& rows, const std::string& key,
                   const std::vector<int>& colours)
{
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows[row].size(); ++column) {
            size_t found = key.find(rows[row][column]);
            if (found != std::string::npos)
                Set(x + static_cast<int>(column), y + static_cast<int>(row), colours[found]);
        }
    }
}

std::vector<uint8_t> Canvas::PackedRows() const
{
    const int rowBytes = RowBytes(width, 4);
    std::vector<uint8_t> out(static_cast<size_t>(rowBytes * height), 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &out[static_cast<size_t>((height - 1 - y) * rowBytes)];
        for (int x = 0; x < width; ++x) {
            int shift = (x % 2 == 0) ? 4 : 0;
            row[x / 2] = static_cast<uint8_t>(row[x / 2] | (At(x, y) << shift));
        }
    }
    return out;
}

std::vector<uint8_t> Canvas::InfoHeader(int storedHeight) const
{
    std::vector<uint8_t> out;
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(storedHeight));
    PutU16(out, 1);
    PutU16(out, 4);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(RowBytes(width, 4) * height));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (const Rgb& colour : palette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    return out;
}

bool Canvas::WriteBitmap(const std::string& path) const
{
    std::vector<uint8_t> info = InfoHeader(height);
    std::vector<uint8_t> rows = PackedRows();
    const uint32_t offset = 14 + static_cast<uint32_t>(info.size());

    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    PutU32(file, offset + static_cast<uint32_t>(rows.size()));
    PutU32(file, 0);
    PutU32(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return WriteFile(path, file);
}

bool Canvas::WriteIcon(const std::string& path, int transparent) const
{
    // In an icon the header counts the colour rows and the mask rows together.
    std::vector<uint8_t> image = InfoHeader(height * 2);
    std::vector<uint8_t> rows = PackedRows();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (At(x, y) == transparent)
                rows[static_cast<size_t>((height - 1 - y) * RowBytes(width, 4) + x / 2)] &=
                    static_cast<uint8_t>(x % 2 == 0 ? 0x0F : 0xF0);
        }
    }
    image.insert(image.end(), rows.begin(), rows.end());

    const int maskBytes = RowBytes(width, 1);
    std::vector<uint8_t> mask(static_cast<size_t>(maskBytes * height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (At(x, y) == transparent)
                mask[static_cast<size_t>((height - 1 - y) * maskBytes + x / 8)] |=
                    static_cast<uint8_t>(0x80 >> (x % 8));
    image.insert(image.end(), mask.begin(), mask.end());

    std::vector<uint8_t> file;
    PutU16(file, 0);
    PutU16(file, 1);
    PutU16(file, 1);
    file.push_back(static_cast<uint8_t>(width));
    file.push_back(static_cast<uint8_t>(height));
    file.push_back(16);
    file.push_back(0);
    PutU16(file, 1);
    PutU16(file, 4);
    PutU32(file, static_cast<uint32_t>(image.size()));
    PutU32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return WriteFile(path, file);
}

std::vector<Rgb> StandardPalette()
{
    // clang-format off
    return {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    // clang-format on
}
