#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/platform/NameParts.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct SplitCase
{
    const char* name;
    const char* stem;
    const char* ext;
};

void ExpectSplits(const SplitCase* cases, size_t count, const FileServices& fs)
{
    for (size_t i = 0; i < count; ++i) {
        char stem[kNameSize] = "junk";
        char ext[kNameSize] = "junk";
        SplitFileName(cases[i].name, stem, ext, fs);
        EXPECT_STREQ(cases[i].stem, stem) << cases[i].name;
        EXPECT_STREQ(cases[i].ext, ext) << cases[i].name;
    }
}

}  // namespace

TEST(SplitFileName, ExtensionRunsFromTheLastDot)
{
    const SplitCase cases[] = {
        {"a.jpg", "a", ".jpg"},
        {"x.tar.gz", "x.tar", ".gz"},
        {"README", "README", ""},
        {".profile", "", ".profile"},
        {"a.", "a", "."},
        {"", "", ""},
        {"C:\\dir.x\\file", "file", ""},
        {"dir/sub.d/f.txt", "f", ".txt"},
        {"c:name.ext", "name", ".ext"},
        {"b.JPG", "b", ".JPG"},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0], PlatformFileServices());
}

TEST(SplitFileName, SecondBytesOfDoubleByteCharactersAreNeverSeparators)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    const SplitCase cases[] = {
        // ソ is 83 5C and 表 is 95 5C: their second bytes are not backslashes.
        {"a.\x83\x5C", "a", ".\x83\x5C"},
        {"\x95\x5C.txt", "\x95\x5C", ".txt"},
        {"\x95\x5C\x83\x5C", "\x95\x5C\x83\x5C", ""},
        {"x\\\x83\x5C.a", "\x83\x5C", ".a"},
        // A lead byte at the very end has no partner to take along.
        {"ab.c\x83", "ab", ".c\x83"},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0], cp932);
}

TEST(SplitFileName, PartsAreCutTo255BytesWithoutSplittingACharacter)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    std::string single = "." + std::string(300, 'e');
    std::string doubled = "." + std::string(253, 'e') + "\x83\x41" + "tail";
    struct Case
    {
        std::string name;
        size_t extLength;
    } cases[] = {{single, 255}, {doubled, 254}};
    for (const Case& c : cases) {
        char ext[kNameSize];
        SplitFileName(c.name.c_str(), nullptr, ext, cp932);
        EXPECT_EQ(c.extLength, std::strlen(ext));
    }
}

TEST(FormNewName, PrefixNumberSuffixAndOwnExtension)
{
    struct Case
    {
        const char* pattern;
        bool pad;
        int digits;
        int32_t number;
        const char* name;
        const char* expected;
    } cases[] = {
        {"?", true, 3, 0, "b.JPG", "000.JPG"},
        {"?", true, 3, 1, "a.txt", "001.txt"},
        {"?", false, 3, 7, "b.JPG", "7.JPG"},
        {"?", false, 3, 8, "a.txt", "8.txt"},
        {"?", true, 1, 7, "a.txt", "7.txt"},
        {"?", true, 3, 1000, "a.txt", "1000.txt"},
        {"?", true, 10, 5, "a.txt", "0000000005.txt"},
        {"x?", true, 3, 0, "archive.tar.gz", "x000.gz"},
        {"p?s", true, 3, 4, "README", "p004s"},
        {"?", true, 3, 2, ".profile", "002.profile"},
        {"?.bak", true, 3, 1, "a.txt", "001.bak.txt"},
        {"img?", true, 3, 7, "a.jpg", "img007.jpg"},
        {"?_x", true, 3, 7, "a.jpg", "007_x.jpg"},
        {"a?b", true, 3, 7, "a.jpg", "a007b.jpg"},
        {"abc", true, 3, 7, "a.jpg", "abc007.jpg"},
        {"a?b?c", true, 3, 7, "a.jpg", "007.jpg"},
        {"?", false, 3, 2147483647, "a", "2147483647"},
        {"?", false, 3, -2147483647 - 1, "a", "-2147483648"},
        {"?", false, 3, -1, "a", "-1"},
        {"%s%d", true, 3, 1, "a.%s", "%s%d001.%s"},
    };
    FileServices& fs = PlatformFileServices();
    for (const Case& c : cases) {
        RenameJob job;
        job.SplitPattern(c.pattern);
        job.padDigits = c.pad ? 1 : 0;
        job.digitCount = c.digits;
        std::unique_ptr<FileEntry> entry = MakeEntry("f", c.name, fs);
        ASSERT_TRUE(entry->FormNewName(job, c.number, fs)) << c.name;
        EXPECT_STREQ(c.expected, entry->newName) << c.pattern << " " << c.number << " " << c.name;
    }
}

TEST(FormNewName, ExtensionWithA5CSecondByteStaysWhole)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    RenameJob job;
    job.SplitPattern("?");
    job.digitCount = 3;
    std::unique_ptr<FileEntry> entry = MakeEntry("f", "a.\x95\x5C", cp932);
    ASSERT_TRUE(entry->FormNewName(job, 3, cp932));
    EXPECT_STREQ("003.\x95\x5C", entry->newName);
}

TEST(FormNewName, RefusesANameLongerThan255Bytes)
{
    FileServices& fs = PlatformFileServices();
    struct Case
    {
        size_t prefixLength;
        const char* name;
        bool fits;
    } cases[] = {
        {248, "a.txt", true},    // 248 + 3 + 4 = 255
        {249, "a.txt", false},   // 256
        {2000, "a.txt", false},  // longer than one formatted print can hold
    };
    for (const Case& c : cases) {
        RenameJob job;
        job.SplitPattern((std::string(c.prefixLength, 'p') + "?").c_str());
        job.digitCount = 3;
        std::unique_ptr<FileEntry> entry = MakeEntry("f", c.name, fs);
        entry->newName[0] = '\0';
        EXPECT_EQ(c.fits, entry->FormNewName(job, 1, fs)) << c.prefixLength;
        if (c.fits)
            EXPECT_EQ(255u, std::strlen(entry->newName));
        else
            EXPECT_STREQ("", entry->newName);
    }
}
