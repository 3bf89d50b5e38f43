#ifndef QUILLOWBY_ENGINE_ASCII_FOLD_H
#define QUILLOWBY_ENGINE_ASCII_FOLD_H

// "A" to "Z" become lower case; every other byte stays, whatever the code page.
inline unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

#endif
