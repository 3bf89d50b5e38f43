#ifndef QUILLOWBY_ENGINE_PLATFORM_NAME_ESCAPE_H
#define QUILLOWBY_ENGINE_PLATFORM_NAME_ESCAPE_H

#include <cstddef>
#include <string>

// A character of a name that the ANSI code page cannot hold is carried as "<U+XXXX>", the
// form and its rules described with the log format (engine/log/LogFormat.h). These read and
// write one such escape; which characters need one is the platform's to say.

// "<U+10FFFF>" is the longest.
const int kLongestEscape = 10;
// The largest code point, and the range of the UTF-16 surrogates, which stand for themselves
// when they come unpaired.
const char32_t kLastCodePoint = 0x10FFFF;

// Appends the escape of codePoint, which is at most kLastCodePoint.
void AppendEscape(std::string& text, char32_t codePoint);

// The bytes of the escape that begins text, its code point into codePoint; 0 when text does
// not begin with one written exactly as AppendEscape writes it: upper-case hexadecimal
// digits, four of them below U+10000 and no leading zero above, the code point no larger than
// kLastCodePoint. Reads no further than the NUL that ends text.
int ReadEscape(const char* text, char32_t& codePoint);

// The UTF-16 units of the character an escape stands for: two beyond U+FFFF, else one.
inline int EscapeUnits(char32_t codePoint)
{
    return codePoint > 0xFFFF ? 2 : 1;
}

#endif
