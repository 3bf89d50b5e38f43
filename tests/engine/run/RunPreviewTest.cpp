#include "engine/RunProgress.h"
#include "engine/names/DateFields.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"
#include "engine/steps/TempNames.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TakenHeads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

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

// Each file left out as its name and its kind.
Names LeftOutFiles(const RunPreview& preview)
{
    Names files;
    for (int index = 0; index < preview.LeftOutTotal(); ++index)
        files.push_back(preview.LeftOutName(index) + std::string(" ") + std::to_string(preview.LeftOutKindOf(index)));
    return files;
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
        {"the worked example",
         {"001.jpg", "002.jpg", "c.jpg"},
         NameAscending,
         2,
         "?",
         {Line("001.jpg", "002.jpg"), Line("002.jpg", "003.jpg"), Line("c.jpg", "004.jpg")},
         0},
        {"two files exchange their names",
         {"000.txt", "001.txt"},
         NameDescending,
         0,
         "?",
         {Line("001.txt", "000.txt"), Line("000.txt", "001.txt")},
         0},
        {"by extension",
         {"b.png", "a.txt", "c.jpg"},
         ExtAscending,
         0,
         "p?s",
         {Line("c.jpg", "p000s.jpg"), Line("b.png", "p001s.png"), Line("a.txt", "p002s.txt")},
         0},
        {"unsorted keeps the listing",
         {"b.txt", "a.txt"},
         Unsorted,
         5,
         "?",
         {Line("a.txt", "005.txt"), Line("b.txt", "006.txt")},
         0},
        {"names that stay",
         {"001.jpg", "x.jpg"},
         NameAscending,
         1,
         "?",
         {Line("001.jpg", "001.jpg"), Line("x.jpg", "002.jpg")},
         1},
    };
    for (const Case& c : cases) {
        RunFixture run(c.files, c.order);
        run.elsewhere.Write(run.logName, "earlier log");
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

// Photos and a video with the dates their cameras wrote, a file without one, and last-write
// times of their own (seconds from 1970, UTC): 2000, 2005 (three), 2010, 2015 and 2020.
void AddDatedFiles(RunFixture& run)
{
    const TakenTags at10 = Tags("2019:05:01 10:00:00"), later = Tags("2019:05:01 10:00:00", "5");
    const TakenTags in2022 = Tags("2022:01:01 00:00:00"), tokyo = Tags("2021:03:01 12:00:00", "", "+09:00");
    // 2018-01-01 00:00:00 UTC, counted from 1904.
    const uint64_t video = 1514764800ULL + 2082844800ULL;
    struct File
    {
        const char* name;
        std::string content;
        int64_t written;
    } files[] = {
        {"img10.jpg", MakeTakenHead(HeadJpeg, at10, 0), 1117584000},
        {"img9.jpg", MakeTakenHead(HeadJpeg, later, 0), 1117584000},
        {"img2.jpg", MakeTakenHead(HeadJpeg, at10, 0), 946684800},
        {"clip.mp4", MakeTakenHead(HeadMp4, TakenTags(), video), 1262304000},
        {"late.png", MakeTakenHead(HeadPng, in2022, 0), 1420070400},
        {"note.txt", "no date", 1590969600},
        {"tokyo.jpg", MakeTakenHead(HeadJpeg, tokyo, 0), 1117584000},
    };
    for (const File& file : files) {
        run.folder.Write(file.name, file.content);
        run.folder.SetModifiedTime(file.name, file.written, 250000000);
    }
}

Names Order(const RunPreview& preview)
{
    Names names;
    for (int row = 0; row < preview.RowCount(); ++row)
        names.push_back(preview.CurrentName(row));
    return names;
}

TEST(RunPreview, DateAndNaturalOrdersShowWhatTheRunThenDoes)
{
    struct Case
    {
        int32_t order;
        Names files;
    } cases[] = {
        {TakenAscending, {"clip.mp4", "img2.jpg", "img10.jpg", "img9.jpg", "note.txt", "tokyo.jpg", "late.png"}},
        {TakenDescending, {"late.png", "tokyo.jpg", "note.txt", "img9.jpg", "img10.jpg", "img2.jpg", "clip.mp4"}},
        {ModifiedAscending, {"img2.jpg", "img9.jpg", "img10.jpg", "tokyo.jpg", "clip.mp4", "late.png", "note.txt"}},
        {ModifiedDescending, {"note.txt", "late.png", "clip.mp4", "tokyo.jpg", "img10.jpg", "img9.jpg", "img2.jpg"}},
        {NaturalAscending, {"clip.mp4", "img2.jpg", "img9.jpg", "img10.jpg", "late.png", "note.txt", "tokyo.jpg"}},
        {NaturalDescending, {"tokyo.jpg", "note.txt", "late.png", "img10.jpg", "img9.jpg", "img2.jpg", "clip.mp4"}},
    };
    FileServices& fs = PlatformFileServices();
    // Dates in the date-taken orders: as the camera wrote them, or turned to the local clock.
    const struct
    {
        const char* name;
        int64_t date;
        int32_t fraction;
    } taken[] = {{"img2.jpg", 1556704800, 0},
                 {"clip.mp4", fs.LocalClock(1514764800), 0},
                 {"tokyo.jpg", fs.LocalClock(1614567600), 0},
                 {"note.txt", fs.LocalClock(1590969600), 250000000},
                 {"img9.jpg", 1556704800, 500000000}};
    for (const Case& c : cases) {
        RunFixture run(c.order);
        AddDatedFiles(run);
        RunPreview preview = Preview(run);
        EXPECT_EQ(c.files, Order(preview)) << c.order;
        EXPECT_EQ(IsDateOrder(c.order), preview.HasDates()) << c.order;
        for (int row = 0; IsTakenOrder(c.order) && row < preview.RowCount(); ++row) {
            const std::string name = preview.CurrentName(row);
            EXPECT_EQ(name == "note.txt", preview.RowDateIsModified(row)) << c.order;
            for (const auto& dated : taken) {
                if (name == dated.name) {
                    EXPECT_EQ(dated.date, preview.RowDate(row)) << name;
                    EXPECT_EQ(dated.fraction, preview.RowDateNanoseconds(row)) << name;
                }
            }
        }
        for (int row = 0; IsDateOrder(c.order) && !IsTakenOrder(c.order) && row < preview.RowCount(); ++row)
            EXPECT_EQ(250000000, preview.RowDateNanoseconds(row)) << c.order;
        ASSERT_TRUE(run.Run()) << c.order;
        EXPECT_EQ(Rows(preview), run.LogLines()) << c.order;
    }
}

TEST(RunPreview, TheDateModifiedStandsInForADateTakenThatCannotBeRead)
{
    struct Case
    {
        const char* what;
        const char* offline;
        const char* failing;
        FileCall call;
        Names files;
    } cases[] = {
        // The placeholder's data is elsewhere: opening it would fetch it.
        {"placeholder",
         "img2.jpg",
         nullptr,
         CallKinds,
         {"img2.jpg", "clip.mp4", "img10.jpg", "img9.jpg", "note.txt", "tokyo.jpg", "late.png"}},
        {"file that cannot be opened",
         nullptr,
         "img9.jpg",
         CallOpenRead,
         {"img9.jpg", "clip.mp4", "img2.jpg", "img10.jpg", "note.txt", "tokyo.jpg", "late.png"}},
        {"reads that fail",
         nullptr,
         nullptr,
         CallReadAt,
         {"img2.jpg", "img9.jpg", "img10.jpg", "tokyo.jpg", "clip.mp4", "late.png", "note.txt"}},
    };
    for (const Case& c : cases) {
        RunFixture run(TakenAscending);
        AddDatedFiles(run);
        std::string offline = c.offline ? c.offline : "";
        run.fs.adjustFound = [&](FoundFile& found) { found.offline = offline == found.name; };
        std::string failing = c.failing ? run.folder.PathOf(c.failing) : "";
        run.fs.failWhen = [&](FileCall call, const char* first, const char*) {
            return call == c.call && (c.failing == nullptr || failing == first);
        };
        Names opened;
        run.fs.beforeCall = [&](FileCall call, int, const char* first, const char*) {
            if (call == CallOpenRead)
                opened.push_back(first);
        };
        RunPreview preview = Preview(run);
        EXPECT_EQ(c.files, Order(preview)) << c.what;
        EXPECT_TRUE(preview.RowDateIsModified(0)) << c.what;
        EXPECT_EQ(offline.empty() ? 7u : 6u, opened.size()) << c.what;
        if (c.offline) {
            EXPECT_EQ(opened.end(), std::find(opened.begin(), opened.end(), run.folder.PathOf(c.offline)));
        }
    }
}

// Stopped while the dates are read, neither a run nor a preview goes on.
class StopReading : public RunProgress
{
public:
    explicit StopReading(int at) : at(at) {}
    bool Continue(const WalkProgress&) override { return true; }
    bool ContinueReading(int filesRead, int fileCount) override
    {
        EXPECT_EQ(7, fileCount);
        return filesRead < at;
    }

private:
    int at;
};

TEST(RunPreview, AStopWhileDatesAreReadEndsBeforeAnyMoveOrLog)
{
    for (int32_t order : {TakenAscending, ModifiedDescending}) {
        for (int at : {0, 3}) {
            RunFixture run(order);
            AddDatedFiles(run);
            run.elsewhere.Write(run.logName, "earlier log");
            StopReading stop(at);
            Names before = run.folder.Names();
            RunPreview preview;
            EXPECT_FALSE(PreviewRun(run.job, run.fs, randomState, preview, &stop));
            EXPECT_EQ(RefusalStopped, preview.outcome.refusal);
            EXPECT_EQ(0, preview.RowCount());
            ExpectNothingTouched(run, before, "preview stopped at " + std::to_string(at));
            run.progress = &stop;
            EXPECT_FALSE(run.Run());
            EXPECT_EQ(RefusalStopped, run.outcome.refusal);
            EXPECT_TRUE(run.outcome.stopped);
            EXPECT_EQ(0, run.fs.Calls(CallMove) + run.fs.Calls(CallCreateLog));
            EXPECT_EQ(before, run.folder.Names());
            EXPECT_EQ("earlier log", run.Log());
        }
    }
}

TEST(FormatOrderDate, CivilDatesOfLocalSeconds)
{
    struct Case
    {
        int64_t seconds;
        const char* text;
        int32_t nanoseconds = 0;
    } cases[] = {
        {0, "1970/01/01 00:00:00"},
        {1556704800, "2019/05/01 10:00:00"},
        {951782400 + 86399, "2000/02/29 23:59:59"},
        {-1, "1969/12/31 23:59:59"},
        {-11644473600LL, "1601/01/01 00:00:00"},
        {253402300799LL + 1000, "9999/12/31 23:59:59"},
        {INT64_MIN, "0000/01/01 00:00:00"},
        {1556704800, "2019/05/01 10:00:00.5", 500000000},
        {-1, "1969/12/31 23:59:59.000000001", 1},
        {0, "1970/01/01 00:00:00.123456", 123456000},
        {INT64_MIN, "0000/01/01 00:00:00", 500000000},
    };
    for (const Case& c : cases) {
        char text[kOrderDateSize];
        FormatOrderDate(c.seconds, c.nanoseconds, text);
        EXPECT_STREQ(c.text, text) << c.seconds;
    }
}

TEST(RunPreview, StepLinesAreTheLogsStepFormat)
{
    RunFixture run({"b.txt", "a.txt"});
    EXPECT_EQ("a.txt\t->\t000.txt\r\nb.txt\t->\t001.txt\r\n", Preview(run).StepLines());
}

TEST(RunPreview, TheRandomOrderIsTheNextRunsAndStaysSo)
{
    RunFixture run({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"}, Random);
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
    const std::string kLongFolder(33000, 'd');
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
        {"empty folder field", "", "*.*", 0, "?", CallKinds, RefusalFolderEmpty, ""},
        {"folder that does not exist", "missing", "*.*", 0, "?", CallKinds, RefusalFolderMissing, ""},
        {"folder that is a file", "a.txt", "*.*", 0, "?", CallKinds, RefusalFolderNotSearchable, ""},
        {"folder path too long", kLongFolder.c_str(), "*.*", 0, "?", CallKinds, RefusalFolderPathTooLong, ""},
        {"mask that matches nothing", nullptr, "*.png", 0, "?", CallKinds, RefusalNothingMatches, ""},
        {"masks joined by a semicolon", nullptr, "*.png;*.jpg", 0, "?", CallKinds, RefusalMaskHoldsSemicolon, ""},
        {"listing that breaks off", nullptr, "*.*", 0, "?", CallFindNext, RefusalListingFailed, ""},
        {"numbers pass the largest", nullptr, "*.*", 2147483647u, "?", CallKinds, RefusalNumberTooLarge, "b.txt"},
        {"new name too long", nullptr, "*.*", 0, std::string(250, 'p') + "?", CallKinds, RefusalNewNameTooLong,
         "a.txt"},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt", "c.txt"}, NameAscending);
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.mask = c.mask;
#ifndef _WIN32
        run.fs.UseWindowsPathLimit();
#endif
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
    RunFixture run({"a.txt", "u1.txt", "u2.txt", "long.txt", "path.txt", "desktop.ini", "h.txt"});
    run.folder.Write("log.txt", "earlier log");
    run.folder.MakeFolder("sub");
    run.folder.SetHidden("desktop.ini", true);
    run.folder.SetHidden("h.txt");
    run.job.logPath = run.folder.PathOf("log.txt").c_str();
    // A name of 256 bytes, as a double-byte code page can list one; a name of 250 bytes,
    // which paths held to 259 characters cannot reach in this folder (nor in any but a root's).
    run.fs.UseWindowsPathLimit();
    run.fs.adjustFound = [](FoundFile& found) {
        found.unreachable = found.name[0] == 'u';
#ifndef _WIN32
        found.hiddenSystem = std::strcmp(found.name, "desktop.ini") == 0;
#endif
        if (std::strcmp(found.name, "long.txt") == 0)
            std::snprintf(found.name, sizeof found.name, "%s", std::string(256, 'l').c_str());
        if (std::strcmp(found.name, "path.txt") == 0) {
            std::snprintf(found.name, sizeof found.name, "%s", std::string(250, 'p').c_str());
            found.unreachable = true;
        }
    };

    RunPreview preview = Preview(run);

    EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("h.txt", "001.txt")}), Rows(preview));
    EXPECT_EQ(2, preview.LeftOut(LeftOutUnreachable));
    EXPECT_EQ(1, preview.LeftOut(LeftOutLog));
    EXPECT_EQ(1, preview.LeftOut(LeftOutTooLong));
    EXPECT_EQ(1, preview.LeftOut(LeftOutHiddenSystem));
    EXPECT_EQ(1, preview.LeftOut(LeftOutPathTooLong));
    EXPECT_EQ(6, preview.LeftOutTotal());
    const Names leftOut = {"desktop.ini 4", "log.txt 1", std::string(256, 'l') + " 2", std::string(250, 'p') + " 5",
                           "u1.txt 0",      "u2.txt 0"};
    EXPECT_EQ(leftOut, LeftOutFiles(preview));
    ASSERT_TRUE(run.Run());
    for (int kind = 0; kind < LeftOutKindCount; ++kind)
        EXPECT_EQ(preview.LeftOut(static_cast<LeftOutKind>(kind)), run.outcome.leftOut[kind]) << kind;
    EXPECT_EQ(preview.LeftOut(LeftOutUnreachable) + preview.LeftOut(LeftOutTooLong) +
                  preview.LeftOut(LeftOutPathTooLong),
              run.outcome.unreachable);
    const Names lines = run.LogLines();
    const std::string pathTooLong =
        Line(std::string(250, 'p'), std::string(250, 'p')) + "\tpath too long, file left as it was";
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), pathTooLong));
    EXPECT_EQ(preview.RowCount(), run.outcome.fileCount);
    EXPECT_TRUE(run.folder.Exists("desktop.ini"));
    EXPECT_EQ(std::string::npos, run.Log().find("desktop.ini"));
}

#ifdef _WIN32
// The Windows search lists c.jpg_old for "*.jpg" by its short name C~1.JPG; the run leaves
// such files out, and the preview says so.
TEST(RunPreview, CountsTheFilesTheMaskTakesByTheirShortNameAlone)
{
    RunFixture run({"a.jpg", "c.jpg_old", "d.jpgx"});
    run.job.mask = "*.jpg";

    RunPreview preview = Preview(run);

    EXPECT_EQ(Names{Line("a.jpg", "000.jpg")}, Rows(preview));
    EXPECT_EQ(2, preview.LeftOut(LeftOutShortNameOnly));
    EXPECT_EQ(2, preview.LeftOutTotal());
    EXPECT_EQ((Names{"c.jpg_old 3", "d.jpgx 3"}), LeftOutFiles(preview));
}
#endif

}  // namespace
