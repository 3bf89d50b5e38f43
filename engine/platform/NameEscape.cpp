#include "engine/platform/NameEscape.h"

namespace {

const char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

void AppendEscape(std::string& text, char32_t codePoint)
{
    char digits[8];
    int count = 0;
    for (char32_t rest = codePoint; rest != 0 || count < 4; rest >>= 4)
        digits[count++] = kDigits[rest & 0xF];
    text += "<U+";
    while (count > 0)
        text += digits[--count];
    text += '>';
}

int ReadEscape(const char* text, char32_t& codePoint)
{
    if (text[0] != '<' || text[1] != 'U' || text[2] != '+')
        return 0;
    char32_t value = 0;
    int digits = 0;
    for (; digits < 7; ++digits) {
        const int digit = DigitValue(text[3 + digits]);
        if (digit < 0)
            break;
        value = value << 4 | static_cast<char32_t>(digit);
    }
    if (text[3 + digits] != '>' || digits < 4 || digits > 6 || value > kLastCodePoint)
        return 0;
    // One spelling for each character: no leading zero beyond the four digits every escape has.
    if (digits > 4 && text[3] == '0')
        return 0;
    codePoint = value;
    return 3 + digits + 1;
}
