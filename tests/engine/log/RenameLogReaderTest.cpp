#include "engine/log/LogFormat.h"
#include "engine/log/RenameLogReader.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct LogBytes
{
    const char* name;
    std::string bytes;
    bool renameLog;
};

// ソ and 表 end in the byte of a backslash.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";
// The top of a full path.
const std::string kRoot = TempFolder::Separator() == '/' ? "/" : "C:\\";

bool ReadsAsLog(const std::string& bytes, bool oneByteAtATime)
{
    RenameLogParser parser(PlatformFileServices());
    for (size_t at = 0; at < bytes.size(); at += oneByteAtATime ? 1 : bytes.size())
        parser.Feed(bytes.data() + at, oneByteAtATime ? 1 : bytes.size());
    return parser.IsRenameLog();
}

TEST(RenameLogReader, TellsRenameLogsFromOtherFiles)
{
    const std::string d = kRoot + "photos" + TempFolder::Separator() + "\r\n";
    const std::string step = "a.txt\t->\t000.txt\r\n", undo = "\r\n" + d + "000.txt\t->\ta.txt\r\n";
    const std::string done = std::string(kUndoFinishedLine) + "\r\n", ran = std::string(kRunFinishedLine) + "\r\n";
    // The folder as typed without a final separator, as every earlier version wrote it too.
    const std::string typed = kRoot + "photos\r\n";
    const LogBytes cases[] = {
        {"empty file", "", true},
        {"folder line alone, as a run that found no file leaves it", d, false},
        {"folder line without its separator, steps and an undo",
         typed + step + "\r\n" + typed + "000.txt\t->\ta.txt\r\n" + done, true},
        {"steps", d + step + "b.txt\t->\t~ren0000.tmp\r\n", true},
        {"double-byte names", d + kSo + ".txt\t->\t" + kHyo + "000.txt\r\n", true},
        {"failed steps", d + "a.txt\t->\t000.txt\tnew name taken\r\nb.txt\t->\tb.txt\tmove failed (error 5)\r\n", true},
        {"a reason no run writes", d + step + "b.txt\t->\tc.txt\twidget sold\r\n", false},
        {"a reason no run writes, cut short", d + step + "b.txt\t->\tc.txt\twidget", false},
        {"a reason with an error no print writes", d + step + "b.txt\t->\tc.txt\tmove failed (error x)\r\n", false},
        {"first step line cut short", d + "a.txt\t->\t00", false},
        {"... and ended", d + "milk\t\r\n", false},
        {"a list of stock", "Inventory\r\nwidget\t-\r\n", false},
        {"a list", "Shopping\r\nmilk\t\r\n", false},
        {"a first line that is no full path", "My plan\r\n" + step, false},
        {"a folder typed without its top", std::string("photos") + TempFolder::Separator() + "\r\n" + step, false},
        {"cut short between CR and LF", d + "a.txt\t->\t000.txt\r", true},
        {"first line cut short", "C:\\photos", false},
        {"first line holds a TAB", "name\tsize\r\n" + step, false},
        {"TSV file", "a.txt\t12\r\nb.txt\t34\r\n", false},
        {"arrow with spaces", d + "a.txt -> 000.txt\r\n", false},
        {"arrow line, then text", d + step + "remember the milk\r\n", false},
        {"LF line ends", "d/\na.txt\t->\t000.txt\n", false},
        {"LF after the first line", d + "a.txt\t->\t000.txt\n", false},
        {"empty first line", "\r\n" + step, false},
        {"empty old name", d + "\t->\t000.txt\r\n", false},
        {"line cut short before its new name, ended", d + step + "b.txt\t->\t\r\n", true},
        {"line cut short after its new name, ended", d + step + "b.txt\t->\t000.txt\t\r\n", true},
        {"five parts", d + "a\t->\tb\tc\td\r\n", false},
        {"other arrow", d + "a.txt\t=>\t000.txt\r\n", false},
        {"cut short in another arrow", d + "a.txt\t=", false},
        {"control byte in a name", d + "a\x01.txt\t->\t000.txt\r\n", false},
        {"NUL byte, then a line", d + step + std::string(1, '\0') + step, false},
        {"ends in NUL bytes", d + step + std::string(3, '\0'), true},
        {"NUL bytes where a folder line alone ends", d + std::string(2, '\0'), false},
        {"CR inside a line", d + "a.txt\r\t->\t000.txt\r\n", false},
        {"longest formatted line",
         d + std::string(kStepLineSize - 1 - 6 - 8, 'a') + "\t->\t" + std::string(8, 'b') + "\r\n", true},
        {"a line one byte longer",
         d + std::string(kStepLineSize - 6 - 8, 'a') + "\t->\t" + std::string(8, 'b') + "\r\n", false},
        {"line cut short and ended, then a step", d + "a\t-\r\n" + step, false},
        {"undo section of another folder", d + step + "\r\nC:\\other\\\r\n000.txt\t->\ta.txt\r\n", false},
        {"undo section with no line, then another", d + step + "\r\n" + d + undo, false},
        {"a step after the finishing line", d + step + undo + done + step, false},
        {"a finishing line in the run's section", d + step + done, false},
        {"a record of a run that went through, taken back", d + step + ran + undo + done, true},
        {"a run's end with no whole step before it", d + ran, false},
        {"a step after the run's end", d + step + ran + step, false},
        {"a run's end in an undo's section", d + step + undo + ran, false},
        // What a text editor saves.
        {"one line", "shopping\r\n", false},
        {"one line without its end", "shopping", false},
        {"paragraphs", "Dear Sir,\r\n\r\nThe photos.\r\n\r\nRegards\r\n", false},
        {"paragraphs without a final line end", "Dear Sir,\r\n\r\nThe photos.\r\n\r\nRegards", false},
        {"a folder, then free text", d + "remember the milk\r\n", false},
        {"a folder, then free text without its end", d + "remember the milk", false},
        {"a folder, then paragraphs", d + "\r\nnotes\r\n", false},
        {"a folder, an empty line and the folder again", d + "\r\n" + d, false},
        {"double-byte line", kSo + kHyo + "\r\n", false},
        {"double-byte line without its end", kSo + kHyo, false},
        {"double-byte paragraphs", kHyo + "\r\n\r\n" + kSo + "\r\n", false},
        {"double-byte paragraphs without a final line end", kHyo + "\r\n\r\n" + kSo, false},
        {"a double-byte folder, then free text", kRoot + kHyo + "\r\n" + kSo + "\r\n", false},
        {"a log of a folder ending in a double-byte character", kRoot + kHyo + "\r\n" + step, true},
    };
    for (const LogBytes& c : cases) {
        EXPECT_EQ(c.renameLog, ReadsAsLog(c.bytes, false)) << c.name;
        EXPECT_EQ(c.renameLog, ReadsAsLog(c.bytes, true)) << c.name << ", one byte at a time";
    }
    // Every log this program writes, cut anywhere after its first step line, and NUL bytes
    // after the cut, as a power cut leaves them.
    const std::string cutLine = d + step + "b.txt\t->\t0";
    const std::string logs[] = {
        d + step + "b.txt\t->\tb.txt\tmove failed (error 5)\r\n" + kSo + "\t->\t~ren0000.tmp\r\n",
        d + step + undo + done,
        d + step + undo + done + undo + "b.txt\t->\tc.txt\r\n",
        cutLine + "\t\r\n" + undo,
        d + step + "a\t-\r\n" + undo + done,
        d + step + undo + "\r\n" + d + "a.txt\t->\t000.txt\r\n" + done,
        typed + step + "\r\n" + typed + "000.txt\t->\ta.txt\r\n" + done,
        d + step + ran + undo + done,
    };
    for (const std::string& log : logs) {
        for (size_t cut = log.find('\r', log.find('\t')) + 1; cut <= log.size(); ++cut) {
            EXPECT_TRUE(ReadsAsLog(log.substr(0, cut), false)) << log.substr(0, cut);
            EXPECT_TRUE(ReadsAsLog(log.substr(0, cut) + std::string(2, '\0'), true)) << log.substr(0, cut);
        }
    }
}

