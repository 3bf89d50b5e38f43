#ifndef QUILLOWBY_ENGINE_RENAME_JOB_H
#define QUILLOWBY_ENGINE_RENAME_JOB_H

#include "core/CountedString.h"

#include <cstdint>

// Every setting of one run. The name pattern is not kept: SplitPattern cuts it at its "?"
// into the text before the number and the text after it.
class RenameJob
{
public:
    RenameJob() : padDigits(1), startNumber(0), digitCount(0), order(0), sameNumberForSameName(false) {}

    void SplitPattern(const char* pattern);
    // The number's width must lie in 1..10, taken as a signed number, padding on or off.
    bool DigitCountValid() const { return digitCount >= 1 && digitCount <= 10; }

    CountedString logPath;
    CountedString folder;
    CountedString mask;
    CountedString prefix;
    CountedString suffix;
    uint8_t padDigits;
    int32_t startNumber;
    int32_t digitCount;
    int32_t order;
    // Files whose names are equal but for their extensions take one number (see
    // GroupSameNames).
    bool sameNumberForSameName;
};

#endif
