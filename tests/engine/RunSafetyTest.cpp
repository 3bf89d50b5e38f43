// Whole runs over folders that once made a run touch what it must not: each case here was
// found by the randomized run tester (tests/stress) and stays as a fixed regression test.
#include "engine/Ordering.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;

}  // namespace

TEST(RunSafety, AnExistingLogIsLeftOutWhateverBytesItsNameHolds)
{
    struct Case { const char* name; std::string logName; } cases[] = {
        // ソ ends in the byte of a backslash, which is no separator inside the character.
        {"double-byte character", "\x83\x5C.txt"},
#ifndef _WIN32
        // A backslash is an ordinary byte of a name here.
        {"backslash", "a\\b.txt"},
#endif
    };
    for (const Case& c : cases) {
        RunFixture run;
        run.AddFiles({"a.txt", "b.txt"});
        run.folder.Write(c.logName, "earlier log");
        run.job.logPath = run.folder.PathOf(c.logName).c_str();
        run.job.order = NameAscending;
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt", c.logName}), run.folder.Names()) << c.name;
        EXPECT_EQ(2, run.outcome.fileCount) << c.name;
        EXPECT_TRUE(run.outcome.logComplete) << c.name;
        EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("b.txt", "001.txt")}), run.LogLines()) << c.name;
    }
}

TEST(RunSafety, APatternHoldingASeparatorMovesNoFileOutOfTheFolder)
{
    const std::string separator(1, TempFolder::Separator());
    struct Case { const char* name; std::string pattern; } cases[] = {
        {"into a sub-folder", "sub" + separator + "?"},
        {"into the parent", ".." + separator + "?"},
        {"forward slash", "sub/?"},
    };
    for (const Case& c : cases) {
        RunFixture run;
        run.AddFiles({"a.txt", "b.txt"});
        run.folder.MakeFolder("sub");
        run.job.SplitPattern(c.pattern.c_str());
        run.job.order = NameAscending;
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ((Names{"a.txt", "b.txt", "sub"}), run.folder.Names()) << c.name;
        EXPECT_EQ(2, run.outcome.notRenamed) << c.name;
        std::string moved = c.pattern.substr(0, c.pattern.size() - 1);
        EXPECT_EQ((Names{Line("a.txt", moved + "000.txt") + "\tnew name is not a plain file name",
                         Line("b.txt", moved + "001.txt") + "\tnew name is not a plain file name"}),
                  run.LogLines())
            << c.name;
    }
}
