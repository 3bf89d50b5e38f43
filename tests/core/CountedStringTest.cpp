#include "core/CountedString.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CountedString, AbsentDiffersFromEmpty)
{
    CountedString absent;
    EXPECT_EQ(-1, absent.Length());
    EXPECT_EQ(nullptr, absent.Data());
    EXPECT_EQ(nullptr, absent.LastChar());
    EXPECT_TRUE(absent.Equals(nullptr));
    EXPECT_FALSE(absent.Equals(""));

    CountedString empty("");
    EXPECT_EQ(0, empty.Length());
    ASSERT_NE(nullptr, empty.Data());
    EXPECT_EQ(nullptr, empty.LastChar());
    EXPECT_TRUE(empty.Equals(""));
    EXPECT_FALSE(empty.Equals(nullptr));

    CountedString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(-1, fromNull.Length());
}

TEST(CountedString, ReserveGivesZeroFilledBufferOfExactSize)
{
    struct Case
    {
        int n;
        int length;
    } cases[] = {{-5, -1}, {0, -1}, {1, 0}, {5, 4}, {13, 12}};
    for (const Case& c : cases) {
        CountedString s("old text");
        char* buffer = s.Reserve(c.n);
        EXPECT_EQ(c.length, s.Length()) << c.n;
        if (c.n <= 0) {
            EXPECT_EQ(nullptr, buffer);
            EXPECT_EQ(nullptr, s.Data());
            continue;
        }
        EXPECT_EQ(buffer, s.Data());
        for (int i = 0; i < c.n; ++i)
            EXPECT_EQ(0, buffer[i]) << "byte " << i << " of " << c.n;
    }
    CountedString five(5);
    EXPECT_EQ(five.Data() + 3, five.LastChar());
}

TEST(CountedString, ReservedStringKeepsItsStoredLength)
{
    CountedString reserved(10);
    std::memcpy(reserved.Data(), "ab", 2);
    EXPECT_EQ(9, reserved.Length());

    CountedString joined = reserved.Concat("c");
    EXPECT_STREQ("abc", joined.Data());
    EXPECT_EQ(10, joined.Length());
    for (int i = 3; i <= 10; ++i)
        EXPECT_EQ(0, joined.Data()[i]);

    CountedString copy(reserved);
    EXPECT_EQ(9, copy.Length());
    EXPECT_EQ(0, std::memcmp(copy.Data(), reserved.Data(), 10));
    EXPECT_NE(copy.Data(), reserved.Data());

    reserved.Append("c");
    EXPECT_STREQ("abc", reserved.Data());
    EXPECT_EQ(3, reserved.Length());
}

TEST(CountedString, AssignCopiesBytesBehindAnEarlierNul)
{
    CountedString source(6);
    std::memcpy(source.Data(), "a\0bcd", 5);
    CountedString target("something longer");
    target.Assign(source);
    EXPECT_EQ(5, target.Length());
    EXPECT_EQ(0, std::memcmp("a\0bcd", target.Data(), 6));

    target.Assign(CountedString());
    EXPECT_EQ(-1, target.Length());
    EXPECT_EQ(nullptr, target.Data());
}

TEST(CountedString, ConcatAndAppendWithNullOrAbsent)
{
    CountedString abc("abc");
    CountedString same = abc.Concat(nullptr);
    EXPECT_STREQ("abc", same.Data());
    EXPECT_NE(abc.Data(), same.Data());
    abc.Append(nullptr);
    EXPECT_STREQ("abc", abc.Data());
    EXPECT_EQ(3, abc.Length());

    CountedString absent;
    EXPECT_EQ(-1, absent.Concat(nullptr).Length());
    CountedString x = absent.Concat("x");
    EXPECT_STREQ("x", x.Data());
    EXPECT_EQ(1, x.Length());
    EXPECT_EQ(-1, absent.Length());
    absent.Append("x");
    EXPECT_STREQ("x", absent.Data());
    EXPECT_EQ(1, absent.Length());
}

TEST(CountedString, ConcatKeepsEveryByteOfBothSides)
{
    // A root folder is a left side of one byte.
    struct Case
    {
        const char* left;
        const char* right;
        const char* joined;
    } cases[] = {
        {"/", "a.txt", "/a.txt"}, {"\\", "a.txt", "\\a.txt"}, {"C:\\", "a", "C:\\a"},
        {"", "a", "a"},           {"ab", "c", "abc"},
    };
    for (const Case& c : cases) {
        CountedString joined = CountedString(c.left).Concat(c.right);
        EXPECT_STREQ(c.joined, joined.Data()) << c.left;
        EXPECT_EQ(static_cast<int>(std::strlen(c.joined)), joined.Length()) << c.left;
    }
}

TEST(CountedString, EqualsIsByteExactAndCaseSensitive)
{
    CountedString s("ABC");
    EXPECT_TRUE(s.Equals("ABC"));
    EXPECT_FALSE(s.Equals("abc"));
    EXPECT_FALSE(s.Equals("AB"));
    EXPECT_FALSE(s.Equals("ABCD"));
    CountedString reserved(10);
    std::memcpy(reserved.Data(), "ABC", 3);
    EXPECT_TRUE(reserved.Equals("ABC"));
}

TEST(CountedString, CharAtAndLastCharAreWritable)
{
    CountedString s("path\\");
    *s.LastChar() = '\0';
    EXPECT_STREQ("path", s.Data());
    *s.CharAt(0) = 'b';
    EXPECT_STREQ("bath", s.Data());
}
