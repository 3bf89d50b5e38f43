// Draws the program's pictures: the Run/Exit skin, the three button faces and the icon.
// Usage: make-art <output folder>

#include "GlyphArt.h"
#include "SkinArt.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";

    bool written = DrawSkin().WriteBitmap(folder + "skin.bmp") &&
                   DrawDesktopGlyph().WriteBitmap(folder + "desktop.bmp") &&
                   DrawDocumentsGlyph().WriteBitmap(folder + "documents.bmp") &&
                   DrawSaveGlyph().WriteBitmap(folder + "save.bmp") &&
                   DrawAppIcon().WriteIcon(folder + "app.ico", IconTransparent());
    if (!written) {
        std::fprintf(stderr, "make-art: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
