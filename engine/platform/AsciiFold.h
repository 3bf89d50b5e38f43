#ifndef QUILLOWBY_ENGINE_PLATFORM_ASCII_FOLD_H
#define QUILLOWBY_ENGINE_PLATFORM_ASCII_FOLD_H

#include <cstddef>

// "A" to "Z" become lower case; every other byte stays, whatever the code page.
inline unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

// Orders two byte ranges with every byte folded on its own, the way the listing and the
// sort order names. The end of a range compares like the NUL that ends a string, so a
// range comes before every longer one it begins.
inline int CompareFolded(const char* a, size_t aLength, const char* b, size_t bLength)
{
    for (size_t i = 0;; ++i) {
        unsigned char x = i < aLength ? static_cast<unsigned char>(a[i]) : 0;
        unsigned char y = i < bLength ? static_cast<unsigned char>(b[i]) : 0;
        if (x == y) {
            if (x == 0)
                return 0;
            continue;
        }
        x = FoldAscii(x);
        y = FoldAscii(y);
        if (x != y)
            return x < y ? -1 : 1;
    }
}

#endif
