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
        {false, RefusalNewNameTooLong, "a.txt", 0, false,
         "Nothing was renamed: the new name of \"a.txt\" would be longer than 255 bytes."},
        {false, RefusalNumberTooLarge, "b%s.txt", 0, false,
         "Nothing was renamed: the number of \"b%s.txt\" would pass 2147483647."},
        {false, RefusalForbiddenCharacter, "a.txt", 0, false,
         "名前を変更しませんでした: \"a.txt\" の新しい名前に、名前に使えない文字 "
         "(\\ / : * ? \" < > | または制御文字) が入ります。"},
        {false, RefusalEndsInDotOrSpace, "readme", 0, false,
         "名前を変更しませんでした: \"readme\" の新しい名前がピリオドか空白で終わります。"
         "Windows はこれを取り除き、別の名前にしてしまいます。"},
        {false, RefusalDeviceName, "a.txt", 0, false,
         "名前を変更しませんでした: \"a.txt\" の新しい名前が CON や COM1 のような装置名になります。"},
        {false, RefusalMaskHoldsSeparator, "", 0, false,
         "名前を変更しませんでした: マスクにフォルダーの区切り (\\ または /) が入っています。"},
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
