#include "engine/Ordering.h"
#include "engine/RenameLogReader.h"
#include "engine/UndoRun.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;
typedef std::map<std::string, std::string> Contents;

// ソ ends in the byte of a backslash.
const std::string kSo = "\x83\x5C";

Contents ContentsOf(const TempFolder& folder)
{
    Contents contents;
    for (const std::string& name : folder.Names())
        contents[name] = folder.Read(name);
    return contents;
}

bool Undo(RunFixture& run, UndoOutcome& outcome)
{
    return UndoRun(run.job.logPath.Data(), run.fs, outcome);
}

// The step lines of the log's last section.
Names LastSection(const RunFixture& run)
{
    std::string log = run.Log();
    size_t start = log.rfind("\r\n\r\n");
    start = start == std::string::npos ? 0 : start + 4;
    start = log.find("\r\n", start) + 2;
    Names lines;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

struct ExampleCase
{
    const char* name;
    Names files;
    int32_t startNumber;
    int32_t order;
    int fileCount;
    Names undoLines;
};

TEST(UndoRun, TakesBackARunAndThenItsOwnUndo)
{
    const ExampleCase cases[] = {
        {"worked example", {"001.jpg", "002.jpg", "c.jpg"}, 2, NameAscending, 3,
         {Line("002.jpg", "~ren0000.tmp"), Line("004.jpg", "c.jpg"), Line("003.jpg", "002.jpg"),
          Line("~ren0000.tmp", "001.jpg")}},
        {"two files exchange their names", {"000.txt", "001.txt"}, 0, NameDescending, 2,
         {Line("000.txt", "~ren0000.tmp"), Line("001.txt", "000.txt"), Line("~ren0000.tmp", "001.txt")}},
        {"a name that stays", {"001.jpg", "b.jpg"}, 1, NameAscending, 1, {Line("002.jpg", "b.jpg")}},
        {"double-byte names", {kSo + ".txt", "a" + kSo + ".txt"}, 0, NameAscending, 2,
         {Line("001.txt", kSo + ".txt"), Line("000.txt", "a" + kSo + ".txt")}},
    };
    for (const ExampleCase& c : cases) {
        RunFixture run;
        run.AddFiles(c.files);
        run.job.startNumber = c.startNumber;
        run.job.order = c.order;
        const Contents before = ContentsOf(run.folder);
        ASSERT_TRUE(run.Run()) << c.name;
        const Contents afterRun = ContentsOf(run.folder);

        UndoOutcome planned;
        ASSERT_TRUE(PlanUndo(run.job.logPath.Data(), run.fs, planned)) << c.name;
        EXPECT_EQ(run.job.folder.Data(), planned.folder) << c.name;
        EXPECT_EQ(c.fileCount, planned.fileCount) << c.name;
        EXPECT_EQ(afterRun, ContentsOf(run.folder)) << c.name;

        UndoOutcome undone;
        ASSERT_TRUE(Undo(run, undone)) << c.name;
        EXPECT_EQ(before, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(0, undone.notBack) << c.name;
        EXPECT_TRUE(undone.unaccounted.empty()) << c.name;
        EXPECT_TRUE(undone.logComplete) << c.name;
        EXPECT_EQ(c.undoLines, LastSection(run)) << c.name;

        UndoOutcome redone;
        ASSERT_TRUE(Undo(run, redone)) << c.name;
        EXPECT_EQ(afterRun, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(0, redone.notBack) << c.name;
        EXPECT_FALSE(LogPathHoldsOtherFile(run.job.logPath.Data(), run.fs)) << c.name;

        // A run afterwards starts a log of its own.
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(std::string::npos, run.Log().find("\r\n\r\n")) << c.name;
    }
}

enum Meddling
{
    FileMovedAway,
    FileDeleted,
    NameTakenMeanwhile,
    FileReplacedByFolder
};

struct MeddlingCase
{
    const char* name;
    Names files;
    Meddling meddling;
    // A file of the run's result, or the original name another program takes.
    std::string target;
    Names notBack;
    Contents folderAfter;
};

TEST(UndoRun, LeavesAloneWhatAnotherProgramChangedAndTakesBackTheRest)
{
    const Names kFiles{"000.txt", "001.txt", "b.txt"};
    // The run: b.txt -> ~ren0000.tmp, 001.txt -> 001.txt, 000.txt -> 002.txt,
    // ~ren0000.tmp -> 000.txt.
    const MeddlingCase cases[] = {
        {"a file moved away by hand", kFiles, FileMovedAway, "002.txt", {"000.txt"},
         {{"001.txt", "001.txt"}, {"b.txt", "b.txt"}, {"moved.dat", "000.txt"}}},
        {"a file deleted, the file that had its name comes back", kFiles, FileDeleted, "000.txt", {"b.txt"},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}}},
        {"an original name taken meanwhile", kFiles, NameTakenMeanwhile, "b.txt", {"b.txt"},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}, {"b.txt", "newcomer"}, {"~ren0000.tmp", "b.txt"}}},
        // A folder is nothing an undo moves: the file is not where the log says.
        {"a file replaced by a folder of its name", kFiles, FileReplacedByFolder, "002.txt", {"000.txt"},
         {{"001.txt", "001.txt"}, {"002.txt", ""}, {"b.txt", "b.txt"}}},
        {"a temporary name taken meanwhile", kFiles, NameTakenMeanwhile, "~ren0000.tmp", {},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}, {"b.txt", "b.txt"}, {"~ren0000.tmp", "newcomer"}}},
        // ~ren0005.tmp -> 000.tmp
        {"an original temporary name taken meanwhile", {"~ren0005.tmp"}, NameTakenMeanwhile, "~ren0005.tmp",
         {"~ren0005.tmp"}, {{"000.tmp", "~ren0005.tmp"}, {"~ren0005.tmp", "newcomer"}}},
    };
    for (const MeddlingCase& c : cases) {
        RunFixture run;
        run.AddFiles(c.files);
        run.job.order = NameDescending;
        ASSERT_TRUE(run.Run()) << c.name;
        switch (c.meddling) {
        case FileMovedAway:
            ASSERT_EQ(0, std::rename(run.folder.PathOf(c.target).c_str(), run.folder.PathOf("moved.dat").c_str()));
            break;
        case FileDeleted:
            ASSERT_EQ(0, std::remove(run.folder.PathOf(c.target).c_str()));
            break;
        case NameTakenMeanwhile:
            run.folder.Write(c.target, "newcomer");
            break;
        case FileReplacedByFolder:
            ASSERT_EQ(0, std::remove(run.folder.PathOf(c.target).c_str()));
            ASSERT_TRUE(run.folder.MakeFolder(c.target));
            break;
        }
        UndoOutcome outcome;
        ASSERT_TRUE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.folderAfter, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(static_cast<int>(c.notBack.size()), outcome.notBack) << c.name;
        EXPECT_EQ(c.notBack, outcome.notBackNames) << c.name;
    }
}

