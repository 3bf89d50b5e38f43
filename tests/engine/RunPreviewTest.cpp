#include "engine/Ordering.h"
#include "engine/RunPreview.h"
#include "engine/SafeRename.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;

// Every call of the file services that could change something on disk, or the temporary
// name counter's probe, which the preview has no reason to make.
const FileCall kCallsThatTouch[] = {CallMove, CallCreateLog, CallWriteLog, CallExists, CallFolderExists};

RunPreview Preview(RunFixture& run)
{
    RunPreview preview;
    PreviewRun(run.job, run.fs, randomState, preview);
    return preview;
}

Names Rows(const RunPreview& preview)
{
    Names rows;
    for (int row = 0; row < preview.RowCount(); ++row)
        rows.push_back(Line(preview.CurrentName(row), preview.NewName(row)));
    return rows;
}

void ExpectNothingTouched(const RunFixture& run, const Names& before, const std::string& what)
{
    for (FileCall call : kCallsThatTouch)
        EXPECT_EQ(0, run.fs.Calls(call)) << what << ": call kind " << call;
    EXPECT_EQ(before, run.folder.Names()) << what;
    EXPECT_EQ("earlier log", run.Log()) << what;
}

// After the run every file (whose content is its name before the run) lies under the new
// name the preview gave it.
void ExpectRunFollowedThePreview(const RunFixture& run, const RunPreview& preview, const std::string& what)
{
    Names newNames;
    for (int row = 0; row < preview.RowCount(); ++row) {
        EXPECT_EQ(preview.CurrentName(row), run.folder.Read(preview.NewName(row))) << what << ": row " << row;
        newNames.push_back(preview.NewName(row));
    }
    std::sort(newNames.begin(), newNames.end());
    EXPECT_EQ(newNames, run.folder.Names()) << what;
}

TEST(RunPreview, ShowsWhatTheRunThenDoes)
{
    struct Case
    {
        const char* name;
        Names files;
        int32_t order;
        int32_t start;
        const char* pattern;
        Names rows;
        int kept;
    } cases[] = {
        {"the worked example", {"001.jpg", "002.jpg", "c.jpg"}, NameAscending, 2, "?",
         {Line("001.jpg", "002.jpg"), Line("002.jpg", "003.jpg"), Line("c.jpg", "004.jpg")}, 0},
        {"two files exchange their names", {"000.txt", "001.txt"}, NameDescending, 0, "?",
         {Line("001.txt", "000.txt"), Line("000.txt", "001.txt")}, 0},
        {"by extension", {"b.png", "a.txt", "c.jpg"}, ExtAscending, 0, "p?s",
         {Line("c.jpg", "p000s.jpg"), Line("b.png", "p001s.png"), Line("a.txt", "p002s.txt")}, 0},
        {"unsorted keeps the listing", {"b.txt", "a.txt"}, Unsorted, 5, "?",
         {Line("a.txt", "005.txt"), Line("b.txt", "006.txt")}, 0},
        {"names that stay", {"001.jpg", "x.jpg"}, NameAscending, 1, "?",
         {Line("001.jpg", "001.jpg"), Line("x.jpg", "002.jpg")}, 1},
    };
    for (const Case& c : cases) {
        RunFixture run;
        run.AddFiles(c.files);
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.order = c.order;
        run.job.startNumber = c.start;
        run.job.SplitPattern(c.pattern);
        Names before = run.folder.Names();

        RunPreview preview = Preview(run);

        EXPECT_EQ(RefusalNone, preview.outcome.refusal) << c.name;
        EXPECT_EQ(c.rows, Rows(preview)) << c.name;
        EXPECT_EQ(c.kept, preview.KeptCount()) << c.name;
        EXPECT_EQ(0, preview.LeftOutTotal()) << c.name;
        ExpectNothingTouched(run, before, c.name);
        ASSERT_TRUE(run.Run()) << c.name;
        ExpectRunFollowedThePreview(run, preview, c.name);
        int marked = 0;
        for (int row = 0; row < preview.RowCount(); ++row)
            marked += preview.KeepsName(row) ? 1 : 0;
        EXPECT_EQ(c.kept, marked) << c.name;
    }
}

TEST(RunPreview, StepLinesAreTheLogsStepFormat)
{
    RunFixture run;
    run.AddFiles({"b.txt", "a.txt"});
    EXPECT_EQ("a.txt\t->\t000.txt\r\nb.txt\t->\t001.txt\r\n", Preview(run).StepLines());
}

