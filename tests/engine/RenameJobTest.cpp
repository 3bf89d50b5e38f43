#include "engine/RenameJob.h"

#include <gtest/gtest.h>

TEST(SplitPattern, CutsAtTheOneQuestionMark)
{
    struct Case
    {
        const char* pattern;
        const char* prefix;
        const char* suffix;
    } cases[] = {
        {"?", "", ""},
        {"", "", ""},
        {"img?", "img", ""},
        {"?_x", "", "_x"},
        {"a?b", "a", "b"},
        {"abc", "abc", ""},
        {"a?b?c", "", ""},
        {"??", "", ""},
        {"x?y?z", "", ""},
        {"?abc", "", "abc"},
        {"abc?", "abc", ""},
        {"ab?cd", "ab", "cd"},
        {"\x83\x5C?", "\x83\x5C", ""},
    };
    for (const Case& c : cases) {
        RenameJob job;
        job.SplitPattern(c.pattern);
        ASSERT_NE(nullptr, job.prefix.Data()) << c.pattern;
        ASSERT_NE(nullptr, job.suffix.Data()) << c.pattern;
        EXPECT_STREQ(c.prefix, job.prefix.Data()) << c.pattern;
        EXPECT_STREQ(c.suffix, job.suffix.Data()) << c.pattern;
        EXPECT_EQ(static_cast<int>(strlen(c.prefix)), job.prefix.Length()) << c.pattern;
    }
}

TEST(SplitPattern, LeavesTheCallersTextAndOtherFieldsAlone)
{
    RenameJob job;
    job.folder = "f";
    char pattern[] = "a?b";
    job.SplitPattern(pattern);
    EXPECT_STREQ("a?b", pattern);
    EXPECT_STREQ("f", job.folder.Data());
    EXPECT_EQ(-1, job.mask.Length());
}

TEST(RenameJob, StartsWithAbsentStringsAndPaddingOn)
{
    RenameJob job;
    EXPECT_EQ(-1, job.logPath.Length());
    EXPECT_EQ(-1, job.folder.Length());
    EXPECT_EQ(-1, job.prefix.Length());
    EXPECT_EQ(1, job.padDigits);
    EXPECT_EQ(0, job.startNumber);
    EXPECT_EQ(0, job.digitCount);
    EXPECT_EQ(0, job.order);
}

TEST(RenameJob, DigitCountMustLieBetweenOneAndTen)
{
    struct Case
    {
        uint32_t read;
        bool valid;
    } cases[] = {
        {0, false}, {1, true}, {3, true}, {10, true}, {11, false}, {2147483648u, false}, {4294967295u, false},
    };
    for (const Case& c : cases) {
        for (uint8_t pad : {uint8_t(0), uint8_t(1)}) {
            RenameJob job;
            job.padDigits = pad;
            job.digitCount = static_cast<int32_t>(c.read);
            EXPECT_EQ(c.valid, job.DigitCountValid()) << c.read << " pad " << int(pad);
        }
    }
}
