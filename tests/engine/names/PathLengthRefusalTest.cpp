// Runs in folders so deep that the longest paths of the run come near the length the file
// calls take, the services held to the short form's (MAX_PATH less its NUL: 259 characters)
// so that the folders stay small.
#include "engine/order/Ordering.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <string>
#include <vector>

namespace {

const int kLongestPath = 259;
// "~ren0002.tmp", the widest temporary name a run of two files numbers from 0.
const int kWidestTemp = 12;
// A folder that leaves 18 characters for a name.
const int kDeep = kLongestPath - 18;
// あ: two bytes, one character.
const std::string kWide = "\x82\xA0";

// Characters of code page 932 text.
int Characters(const std::string& text)
{
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i, ++count) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            ++i;
    }
    return count;
}

// A name whose folder path, typed with its final separator, has exactly that many
// characters; it starts with the given text.
std::string DeepFolderName(const TempFolder& base, int characters, const std::string& start)
{
    return start + std::string(static_cast<size_t>(characters - Characters(base.Slash()) - Characters(start) - 1), 'd');
}

}  // namespace

TEST(PathReach, ARunWhoseNewNamesWouldReachTheLimitIsRefusedBeforeAnyMove)
{
    struct Case
    {
        const char* name;
        // Characters of the folder with its final separator.
        int folder;
        std::string folderStart;
        std::string prefix;
        bool refused;
        // Typed relative to the current folder; its full path has the given length.
        bool relative = false;
        // The refusal names the temporary name rather than a file's.
        bool tempName = false;
    } cases[] = {
        // Every new name "<prefix>000.txt"..., seven characters besides the prefix.
        {"new names one character past", kDeep, "", std::string(12, 'p'), true},
        {"new names just fit", kDeep, "", std::string(11, 'p'), false},
        {"double-byte characters count once", kDeep, kWide + kWide,
         kWide + kWide + kWide + kWide + kWide + std::string(6, 'p'), false},
        {"double-byte characters past", kDeep, kWide + kWide,
         kWide + kWide + kWide + kWide + kWide + std::string(7, 'p'), true},
        {"the widest temporary name just fits", kLongestPath - kWidestTemp, "", "", false},
        {"the widest temporary name past", kLongestPath - kWidestTemp + 1, "", "", true, false, true},
#ifdef _WIN32
        {"relative folder, new names past", kDeep, "", std::string(12, 'p'), true, true},
#endif
    };
    const std::string separator(1, TempFolder::Separator());
    for (const Case& c : cases) {
        RunFixture run(NameAscending);
        run.fs.UseWindowsPathLimit();
        run.fs.UseCp932LeadBytes();
        std::string deep = DeepFolderName(run.folder, c.folder, c.folderStart);
        ASSERT_TRUE(run.folder.MakeFolder(deep)) << c.name;
        for (const char* name : {"b.txt", "a.txt"})
            ASSERT_TRUE(run.folder.Write(deep + separator + name, name)) << c.name;
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.folder = c.relative ? deep.c_str() : run.folder.PathOf(deep).c_str();
        run.job.SplitPattern((c.prefix + "?").c_str());

        Names expected = {"a.txt", "b.txt"};
        if (c.refused) {
#ifdef _WIN32
            char current[MAX_PATH];
            GetCurrentDirectoryA(MAX_PATH, current);
            SetCurrentDirectoryA(run.folder.Path().c_str());
            EXPECT_FALSE(run.Run()) << c.name;
            SetCurrentDirectoryA(current);
#else
            EXPECT_FALSE(run.Run()) << c.name;
#endif
            EXPECT_EQ(c.tempName ? RefusalTempPathTooLong : RefusalPathTooLong, run.outcome.refusal) << c.name;
            EXPECT_STREQ(c.tempName ? "~ren0002.tmp" : "a.txt", run.outcome.refusedName) << c.name;
            EXPECT_EQ("earlier log", run.Log()) << c.name;
        } else {
            ASSERT_TRUE(run.Run()) << c.name;
            EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
            EXPECT_EQ(kLongestPath, Characters(run.folder.PathOf(
                                        deep + separator + (c.prefix.empty() ? "~ren0002.tmp" : c.prefix + "001.txt"))))
                << c.name;
            expected = {c.prefix + "000.txt", c.prefix + "001.txt"};
        }
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(i == 0 ? "a.txt" : "b.txt", run.folder.Read(deep + separator + expected[i])) << c.name;
        EXPECT_EQ(0, run.list.Count()) << c.name;
    }
}