TEST(UndoRun, ADependentStepIsSkippedAndTheLogSaysWhy)
{
    RunFixture run;
    run.AddFiles({"000.txt", "001.txt"});
    run.job.order = NameDescending;
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(0, std::remove(run.folder.PathOf("000.txt").c_str()));
    UndoOutcome outcome;
    ASSERT_TRUE(Undo(run, outcome));
    EXPECT_EQ((Names{Line("000.txt", "~ren0000.tmp") + "\tfile not where the log says, left alone",
                     Line("001.txt", "000.txt"),
                     Line("~ren0000.tmp", "001.txt") + "\tskipped, a later step of this file was not taken back"}),
              LastSection(run));
    EXPECT_EQ(Names{"001.txt"}, outcome.notBackNames);
}

TEST(UndoRun, AFileThatStaysUnderItsOldNameIsNotReported)
{
    // The run parked a.txt and had to put it back; the undo's first move fails.
    RunFixture run;
    run.folder.Write("a.txt", "a.txt");
    run.elsewhere.Write(run.logName, run.job.folder.Data() + std::string("\r\n") + Line("a.txt", "~ren0000.tmp") +
                                         "\r\n" + Line("~ren0000.tmp", "a.txt") + "\r\n");
    run.fs.Inject(CallMove, 1, FaultFail);
    UndoOutcome outcome;
    ASSERT_TRUE(Undo(run, outcome));
    EXPECT_EQ((Contents{{"a.txt", "a.txt"}}), ContentsOf(run.folder));
    EXPECT_EQ(1, outcome.fileCount);
    EXPECT_EQ(0, outcome.notBack);
}

struct CutCase
{
    const char* name;
    // Where the last line of the log stops, and what ends it.
    const char* lastLine;
    const char* ending;
    Names undoLines;
    Contents folderAfter;
};

