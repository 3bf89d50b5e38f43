#include "engine/platform/NameEscape.h"
#include "engine/platform/PathNames.h"
#include "tests/support/FaultyFileServices.h"

#include <gtest/gtest.h>

#include <string>

TEST(NameEscape, OneSpellingForEachCharacterReadBackExactly)
{
    struct Case
    {
        const char* text;
        char32_t codePoint;
        int length;
    } cases[] = {
        {"<U+00E9>", 0xE9, 8},
        {"<U+301C>.xlsx", 0x301C, 8},
        {"<U+D800>", 0xD800, 8},
        {"<U+1F600>", 0x1F600, 9},
        {"<U+10FFFF>", 0x10FFFF, 10},
        {"<U+0000>", 0, 8},
        // Anything else is no escape: a "<" cut short, lower case, too few or too many digits,
        // a leading zero beyond four, a code point out of range.
        {"<U+00E9", 0, 0},
        {"<U+", 0, 0},
        {"<U", 0, 0},
        {"<", 0, 0},
        {"<U+00e9>", 0, 0},
        {"<u+00E9>", 0, 0},
        {"<U+E9>", 0, 0},
        {"<U+0001F600>", 0, 0},
        {"<U+01F600>", 0, 0},
        {"<U+110000>", 0, 0},
        {"<U+FFFFFFF>", 0, 0},
        {"<U+00E9 >", 0, 0},
        {"U+00E9>", 0, 0},
    };
    for (const Case& c : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(c.length, ReadEscape(c.text, codePoint)) << c.text;
        if (c.length == 0)
            continue;
        EXPECT_EQ(c.codePoint, codePoint) << c.text;
        std::string written;
        AppendEscape(written, codePoint);
        EXPECT_EQ(std::string(c.text, static_cast<size_t>(c.length)), written) << c.text;
    }
}

TEST(NameEscape, APathIsMeasuredInTheUnitsItsEscapesStandFor)
{
    struct Case
    {
        const char* path;
        int characters;
    } cases[] = {
        {"caf<U+00E9>.jpg", 8},
        {"<U+1F600>", 2},
        {"<U+00e9>", 8},
        {"\x82\xA0<U+3099>", 2},
    };
    FaultyFileServices fs(PlatformFileServices());
    fs.UseCp932LeadBytes();
    for (const Case& c : cases)
        EXPECT_EQ(c.characters, PathCharacters(c.path, fs)) << c.path;
}

#ifdef _WIN32
TEST(NameEscape, EscapedLettersThatDifferOnlyInCaseMakeOneName)
{
    struct Case
    {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"<U+00C9>.txt", "<U+00E9>.TXT", true}, {"<U+0101>", "<U+0100>", true}, {"<U+00C9>", "<U+00C8>", false},
        {"<U+1F600>", "<U+1F600>", true},       {"<U+00E9>", "e", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same, NameKey(c.a, PlatformFileServices()) == NameKey(c.b, PlatformFileServices())) << c.a;
        EXPECT_EQ(c.same, PlatformFileServices().SameName(c.a, c.b)) << c.a;
    }
}
#endif
