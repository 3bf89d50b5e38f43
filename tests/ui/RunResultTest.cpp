#include "ui/RunResult.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ResultCase
{
    bool ran;
    RunRefusal refusal;
    const char* refusedName;
    int notRenamed;
    bool logComplete;
    const char* text;
};

TEST(RunResultTest, SaysWhatHappenedToTheFiles)
{
    const ResultCase cases[] = {
        {true, RefusalNone, "", 0, true, "Completed."},
        {true, RefusalNone, "", 0, false, "Completed, but the log could not be written."},
        {true, RefusalNone, "", 1, true, "1 file could not be renamed; the log has the details."},
        {true, RefusalNone, "", 3, true, "3 files could not be renamed; the log has the details."},
        {true, RefusalNone, "", 2, false, "2 files could not be renamed, and the log could not be written."},
        {false, RefusalNotStarted, "", 0, false, "Failed."},
        {false, RefusalListingFailed, "", 0, false,
         "Failed: the folder could not be read to its end. Nothing was renamed."},
        {false, RefusalNameTooLong, "long.txt", 0, false, "Nothing was renamed: the name of \"long.txt\" is too long."},
        {false, RefusalNewNameTooLong, "a.txt", 0, false,
         "Nothing was renamed: the new name of \"a.txt\" would be longer than 255 bytes."},
        {false, RefusalNumberTooLarge, "b%s.txt", 0, false,
         "Nothing was renamed: the number of \"b%s.txt\" would pass 2147483647."},
    };
    for (const ResultCase& c : cases) {
        RunOutcome outcome;
        outcome.refusal = c.refusal;
        std::strcpy(outcome.refusedName, c.refusedName);
        outcome.notRenamed = c.notRenamed;
        outcome.logComplete = c.logComplete;
        EXPECT_STREQ(c.text, RunResultText(c.ran, outcome).Data());
    }
}

struct StoppedCase
{
    int fileCount;
    int unreachable;
    int renamed;
    int leftTemporary;
    bool logComplete;
    const char* text;
};

TEST(RunResultTest, SaysHowAStoppedRunLeftTheFiles)
{
    const StoppedCase cases[] = {
        {10, 0, 4, 0, true, "中止しました. 新しい名前のファイル: 4, 元の名前のファイル: 6."},
        {10, 0, 0, 0, true, "中止しました. 新しい名前のファイル: 0, 元の名前のファイル: 10."},
        {10, 1, 4, 2, true,
         "中止しました. 新しい名前のファイル: 4, 元の名前のファイル: 5, 一時的な名前のままのファイル: 2 "
         "(ログを見てください)."},
        {3, 0, 3, 0, false, "中止しました. 新しい名前のファイル: 3, 元の名前のファイル: 0. ログを書き込めませんでした."},
    };
    for (const StoppedCase& c : cases) {
        RunOutcome outcome;
        outcome.stopped = true;
        outcome.fileCount = c.fileCount;
        outcome.unreachable = c.unreachable;
        outcome.renamed = c.renamed;
        outcome.leftTemporary = c.leftTemporary;
        outcome.notRenamed = c.fileCount + c.unreachable - c.renamed;
        outcome.logComplete = c.logComplete;
        EXPECT_STREQ(c.text, RunResultText(true, outcome).Data());
    }
}

} // namespace
