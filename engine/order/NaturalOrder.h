#ifndef QUILLOWBY_ENGINE_ORDER_NATURAL_ORDER_H
#define QUILLOWBY_ENGINE_ORDER_NATURAL_ORDER_H

#include <cstddef>
#include <cstdint>

class FileServices;

// Which bytes start a double-byte character in the code page in force, each asked of the
// services the first time it is met, so that a sort does not ask for every byte it reads.
class LeadBytes
{
public:
    explicit LeadBytes(const FileServices& fs);

    bool Is(unsigned char c) const { return known[c] ? lead[c] : Learn(c); }

private:
    bool Learn(unsigned char c) const;

    const FileServices& fs;
    mutable bool known[256];
    mutable bool lead[256];
};

// Orders two names as the name order reads them (letters "A".."Z" folded, every other byte as
// it is), except that a double-byte character counts whole and every run of digits counts by
// its value: "file2" before "file10". Full-width digits of code page 932 are digits too, and a
// run of digits compares with any other character as "0" does. Names whose runs differ only in
// leading zeros or in the width of their digits compare equal; -1, 0 or +1.
int32_t CompareNatural(const char* a, size_t aLength, const char* b, size_t bLength, const LeadBytes& lead);
int32_t CompareNatural(const char* a, const char* b, const FileServices& fs);

#endif