// Written out once, not taken from the table they check: logs already written hold these bytes.
TEST(RenameLogReader, FailureTextsAreTheBytesEarlierLogsHold)
{
    const char* const texts[] = {
        nullptr,
        "move failed",
        "new name taken",
        "no free temporary name",
        "file no longer under this name, another file is",
        "original name taken, file left under its temporary name",
        "move failed, file left under its temporary name",
        "new and original names taken, file left under its temporary name",
        "name not representable, file left as it was",
        "name longer than 255 bytes, file left as it was",
        "path too long, file left as it was",
        "file not where the log says, left alone",
        "skipped, a later step of this file was not taken back",
        "no line of the log names this file, left alone",
        "not moved after all",
    };
    static_assert(sizeof texts / sizeof texts[0] == StepFailureCount, "one text for every failure");
    for (int failure = 0; failure < StepFailureCount; ++failure)
        EXPECT_STREQ(texts[failure], StepFailureText(static_cast<StepFailure>(failure))) << failure;
}

TEST(RenameLogReader, HandsBackTheFolderAndTheStepsInOrder)
{
    const std::string bytes = kRoot + kSo + "\r\n" + kSo + ".txt\t->\t~ren0000.tmp\r\n" +
                              "b.txt\t->\tb.txt\tmove failed (error 5)\r\n~ren0000.tmp\t->\t000.txt\r\nc.tx";
    std::vector<LoggedStep> steps;
    RenameLogParser parser(PlatformFileServices(), &steps);
    parser.Feed(bytes.data(), bytes.size());

    EXPECT_TRUE(parser.IsRenameLog());
    EXPECT_EQ(kRoot + kSo, parser.Folder());
    EXPECT_TRUE(parser.CutShort());
    ASSERT_EQ(3u, steps.size());
    EXPECT_EQ(kSo + ".txt", steps[0].from);
    EXPECT_EQ("~ren0000.tmp", steps[0].to);
    EXPECT_FALSE(steps[0].Failed());
    EXPECT_EQ("b.txt", steps[1].from);
    EXPECT_EQ("b.txt", steps[1].to);
    EXPECT_EQ("move failed (error 5)", steps[1].failure);
    EXPECT_TRUE(steps[1].Failed());
    EXPECT_EQ("~ren0000.tmp", steps[2].from);
    EXPECT_EQ("000.txt", steps[2].to);
}

