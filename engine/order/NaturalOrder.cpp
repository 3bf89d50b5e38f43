#include "engine/order/NaturalOrder.h"

#include "engine/platform/AsciiFold.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"

#include <cstring>

LeadBytes::LeadBytes(const FileServices& fs) : fs(fs), known(), lead() {}

bool LeadBytes::Learn(unsigned char c) const
{
    lead[c] = fs.IsLeadByte(c);
    known[c] = true;
    return lead[c];
}

namespace {

// A name seen as its characters, a double-byte character being one.
class NameReader
{
public:
    NameReader(const char* text, size_t length, const LeadBytes& lead)
        : text(reinterpret_cast<const unsigned char*>(text)), length(length), lead(lead), at(0)
    {
    }

    bool AtEnd() const { return at >= length; }
    size_t CharacterLength(size_t position) const { return lead.Is(text[position]) && position + 1 < length ? 2 : 1; }
    // The value of the digit at position ("0".."9", or "\x82\x4F".."\x82\x58"), or -1.
    int DigitAt(size_t position) const
    {
        if (position >= length)
            return -1;
        unsigned char c = text[position];
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c == 0x82 && CharacterLength(position) == 2 && text[position + 1] >= 0x4F && text[position + 1] <= 0x58)
            return text[position + 1] - 0x4F;
        return -1;
    }
    size_t Next(size_t position) const { return position + CharacterLength(position); }

    const unsigned char* text;
    size_t length;
    const LeadBytes& lead;
    size_t at;
};

// Where the run of digits that starts at the reader's position ends, where its first digit
// that is not a zero stands, and how many digits it has from there.
struct DigitRun
{
    explicit DigitRun(const NameReader& name) : end(name.at), significant(name.at), count(0)
    {
        bool leading = true;
        while (name.DigitAt(end) >= 0) {
            if (leading && name.DigitAt(end) == 0)
                significant = name.Next(end);
            else
                leading = false;
            count += leading ? 0 : 1;
            end = name.Next(end);
        }
    }

    size_t end;
    size_t significant;
    size_t count;
};

// By value: the run with more significant digits is larger; runs as long compare digit by
// digit, so that no run is too long to compare.
int32_t CompareRuns(const NameReader& a, const DigitRun& runA, const NameReader& b, const DigitRun& runB)
{
    if (runA.count != runB.count)
        return runA.count < runB.count ? -1 : 1;
    for (size_t i = runA.significant, j = runB.significant; i < runA.end; i = a.Next(i), j = b.Next(j)) {
        int x = a.DigitAt(i), y = b.DigitAt(j);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

// Single bytes folded; a double-byte character by its two bytes as they are, and before every
// character of the same first byte when its second byte is missing.
int32_t CompareCharacters(const NameReader& a, const NameReader& b)
{
    size_t lengthA = a.CharacterLength(a.at), lengthB = b.CharacterLength(b.at);
    unsigned char x = lengthA == 1 ? FoldAscii(a.text[a.at]) : a.text[a.at];
    unsigned char y = lengthB == 1 ? FoldAscii(b.text[b.at]) : b.text[b.at];
    if (x != y)
        return x < y ? -1 : 1;
    if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
    if (lengthA == 2 && a.text[a.at + 1] != b.text[b.at + 1])
        return a.text[a.at + 1] < b.text[b.at + 1] ? -1 : 1;
    return 0;
}

}  // namespace

int32_t CompareNatural(const char* a, size_t aLength, const char* b, size_t bLength, const LeadBytes& lead)
{
    NameReader x(a, aLength, lead), y(b, bLength, lead);
    for (;;) {
        if (x.AtEnd() || y.AtEnd())
            return x.AtEnd() == y.AtEnd() ? 0 : (x.AtEnd() ? -1 : 1);
        bool digitX = x.DigitAt(x.at) >= 0, digitY = y.DigitAt(y.at) >= 0;
        int32_t c = 0;
        if (digitX && digitY) {
            DigitRun runX(x), runY(y);
            c = CompareRuns(x, runX, y, runY);
            x.at = runX.end;
            y.at = runY.end;
        } else if (digitX || digitY) {
            unsigned char other = digitX ? y.text[y.at] : x.text[x.at];
            c = (other < '0') == digitX ? 1 : -1;
        } else {
            c = CompareCharacters(x, y);
            x.at = x.Next(x.at);
            y.at = y.Next(y.at);
        }
        if (c != 0)
            return c;
    }
}

int32_t CompareNatural(const char* a, const char* b, const FileServices& fs)
{
    return CompareNatural(a, std::strlen(a), b, std::strlen(b), LeadBytes(fs));
}