TEST(RunPreview, TheRandomOrderIsTheNextRunsAndStaysSo)
{
    RunFixture run;
    run.AddFiles({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"});
    run.job.order = Random;
    randomState = 12345;

    RunPreview first = Preview(run);
    RunPreview second = Preview(run);

    EXPECT_EQ(12345u, randomState);
    EXPECT_EQ(Rows(first), Rows(second));
    ASSERT_TRUE(run.Run());
    ExpectRunFollowedThePreview(run, first, "random order");
    EXPECT_NE(12345u, randomState);
    RunFixture sorted;
    sorted.AddFiles({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"});
    EXPECT_NE(Rows(Preview(sorted)), Rows(first)) << "the seed must actually shuffle";
}

TEST(RunPreview, ARefusedRunIsShownWithItsReason)
{
    struct Case
    {
        const char* name;
        const char* folder;  // null: the fixture's folder
        const char* mask;
        uint32_t start;
        std::string pattern;
        FileCall fault;
        RunRefusal refusal;
        const char* refusedName;
    } cases[] = {
        {"empty folder field", "", "*.*", 0, "?", CallKinds, RefusalNotStarted, ""},
        {"folder that cannot be searched", "missing", "*.*", 0, "?", CallKinds, RefusalNotStarted, ""},
        {"mask that matches nothing", nullptr, "*.png", 0, "?", CallKinds, RefusalNotStarted, ""},
        {"listing that breaks off", nullptr, "*.*", 0, "?", CallFindNext, RefusalListingFailed, ""},
        {"numbers pass the largest", nullptr, "*.*", 2147483647u, "?", CallKinds, RefusalNumberTooLarge, "b.txt"},
        {"new name too long", nullptr, "*.*", 0, std::string(250, 'p') + "?", CallKinds, RefusalNewNameTooLong,
         "a.txt"},
    };
    for (const Case& c : cases) {
        RunFixture run;
        run.AddFiles({"a.txt", "b.txt", "c.txt"});
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.order = NameAscending;
        run.job.mask = c.mask;
        if (c.folder)
            run.job.folder = c.folder[0] ? run.folder.PathOf(c.folder).c_str() : "";
        run.job.startNumber = static_cast<int32_t>(c.start);
        run.job.SplitPattern(c.pattern.c_str());
        if (c.fault != CallKinds)
            run.fs.Inject(c.fault, 1, FaultFail);
        Names before = run.folder.Names();

        RunPreview preview;
        EXPECT_FALSE(PreviewRun(run.job, run.fs, randomState, preview)) << c.name;

        EXPECT_EQ(c.refusal, preview.outcome.refusal) << c.name;
        EXPECT_STREQ(c.refusedName, preview.outcome.refusedName) << c.name;
        EXPECT_EQ(0, preview.RowCount()) << c.name;
        ExpectNothingTouched(run, before, c.name);
        if (c.fault != CallKinds)
            run.fs.Inject(c.fault, 2, FaultFail);
        EXPECT_FALSE(run.Run()) << c.name;
        EXPECT_EQ(c.refusal, run.outcome.refusal) << c.name;
        EXPECT_STREQ(c.refusedName, run.outcome.refusedName) << c.name;
    }
}

TEST(RunPreview, CountsWhatTheRunLeavesOut)
{
    RunFixture run;
    run.AddFiles({"a.txt", "u1.txt", "u2.txt", "long.txt"});
    run.folder.Write("log.txt", "earlier log");
    run.folder.MakeFolder("sub");
    run.job.logPath = run.folder.PathOf("log.txt").c_str();
    // A name of 256 bytes, as a double-byte code page can list one.
    run.fs.adjustFound = [](FoundFile& found) {
        found.unreachable = found.name[0] == 'u';
        if (std::strcmp(found.name, "long.txt") == 0)
            std::snprintf(found.name, sizeof found.name, "%s", std::string(256, 'l').c_str());
    };

    RunPreview preview = Preview(run);

    EXPECT_EQ(Names{Line("a.txt", "000.txt")}, Rows(preview));
    EXPECT_EQ(2, preview.LeftOut(LeftOutUnreachable));
    EXPECT_EQ(1, preview.LeftOut(LeftOutLog));
    EXPECT_EQ(1, preview.LeftOut(LeftOutTooLong));
    EXPECT_EQ(4, preview.LeftOutTotal());
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(preview.LeftOut(LeftOutUnreachable) + preview.LeftOut(LeftOutTooLong), run.outcome.unreachable);
    EXPECT_EQ(preview.RowCount(), run.outcome.fileCount);
}

#ifdef _WIN32
// The Windows search lists c.jpg_old for "*.jpg" by its short name C~1.JPG; the run leaves
// such files out, and the preview says so.
TEST(RunPreview, CountsTheFilesTheMaskTakesByTheirShortNameAlone)
{
    RunFixture run;
    run.AddFiles({"a.jpg", "c.jpg_old", "d.jpgx"});
    run.job.mask = "*.jpg";

    RunPreview preview = Preview(run);

    EXPECT_EQ(Names{Line("a.jpg", "000.jpg")}, Rows(preview));
    EXPECT_EQ(2, preview.LeftOut(LeftOutShortNameOnly));
    EXPECT_EQ(2, preview.LeftOutTotal());
}
#endif

}  // namespace
