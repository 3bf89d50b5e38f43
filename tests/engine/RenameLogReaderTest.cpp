#include "engine/RenameLogReader.h"
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

TEST(RenameLogReader, TellsRenameLogsFromOtherFiles)
{
    const LogBytes cases[] = {
        {"empty file", "", true},
        {"folder alone", "C:\\photos\r\n", true},
        {"steps", "C:\\photos\\\r\na.txt\t->\t000.txt\r\nb.txt\t->\t~ren0000.tmp\r\n", true},
        {"double-byte names", "C:\\" + kHyo + "\r\n" + kSo + ".txt\t->\t" + kHyo + "000.txt\r\n", true},
        {"failed steps", "d\r\na.txt\t->\t000.txt\tfile is gone\r\nb.txt\t->\tb.txt\tmove failed (error 5)\r\n", true},
        {"cut short in a name", "d\r\na.txt\t->\t000.txt\r\nb.t", true},
        {"cut short in the arrow", "d\r\na.txt\t-", true},
        {"cut short after the new name", "d\r\na.txt\t->\t000.txt\t", true},
        {"cut short in the reason", "d\r\na.txt\t->\t000.txt\tfile is g", true},
        {"cut short between CR and LF", "d\r\na.txt\t->\t000.txt\r", true},
        {"first line cut short", "C:\\photos", false},
        {"first line holds a TAB", "name\tsize\r\na.txt\t->\t000.txt\r\n", false},
        {"TSV file", "a.txt\t12\r\nb.txt\t34\r\n", false},
        {"arrow with spaces", "notes\r\na.txt -> 000.txt\r\n", false},
        {"arrow line, then text", "notes\r\na.txt\t->\t000.txt\r\nremember the milk\r\n", false},
        {"LF line ends", "d\na.txt\t->\t000.txt\n", false},
        {"LF after the first line", "d\r\na.txt\t->\t000.txt\n", false},
        {"empty first line", "\r\na.txt\t->\t000.txt\r\n", false},
        {"empty old name", "d\r\n\t->\t000.txt\r\n", false},
        {"empty new name", "d\r\na.txt\t->\t\r\n", false},
        {"empty reason", "d\r\na.txt\t->\t000.txt\t\r\n", false},
        {"five parts", "d\r\na\t->\tb\tc\td\r\n", false},
        {"other arrow", "d\r\na.txt\t=>\t000.txt\r\n", false},
        {"cut short in another arrow", "d\r\na.txt\t=", false},
        {"control byte in a name", "d\r\na\x01.txt\t->\t000.txt\r\n", false},
        {"NUL byte", std::string("d\r\na.txt\t->\t000.txt\r\n\0", 22), false},
        {"CR inside a line", "d\r\na.txt\r\t->\t000.txt\r\n", false},
        {"line past one formatted line", "d\r\n" + std::string(600, 'a') + "\t->\t" + std::string(600, 'b') + "\r\n",
         false},
        {"two sections", "d\r\na\t->\tb\r\n\r\nd\r\nb\t->\ta\r\n", true},
        {"second section cut short in its folder", "d\r\na\t->\tb\r\n\r\nd", true},
        {"line cut short, ended, then a section", "d\r\na\t-\r\n\r\nd\r\nb\t->\ta\r\n", true},
        {"line cut short and ended, nothing after", "d\r\na\t-\r\n", false},
        {"line cut short and ended, then a step", "d\r\na\t-\r\nb\t->\ta\r\n", false},
        {"empty line, then an empty folder line", "d\r\n\r\n\r\n", false},
        {"longest formatted line", "d\r\n" + std::string(510, 'a') + "\t->\t" + std::string(508, 'b') + "\r\n", true},
    };
    for (const LogBytes& c : cases) {
        RenameLogParser whole;
        whole.Feed(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.renameLog, whole.IsRenameLog()) << c.name;
        RenameLogParser byteByByte;
        for (char byte : c.bytes)
            byteByByte.Feed(&byte, 1);
        EXPECT_EQ(c.renameLog, byteByByte.IsRenameLog()) << c.name << ", one byte at a time";
    }
}

TEST(RenameLogReader, HandsBackTheFolderAndTheStepsInOrder)
{
    const std::string bytes = "C:\\" + kSo + "\r\n" + kSo + ".txt\t->\t~ren0000.tmp\r\n" +
                              "b.txt\t->\tb.txt\tmove failed (error 5)\r\n~ren0000.tmp\t->\t000.txt\r\nc.tx";
    std::vector<LoggedStep> steps;
    RenameLogParser parser(&steps);
    parser.Feed(bytes.data(), bytes.size());

    EXPECT_TRUE(parser.IsRenameLog());
    EXPECT_EQ("C:\\" + kSo, parser.Folder());
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

TEST(RenameLogReader, HandsBackTheLastSection)
{
    const std::string bytes = "C:\\" + kSo + "\r\n" + kSo + ".txt\t->\t000.txt\r\nb.txt\t->\t0" + "\r\n\r\nC:\\" +
                              kSo + "\r\n000.txt\t->\t" + kSo + ".txt\r\n";
    std::vector<LoggedStep> steps;
    RenameLogParser parser(&steps);
    parser.Feed(bytes.data(), bytes.size());

    EXPECT_TRUE(parser.IsRenameLog());
    EXPECT_EQ(2, parser.Sections());
    EXPECT_EQ("C:\\" + kSo, parser.Folder());
    EXPECT_FALSE(parser.CutShort());
    ASSERT_EQ(1u, steps.size());
    EXPECT_EQ("000.txt", steps[0].from);
    EXPECT_EQ(kSo + ".txt", steps[0].to);
}

TEST(RenameLogReader, TellsHowToEndALineCutShort)
{
    const struct { const char* bytes; const char* end; } cases[] = {
        {"d\r\na\t->\tb\r\n", ""}, {"d\r\na\t->\tb", "\r\n"}, {"d\r\na\t->\tb\r", "\n"}};
    for (const auto& c : cases) {
        RenameLogParser parser;
        parser.Feed(c.bytes, std::strlen(c.bytes));
        EXPECT_STREQ(c.end, parser.EndOfCutLine()) << c.bytes;
    }
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
        {"earlier log", PathFile, "d\r\na.txt\t->\t000.txt\r\n", CallKinds, false},
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
    RunFixture run;
    run.AddFiles({"a.txt", kSo + ".txt", "000.txt", "b.txt"});
    run.fs.Inject(CallMove, 2, FaultFail);
    ASSERT_TRUE(run.Run());
    ASSERT_GT(run.outcome.notRenamed, 0);

    std::vector<LoggedStep> steps;
    RenameLogParser parser(&steps);
    ASSERT_TRUE(ReadRenameLog(run.job.logPath.Data(), run.fs, parser));
    EXPECT_TRUE(parser.IsRenameLog()) << run.Log();
    EXPECT_EQ(run.job.folder.Data(), parser.Folder());
    EXPECT_EQ(run.LogLines().size(), steps.size());
    EXPECT_FALSE(LogPathHoldsOtherFile(run.job.logPath.Data(), run.fs));
}

} // namespace
