#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Japanese texts reach the platform as code page 932 bytes in every build. Several of
// them have 0x5C, the backslash, as second byte, which is why a name splitter has to
// know lead bytes.
struct LiteralCase
{
    const char* literal;
    const char* bytes;
};

const LiteralCase kLiteralCases[] = {
    {"ソ", "\x83\x5C"},
    {"表", "\x95\x5C"},
    {"よろしいですか?", "\x82\xE6\x82\xEB\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9?"},
    {"ソ表.txt", "\x83\x5C\x95\x5C.txt"},
};

TEST(ExecutionCharset, JapaneseLiteralsAreCodePage932Bytes)
{
    for (const LiteralCase& c : kLiteralCases) {
        EXPECT_EQ(std::string(c.bytes), std::string(c.literal)) << "case " << c.bytes;
        EXPECT_EQ(std::strlen(c.bytes), std::strlen(c.literal));
    }
}

}
