#include "SkinArt.h"

namespace {

const int kTileWidth = 61;
const int kTileHeight = 23;

enum SkinColour
{
    SkinBlack,
    SkinNavy,
    SkinPink,
    SkinFace,
    SkinLabel,
    SkinWhite
};

std::vector<Rgb> SkinPalette()
{
    std::vector<Rgb> palette = {
        {0, 0, 0}, {0, 0, 128}, {255, 200, 255}, {255, 235, 255}, {255, 0, 128},
    };
    palette.resize(16, Rgb{255, 255, 255});
    return palette;
}

// A small serif alphabet for the two labels; every glyph stands on the same baseline, its
// rows counted from the top of the capitals.
struct Glyph
{
    char letter;
    int top;
    std::vector<std::string> rows;
};

// clang-format off
const Glyph kGlyphs[] = {
    {'R', 0, {"######.",
              ".#...#.",
              ".#...#.",
              ".#...#.",
              ".####..",
              ".#.#...",
              ".#..#..",
              ".#...#.",
              "###..##"}},
    {'u', 3, {"##..##.",
              ".#...#.",
              ".#...#.",
              ".#...#.",
              ".#..##.",
              "..##.##"}},
    {'n', 3, {"##.##..",
              ".##..#.",
              ".#...#.",
              ".#...#.",
              ".#...#.",
              "###.###"}},
    {'E', 0, {"#######",
              ".#....#",
              ".#.....",
              ".#..#..",
              ".####..",
              ".#..#..",
              ".#.....",
              ".#....#",
              "#######"}},
    {'x', 3, {"##..##",
              ".#..#.",
              "..##..",
              "..##..",
              ".#..#.",
              "##..##"}},
    {'i', 1, {".#.",
              "...",
              "##.",
              ".#.",
              ".#.",
              ".#.",
              ".#.",
              "###"}},
    {'t', 1, {".#..",
              ".#..",
              "####",
              ".#..",
              ".#..",
              ".#..",
              ".#.#",
              "..#."}},
};
// clang-format on

const Glyph* FindGlyph(char letter)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

const int kCapHeight = 9;
const int kLetterGap = 1;

// Each stroke is doubled to the right, which gives the label a bold face.
int LabelWidth(const std::string& label)
{
    int width = 0;
    for (char letter : label)
        width += static_cast<int>(FindGlyph(letter)->rows[0].size()) + 1 + kLetterGap;
    return width - kLetterGap;
}

void DrawLabel(Canvas& canvas, int x, int y, const std::string& label)
{
    for (char letter : label) {
        const Glyph* glyph = FindGlyph(letter);
        for (size_t row = 0; row < glyph->rows.size(); ++row) {
            for (size_t column = 0; column < glyph->rows[row].size(); ++column) {
                if (glyph->rows[row][column] != '#')
                    continue;
                int px = x + static_cast<int>(column);
                int py = y + glyph->top + static_cast<int>(row);
                canvas.Set(px, py, SkinLabel);
                canvas.Set(px + 1, py, SkinLabel);
            }
        }
        x += static_cast<int>(glyph->rows[0].size()) + 1 + kLetterGap;
    }
}

// Walks the rectangle's outline clockwise from its top left corner, changing colour every
// four pixels.
void DrawDashedFrame(Canvas& canvas, int left, int top, int right, int bottom)
{
    int step = 0;
    auto put = [&](int x, int y) {
        canvas.Set(x, y, (step / 4) % 2 == 0 ? SkinNavy : SkinPink);
        ++step;
    };
    for (int x = left; x < right; ++x)
        put(x, top);
    for (int y = top; y < bottom; ++y)
        put(right, y);
    for (int x = right; x > left; --x)
        put(x, bottom);
    for (int y = bottom; y > top; --y)
        put(left, y);
}

void DrawTile(Canvas& canvas, int originX, int originY, const std::string& label, bool pressed)
{
    const int right = originX + kTileWidth - 1;
    const int bottom = originY + kTileHeight - 1;

    canvas.Fill(originX, originY, kTileWidth, kTileHeight, SkinBlack);
    DrawDashedFrame(canvas, originX + 1, originY + 1, right - 1, bottom - 1);
    canvas.Fill(originX + 2, originY + 2, kTileWidth - 4, kTileHeight - 4, SkinFace);

    for (int x = originX + 4; x <= right - 4; ++x) {
        for (int y = originY + 4; y <= bottom - 4; ++y) {
            bool onFrame = x == originX + 4 || x == right - 4 || y == originY + 4 || y == bottom - 4;
            if (onFrame && (x - originX + y - originY) % 2 == 0)
                canvas.Set(x, y, SkinBlack);
        }
    }

    int labelX = originX + (kTileWidth - LabelWidth(label)) / 2;
    int labelY = originY + (kTileHeight - kCapHeight) / 2;
    if (pressed) {
        ++labelX;
        ++labelY;
    }
    DrawLabel(canvas, labelX, labelY, label);
}

}  // namespace

Canvas DrawSkin()
{
    Canvas canvas(2 * kTileWidth, 2 * kTileHeight, SkinPalette(), SkinWhite);
    DrawTile(canvas, 0, 0, "Run", false);
    DrawTile(canvas, kTileWidth, 0, "Run", true);
    DrawTile(canvas, 0, kTileHeight, "Exit", false);
    DrawTile(canvas, kTileWidth, kTileHeight, "Exit", true);
    return canvas;
}