// What an undo takes back: the last act, or, when that is an undo not finished, the act
// before it too; and what ends the file first.
TEST(RenameLogReader, HandsBackWhatAnUndoTakesBack)
{
    const std::string d = kRoot + "d\r\n", done = kUndoFinishedLine, ran = kRunFinishedLine;
    const std::string run = d + "a\t->\tb\r\n", undo = "\r\n" + d;
    const struct
    {
        std::string bytes;
        std::string record;
        bool open;
        std::string completion;
    } cases[] = {
        // A line cut short after its first name may have moved that file: c>? says so.
        {run + "c\t->\td", "a>b c>? ", false, "\t\r\n"},
        {run + "c\t->\td\tmove fail", "a>b ", false, "\r\n"},
        {run + "c\t-", "a>b c>? ", false, "\r\n"},
        {run + "c\t", "a>b c>? ", false, "\r\n"},
        {run + "c", "a>b ", false, "\t\r\n"},
        {run + "c\t\r\n", "a>b ", false, ""},
        {run + "c\t->\td\r", "a>b c>d ", false, "\n"},
        {run + undo + "b\t->\ta\r\n" + done.substr(0, 4), "b>a ", false, done.substr(4) + "\r\n"},
        {run + ran.substr(0, 4), "a>b ", false, ran.substr(4) + "\r\n"},
        {run + undo + "b\t->\ta\r\n", "a>b b>a ", true, ""},
        {run + undo.substr(0, 3), "a>b ", true, undo.substr(3)},
        {run + undo + "b\t->\ta\r\n" + done + "\r\n" + undo + "a\t->\tb\r\n", "b>a a>b ", true, ""},
        {run + undo + "b\t->\tc\r\n" + undo + "c\t->\ta\r\n" + done + "\r\n", "b>c c>a ", false, ""},
    };
    for (const auto& c : cases) {
        std::vector<LoggedStep> steps;
        RenameLogParser parser(PlatformFileServices(), &steps);
        parser.Feed(c.bytes.data(), c.bytes.size());
        EXPECT_TRUE(parser.IsRenameLog()) << c.bytes;
        EXPECT_EQ(c.completion, parser.Completion()) << c.bytes;
        parser.Complete();
        EXPECT_EQ(c.open, parser.LastActOpen()) << c.bytes;
        std::string record;
        for (size_t i = c.open ? 0 : parser.LastActStart(); i < steps.size(); ++i)
            record += steps[i].Failed() ? "" : steps[i].from + ">" + (steps[i].cut ? "?" : steps[i].to) + " ";
        EXPECT_EQ(c.record, record) << c.bytes;
    }
}