TEST(UndoRun, TakesBackARunCutShortAndNamesTheFileInFlight)
{
    // The run died after moving c.txt aside, before its line was written, while the line of
    // the step before was being written.
    const CutCase cases[] = {
        {"inside a line", "b.txt\t->\t00", "\r\n", {Line("001.txt", "a.txt"), Line("~ren0000.tmp", "000.txt")},
         {{"000.txt", "000.txt"}, {"002.txt", "b.txt"}, {"a.txt", "a.txt"}, {"~ren0001.tmp", "c.txt"}}},
        {"between CR and LF", "b.txt\t->\t002.txt\r", "\n",
         {Line("002.txt", "b.txt"), Line("001.txt", "a.txt"), Line("~ren0000.tmp", "000.txt")},
         {{"000.txt", "000.txt"}, {"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"~ren0001.tmp", "c.txt"}}},
    };
    for (const CutCase& c : cases) {
        RunFixture run;
        run.folder.Write("001.txt", "a.txt");
        run.folder.Write("~ren0000.tmp", "000.txt");
        run.folder.Write("~ren0001.tmp", "c.txt");
        run.folder.Write("002.txt", "b.txt");
        const std::string cut = run.job.folder.Data() + std::string("\r\n") + Line("000.txt", "~ren0000.tmp") +
                                "\r\n" + Line("a.txt", "001.txt") + "\r\n" + c.lastLine;
        run.elsewhere.Write(run.logName, cut);

        UndoOutcome outcome;
        ASSERT_TRUE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.folderAfter, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(Names{"~ren0001.tmp"}, outcome.unaccounted) << c.name;
        EXPECT_EQ(0, outcome.notBack) << c.name;
        std::string section = run.job.folder.Data() + std::string("\r\n");
        for (const std::string& line : c.undoLines)
            section += line + "\r\n";
        EXPECT_EQ(cut + c.ending + "\r\n" + section, run.Log()) << c.name;

        std::vector<LoggedStep> steps;
        RenameLogParser parser(&steps);
        ASSERT_TRUE(ReadRenameLog(run.job.logPath.Data(), run.fs, parser)) << c.name;
        EXPECT_TRUE(parser.IsRenameLog()) << c.name;
        EXPECT_EQ(2, parser.Sections()) << c.name;
        EXPECT_EQ(c.undoLines.size(), steps.size()) << c.name;
        UndoOutcome again;
        ASSERT_TRUE(Undo(run, again)) << c.name;
        EXPECT_EQ(0, again.notBack) << c.name;
    }
}

struct RefusalCase
{
    const char* name;
    const char* log;
    UndoRefusal refusal;
    FileCall fault;
};

TEST(UndoRun, RefusesWhatItCannotTakeBackAndMovesNothing)
{
    const std::string longName(256, 'n');
    const RefusalCase cases[] = {
        {"no log", nullptr, UndoNoLog, CallKinds},
        {"log that cannot be read", "<folder>\r\n000.txt\t->\ta.txt\r\n", UndoNoLog, CallRead},
        {"not a rename log", "shopping\r\nmilk\r\n", UndoNotALog, CallKinds},
        {"empty file", "", UndoNothingToTakeBack, CallKinds},
        {"folder alone", "<folder>\r\n", UndoNothingToTakeBack, CallKinds},
        {"only failed steps", "<folder>\r\n000.txt\t->\ta.txt\tmove failed (error 5)\r\n", UndoNothingToTakeBack,
         CallKinds},
        {"only names that stayed", "<folder>\r\n000.txt\t->\t000.txt\r\n", UndoNothingToTakeBack, CallKinds},
        {"name over 255 bytes", "<folder>\r\n000.txt\t->\ta.txt\r\n<long>\t->\tb.txt\r\n", UndoNameTooLong, CallKinds},
        {"name holding a separator", "<folder>\r\n000.txt\t->\t../a.txt\r\n", UndoNameNotPlain, CallKinds},
        {"folder that cannot be searched", "<missing>\r\n000.txt\t->\ta.txt\r\n", UndoFolderNotSearchable, CallKinds},
        {"log that cannot take the record", "<folder>\r\n000.txt\t->\ta.txt\r\n", UndoLogNotWritable, CallAppendLog},
    };
    for (const RefusalCase& c : cases) {
        RunFixture run;
        run.AddFiles({"a.txt", "b.txt"});
        std::string log;
        if (c.log) {
            log = c.log;
            for (const auto& hole : {std::make_pair(std::string("<folder>"), run.folder.Path()),
                                     std::make_pair(std::string("<missing>"), run.folder.PathOf("gone")),
                                     std::make_pair(std::string("<long>"), longName)}) {
                size_t at = log.find(hole.first);
                if (at != std::string::npos)
                    log.replace(at, hole.first.size(), hole.second);
            }
            run.elsewhere.Write(run.logName, log);
        }
        if (c.fault != CallKinds)
            run.fs.Inject(c.fault, 0, FaultFail);
        UndoOutcome outcome;
        EXPECT_FALSE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.refusal, outcome.refusal) << c.name;
        EXPECT_EQ((Names{"a.txt", "b.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ(log, run.Log()) << c.name;
    }
}

}  // namespace
