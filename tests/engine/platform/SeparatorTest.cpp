#include "engine/FileEntry.h"
#include "engine/platform/PathNames.h"
#include "tests/support/FaultyFileServices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Code page 932 with the backslash for a separator, as on the target systems.
class Cp932Services : public FaultyFileServices
{
public:
    Cp932Services() : FaultyFileServices(PlatformFileServices()) { UseCp932LeadBytes(); }

    char Separator() const override { return '\\'; }
};

}  // namespace

TEST(EndsWithSeparator, LooksAtTheLastWholeCharacter)
{
    Cp932Services fs;
    struct Case
    {
        const char* folder;
        const char* entryFolder;
    } cases[] = {
        {"C:\\photos", "C:\\photos\\"},
        {"C:\\photos\\", "C:\\photos\\"},
        {"C:\\", "C:\\"},
        // ソ (83 5C) and 表 (95 5C) end in the backslash's byte but are no separators.
        {"C:\\\x83\x5C", "C:\\\x83\x5C\\"},
        {"C:\\\x95\x5C", "C:\\\x95\x5C\\"},
        {"C:\\\x95\x5C\\", "C:\\\x95\x5C\\"},
        {"C:\\a\\\\", "C:\\a\\\\"},
    };
    for (const Case& c : cases) {
        FileEntry entry(c.folder, fs);
        EXPECT_STREQ(c.entryFolder, entry.folder.Data()) << c.folder;
    }
}

TEST(TrimPastedPath, TakesOffSpacesAndOnePairOfQuotes)
{
    struct Case
    {
        const char* typed;
        const char* used;
    } cases[] = {
        {"\"C:\\photos\\summer\"", "C:\\photos\\summer"},
        {"C:\\photos\\summer ", "C:\\photos\\summer"},
        {"  \" C:\\photos\\summer \"  ", "C:\\photos\\summer"},
        {"\"\"C:\\photos\"\"", "\"C:\\photos\""},
        {"\"C:\\photos", "\"C:\\photos"},
        {"\"", "\""},
        {"\"\"", ""},
        {"C:\\\x83\x5C", "C:\\\x83\x5C"},
        {"C:\\my photos", "C:\\my photos"},
    };
    for (const Case& c : cases) {
        CountedString path(c.typed);
        EXPECT_EQ(std::string(c.typed) != c.used, TrimPastedPath(path)) << c.typed;
        EXPECT_STREQ(c.used, path.Data()) << c.typed;
    }
}

TEST(IsFullPath, TakesADriveOrAShareFromTheTop)
{
    Cp932Services fs;
    const struct
    {
        const char* path;
        bool full;
    } cases[] = {
        {"C:\\photos", true},
        {"c:/photos", true},
        {"C:\\", true},
        {"\\\\server\\share", true},
        {"My plan", false},
        {"//server/share/photos", true},
        {"\\\\\x95\x5C\\share", true},
        {"C:photos", false},
        {"photos\\a", false},
        {"\\photos", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\\\share", false},
        {"1:\\photos", false},
        // 表 ends in the byte of a backslash: the server's name goes on after it.
        {"\\\\\x95\x5Cshare", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.full, IsFullPath(c.path, fs)) << c.path;
}
