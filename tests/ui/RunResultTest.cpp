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
        {false, RefusalNewNameIsLog, "a.txt", 0, false,
         "名前を変更しませんでした: \"a.txt\" の新しい名前がログファイルの名前と同じです."},
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

} // namespace
