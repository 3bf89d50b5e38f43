#include "GlyphArt.h"

namespace {

// Letters used in the glyph pictures; '.' keeps the background.
const std::string kKey = "kmGonptsgrlybfaw";

std::vector<int> KeyColours()
{
    std::vector<int> colours;
    for (int i = 0; i < 16; ++i)
        colours.push_back(i);
    return colours;
}

Canvas GlyphFrom(const std::vector<std::string>& rows)
{
    Canvas canvas(16, 16, StandardPalette(), Silver);
    canvas.Paint(0, 0, rows, kKey, KeyColours());
    return canvas;
}

// Digits three pixels wide and five high, for the numbers on the icon's page.
// clang-format off
const char* const kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};
// clang-format on

void DrawNumber(Canvas& canvas, int x, int y, const char* digits, int colour)
{
    for (; *digits; ++digits, x += 4)
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (kDigits[*digits - '0'][row][column] == '#')
                    canvas.Set(x + column, y + row, colour);
}

// A page with a folded top right corner.
void DrawPage(Canvas& canvas, int x, int y, int w, int h)
{
    const int fold = 5;
    canvas.Fill(x, y, w, h, Black);
    canvas.Fill(x + 1, y + 1, w - 2, h - 2, White);
    for (int i = 0; i < fold; ++i) {
        for (int j = 0; j < fold - i; ++j)
            canvas.Set(x + w - fold + i + j, y + i, IconTransparent());
        canvas.Set(x + w - fold + i, y + i, Black);
    }
    canvas.Fill(x + w - fold, y + fold, fold, 1, Black);
    for (int i = 1; i < fold; ++i)
        canvas.Fill(x + w - fold, y + i, i, 1, Silver);
    canvas.Fill(x + w - fold, y, 1, fold, Black);
    canvas.Set(x + w - 1, y + fold, Black);
}

}  // namespace

Canvas DrawDesktopGlyph()
{
    return GlyphFrom({
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kggggggggggggk.",
        ".kgttttttttttgk.",
        ".kgtwwtttttttgk.",
        ".kgtwwtttttttgk.",
        ".kgttttttttttgk.",
        ".kgttttttyyttgk.",
        ".kgttttttyyttgk.",
        ".kgttttttttttgk.",
        ".kggggggggggggk.",
        ".kkkkkkkkkkkkkk.",
        "......kggk......",
        "....kkkkkkkk....",
        "....kggggggk....",
        "....kkkkkkkk....",
    });
}

Canvas DrawDocumentsGlyph()
{
    return GlyphFrom({
        "................",
        ".....kkkkkkk....",
        ".....kwwwwwkk...",
        ".kkk.kwkkkwwwk..",
        "kyyyykwwwwwwwk..",
        "kyyyykwkkkkkwk..",
        "kyyyykwwwwwwwk..",
        "kyykkkkkkkkkkkkk",
        "kyykyyyyyyyyyyyk",
        "kykyyyyyyyyyyyok",
        "kykyyyyyyyyyyyk.",
        "kkyyyyyyyyyyyok.",
        "kkyyyyyyyyyyyk..",
        "kkkkkkkkkkkkkk..",
        "................",
        "................",
    });
}

Canvas DrawSaveGlyph()
{
    return GlyphFrom({
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knwwwwwwwwwwnk.",
        ".knwwwwwwwwwwnk.",
        ".knwggggggggwnk.",
        ".knwwwwwwwwwwnk.",
        ".knwggggggggwnk.",
        ".knwwwwwwwwwwnk.",
        ".knnnnnnnnnnnnk.",
        ".knnnnnnnnnnnnk.",
        ".knnn.......nnk.",
        ".knnn.kk....nnk.",
        ".knnn.kk....nnk.",
        ".knnn.......nnk.",
        "..kkkkkkkkkkkkk.",
        "................",
    });
}

int IconTransparent()
{
    return Aqua;
}

Canvas DrawAppIcon()
{
    Canvas canvas(32, 32, StandardPalette(), IconTransparent());
    DrawPage(canvas, 2, 0, 18, 26);
    DrawPage(canvas, 7, 3, 18, 26);
    DrawPage(canvas, 12, 6, 18, 26);
    DrawNumber(canvas, 15, 12, "001", Navy);
    DrawNumber(canvas, 15, 18, "002", Navy);
    DrawNumber(canvas, 15, 24, "003", Red);
    return canvas;
}