// What the history reads of a record: its acts (an odd number leaves the run's names in force),
// whether its run went through, and which run it holds, whatever its folder line and its ends.
TEST(RenameLogReader, CountsTheActsAndTellsOneRunFromAnother)
{
    const std::string d = kRoot + "d\r\n", ran = std::string(kRunFinishedLine) + "\r\n";
    const std::string run = d + "a\t->\tb\r\n", undo = "\r\n" + d + "b\t->\ta\r\n";
    const std::string done = std::string(kUndoFinishedLine) + "\r\n";
    const auto keyOf = [](const std::string& bytes) {
        RenameLogParser parser(PlatformFileServices());
        parser.Feed(bytes.data(), bytes.size());
        return parser.RunKey();
    };
    const struct
    {
        std::string bytes;
        int acts;
        bool open;
        bool runFinished;
    } cases[] = {
        {run, 1, false, false},
        {run + ran.substr(0, 5), 1, false, false},
        {run + ran, 1, false, true},
        {run + ran + undo, 2, true, true},
        {run + ran + undo + done, 2, false, true},
        {run + undo + undo + done, 2, false, false},
        {run + ran + undo + done + undo, 3, true, true},
        {run + ran + undo + done + undo + done, 3, false, true},
    };
    for (const auto& c : cases) {
        RenameLogParser parser(PlatformFileServices());
        parser.Feed(c.bytes.data(), c.bytes.size());
        EXPECT_TRUE(parser.IsRenameLog()) << c.bytes;
        EXPECT_EQ(c.acts, parser.Acts()) << c.bytes;
        EXPECT_EQ(c.open, parser.LastActOpen()) << c.bytes;
        EXPECT_EQ(c.runFinished, parser.RunFinished()) << c.bytes;
        EXPECT_EQ(keyOf(kRoot + "d" + TempFolder::Separator() + "\r\na\t->\tb\r\n"), parser.RunKey()) << c.bytes;
    }
    EXPECT_NE(keyOf(run), keyOf(d + "a\t->\tc\r\n"));
    // Lines after the first move, and steps before it that moved nothing, do not count: a log
    // may stop before the record of the same run, which holds the latter in another order.
    EXPECT_EQ(keyOf(run), keyOf(run + "c\t->\td\r\n"));
    EXPECT_EQ(keyOf(run), keyOf(d + "x\t->\tx\r\na\t->\tb\r\n"));
    // Nor does a move written ahead and taken back.
    const std::string made = std::string(kMovesMadeLine) + "\r\n";
    EXPECT_EQ(keyOf(run), keyOf(d + made + "a\t->\tc\r\na\t->\tc\tnot moved after all\r\n" + made + "a\t->\tb\r\n"));
}

enum LogPathKind
{
    PathMissing,
    PathFolder,
    PathFile
};

struct LogPathCase
{
    const char* name;
    LogPathKind kind;
    std::string content;
    FileCall fault;
    bool otherFile;
};

TEST(RenameLogReader, TellsWhetherTheLogPathHoldsSomeOtherFile)
{
    const LogPathCase cases[] = {
        {"no file", PathMissing, "", CallKinds, false},
        {"a folder", PathFolder, "", CallKinds, false},
        {"empty file", PathFile, "", CallKinds, false},
        {"earlier log", PathFile, kRoot + "d\r\na.txt\t->\t000.txt\r\n", CallKinds, false},
        {"a note of a plan", PathFile, "My plan\r\na.txt\t->\t000.txt\r\n", CallKinds, true},
        {"a run's log of no file", PathFile, "d\r\n", CallKinds, true},
        {"user's text", PathFile, "shopping\r\nmilk\r\n", CallKinds, true},
        {"log that cannot be opened", PathFile, "d\r\n", CallOpenRead, true},
        {"log that cannot be read", PathFile, "d\r\n", CallRead, true},
    };
    for (const LogPathCase& c : cases) {
        TempFolder folder;
        if (c.kind == PathFolder)
            folder.MakeFolder("log.txt");
        if (c.kind == PathFile)
            folder.Write("log.txt", c.content);
        FaultyFileServices fs(PlatformFileServices());
        if (c.fault != CallKinds)
            fs.Inject(c.fault, 0, FaultFail);
        EXPECT_EQ(c.otherFile, LogPathHoldsOtherFile(folder.PathOf("log.txt").c_str(), fs)) << c.name;
    }
    EXPECT_FALSE(LogPathHoldsOtherFile("", PlatformFileServices()));
}

TEST(RenameLogReader, ARunsOwnLogIsARenameLog)
{
    for (bool withSeparator : {false, true}) {
        RunFixture run;
        run.TypeFolder(withSeparator);
        run.AddFiles({"a.txt", kSo + ".txt", "000.txt", "b.txt"});
        run.fs.Inject(CallMove, 2, FaultFail);
        ASSERT_TRUE(run.Run());
        ASSERT_GT(run.outcome.notRenamed, 0);

        std::vector<LoggedStep> steps;
        RenameLogParser parser(run.fs, &steps);
        ASSERT_TRUE(ReadRenameLog(run.job.logPath.Data(), run.fs, parser));
        EXPECT_TRUE(parser.IsRenameLog()) << run.Log();
        EXPECT_EQ(run.job.folder.Data(), parser.Folder());
        EXPECT_EQ(run.LogLines().size(), steps.size());
        EXPECT_FALSE(LogPathHoldsOtherFile(run.job.logPath.Data(), run.fs));
    }
}

}  // namespace
