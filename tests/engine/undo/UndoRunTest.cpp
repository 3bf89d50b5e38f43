#include "engine/log/RenameLogReader.h"
#include "engine/order/Ordering.h"
#include "engine/undo/UndoRun.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// ソ ends in the byte of a backslash.
const std::string kSo = "\x83\x5C";

bool Undo(RunFixture& run, UndoOutcome& outcome)
{
    return UndoRun(run.job.logPath.Data(), run.fs, outcome);
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
        {"worked example",
         {"001.jpg", "002.jpg", "c.jpg"},
         2,
         NameAscending,
         3,
         {Line("002.jpg", "~ren0000.tmp"), Line("004.jpg", "c.jpg"), Line("003.jpg", "002.jpg"),
          Line("~ren0000.tmp", "001.jpg")}},
        {"two files exchange their names",
         {"000.txt", "001.txt"},
         0,
         NameDescending,
         2,
         {Line("000.txt", "~ren0000.tmp"), Line("001.txt", "000.txt"), Line("~ren0000.tmp", "001.txt")}},
        {"a name that stays", {"001.jpg", "b.jpg"}, 1, NameAscending, 1, {Line("002.jpg", "b.jpg")}},
        {"double-byte names",
         {kSo + ".txt", "a" + kSo + ".txt"},
         0,
         NameAscending,
         2,
         {Line("001.txt", kSo + ".txt"), Line("000.txt", "a" + kSo + ".txt")}},
    };
    for (const ExampleCase& c : cases) {
        RunFixture run(c.files, c.order);
        run.job.startNumber = c.startNumber;
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
        Names finished = c.undoLines;
        finished.push_back(kUndoFinishedLine);
        EXPECT_EQ(finished, run.LogLines()) << c.name;

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

// The log's folder line is the folder as typed; the log itself, in the folder under a
// temporary name's form, is no file the run left behind.
TEST(UndoRun, NeverTakesTheLogInTheFolderForATemporaryFile)
{
    for (bool withSeparator : {false, true}) {
        RunFixture run;
        run.TypeFolder(withSeparator);
        run.AddFiles({"a.txt"});
        run.job.logPath = run.folder.PathOf("~ren0009.tmp").c_str();
        ASSERT_TRUE(run.Run());
        UndoOutcome outcome;
        ASSERT_TRUE(Undo(run, outcome));
        EXPECT_EQ(Names{}, outcome.unaccounted) << withSeparator;
        EXPECT_EQ((Names{"a.txt", "~ren0009.tmp"}), run.folder.Names()) << withSeparator;
    }
}

TEST(UndoRun, FinishesAnUndoCutShortAndTakesBackOneThatFinished)
{
    // Either undo moves three files. Cut 1 to 3: the process dies after that move; cut 4 to
    // 6: the undo is stopped before its step cut - 4.
    for (bool undoOfTheUndo : {false, true}) {
        for (int cut = 1; cut <= 6; ++cut) {
            RunFixture run({"000.txt", "001.txt", "b.txt"}, NameDescending);
            const Contents before = ContentsOf(run.folder);
            ASSERT_TRUE(run.Run());
            const Contents afterRun = ContentsOf(run.folder);
            UndoOutcome outcome;
            if (undoOfTheUndo) {
                ASSERT_TRUE(Undo(run, outcome));
            }
            FaultyFileServices dying(PlatformFileServices());
            DieAfterMove(dying, cut);
            StopAfter stop(cut - 4);
            UndoRun(run.job.logPath.Data(), cut <= 3 ? dying : run.fs, outcome, cut <= 3 ? nullptr : &stop);
            // A process that dies has no outcome: only the stop's is looked at.
            if (cut > 3) {
                EXPECT_TRUE(outcome.stopped) << cut;
                EXPECT_TRUE(stop.SettledOneByOne()) << cut;
            }

            const std::string what = std::to_string(cut) + (undoOfTheUndo ? " in the undo of the undo" : "");
            ASSERT_TRUE(Undo(run, outcome)) << what;
            EXPECT_TRUE(outcome.finishing) << what;
            EXPECT_EQ(undoOfTheUndo ? afterRun : before, ContentsOf(run.folder)) << what << "\n" << run.Log();
            EXPECT_EQ(0, outcome.notBack) << what;
            ASSERT_TRUE(Undo(run, outcome)) << what;
            EXPECT_FALSE(outcome.finishing) << what;
            EXPECT_EQ(undoOfTheUndo ? before : afterRun, ContentsOf(run.folder)) << what << "\n" << run.Log();
            EXPECT_FALSE(LogPathHoldsOtherFile(run.job.logPath.Data(), run.fs)) << what;
        }
    }
}

enum Meddling
{
    FileMovedAway,
    FileDeleted,
    NameTakenMeanwhile,
    FileReplacedByFolder,
    // The undo parks the file, as its name is taken; then another program frees that name and
    // puts a file of its own under the parked name.
    ParkedFileSwapped
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
        {"a file moved away by hand",
         kFiles,
         FileMovedAway,
         "002.txt",
         {"000.txt"},
         {{"001.txt", "001.txt"}, {"b.txt", "b.txt"}, {"moved.dat", "000.txt"}}},
        {"a file deleted, the file that had its name comes back",
         kFiles,
         FileDeleted,
         "000.txt",
         {"b.txt"},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}}},
        {"an original name taken meanwhile",
         kFiles,
         NameTakenMeanwhile,
         "b.txt",
         {"b.txt"},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}, {"b.txt", "newcomer"}, {"~ren0000.tmp", "b.txt"}}},
        // A folder is nothing an undo moves: the file is not where the log says.
        {"a file replaced by a folder of its name",
         kFiles,
         FileReplacedByFolder,
         "002.txt",
         {"000.txt"},
         {{"001.txt", "001.txt"}, {"002.txt", ""}, {"b.txt", "b.txt"}}},
        {"a temporary name taken meanwhile",
         kFiles,
         NameTakenMeanwhile,
         "~ren0000.tmp",
         {},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}, {"b.txt", "b.txt"}, {"~ren0000.tmp", "newcomer"}}},
        // ~ren0005.tmp -> 000.tmp
        {"an original temporary name taken meanwhile",
         {"~ren0005.tmp"},
         NameTakenMeanwhile,
         "~ren0005.tmp",
         {"~ren0005.tmp"},
         {{"000.tmp", "~ren0005.tmp"}, {"~ren0005.tmp", "newcomer"}}},
        {"a parked file swapped for another",
         kFiles,
         ParkedFileSwapped,
         "b.txt",
         {"b.txt"},
         {{"000.txt", "000.txt"}, {"001.txt", "001.txt"}, {"moved.dat", "b.txt"}, {"(parked)", "intruder"}}},
    };
    for (const MeddlingCase& c : cases) {
        RunFixture run(c.files, NameDescending);
        ASSERT_TRUE(run.Run()) << c.name;
        std::string parked;
        int parkedVisits = 0;
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
        case ParkedFileSwapped:
            run.folder.Write(c.target, "newcomer");
            run.fs.beforeCall = [&](FileCall call, int, const char* first, const char* second) {
                if (call == CallMove && run.folder.PathOf("~ren0000.tmp") == first) {
                    parked = second;
                } else if ((call == CallMove || call == CallIdentify) && parked == first && ++parkedVisits == 2) {
                    // The first look at the parked name is the undo's own, taking the file's identity.
                    std::remove(run.folder.PathOf(c.target).c_str());
                    std::rename(first, run.folder.PathOf("moved.dat").c_str());
                    parked = parked.substr(run.folder.PathOf("").size());
                    run.folder.Write(parked, "intruder");
                }
            };
            break;
        }
        UndoOutcome outcome;
        ASSERT_TRUE(Undo(run, outcome)) << c.name;
        Contents after = ContentsOf(run.folder);
        // Windows parks a file under the name it already has when that is the first free one.
        if (after.count(parked) != 0) {
            after["(parked)"] = after[parked];
            after.erase(parked);
        }
        EXPECT_EQ(c.folderAfter, after) << c.name;
        EXPECT_EQ(static_cast<int>(c.notBack.size()), outcome.notBack) << c.name;
        EXPECT_EQ(c.notBack, outcome.notBackNames) << c.name;
        const std::string swapped = Line(parked, "b.txt") + "\tfile no longer under this name, another file is";
        EXPECT_EQ(c.meddling == ParkedFileSwapped, run.Log().find(swapped) != std::string::npos) << c.name;
    }
}

TEST(UndoRun, ADependentStepIsSkippedAndTheLogSaysWhy)
{
    RunFixture run({"000.txt", "001.txt"}, NameDescending);
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(0, std::remove(run.folder.PathOf("000.txt").c_str()));
    UndoOutcome outcome;
    ASSERT_TRUE(Undo(run, outcome));
    EXPECT_EQ((Names{Line("000.txt", "~ren0000.tmp") + "\tfile not where the log says, left alone",
                     Line("001.txt", "000.txt"),
                     Line("~ren0000.tmp", "001.txt") + "\tskipped, a later step of this file was not taken back",
                     kUndoFinishedLine}),
              run.LogLines());
    EXPECT_EQ(Names{"001.txt"}, outcome.notBackNames);
}

struct RecordCase
{
    const char* name;
    Names steps;
    Contents folderBefore;
    Contents folderAfter;
    int fileCount;
    Names notBack;
};

// Logs written out by hand, each file's steps followed to where the file is.
TEST(UndoRun, FollowsEveryFileFromItsFirstNameToItsLast)
{
    const Names aside{Line("a.txt", "~ren0000.tmp"), Line("b.txt", "000.txt"), Line("~ren0000.tmp", "a.txt")};
    const RecordCase cases[] = {
        {"a file that went aside and came back",
         aside,
         {{"a.txt", "a.txt"}, {"000.txt", "b.txt"}},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}},
         1,
         {}},
        {"... and was then deleted", aside, {{"000.txt", "b.txt"}}, {{"b.txt", "b.txt"}}, 1, {}},
        {"... and was then replaced",
         aside,
         {{"a.txt", "new"}, {"000.txt", "b.txt"}},
         {{"a.txt", "new"}, {"b.txt", "b.txt"}},
         1,
         {}},
        {"a file parked under a name another file took and left",
         {Line("a.txt", "~ren0000.tmp"), Line("~ren0000.tmp", "001.txt"), Line("b.txt", "~ren0000.tmp"),
          Line("~ren0000.tmp", "000.txt")},
         {{"001.txt", "a.txt"}, {"000.txt", "b.txt"}},
         {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}},
         2,
         {}},
        // z.txt leaves n.txt and comes back, so only its first step is taken back, and last:
        // y.txt and x.txt wait for n.txt, and x.txt waits again while y.txt passes it.
        {"an undo that needs a third pass",
         {Line("z.txt", "n.txt"), Line("n.txt", "q.txt"), Line("y.txt", "n.txt"), Line("n.txt", "m.txt"),
          Line("x.txt", "n.txt"), Line("n.txt", "a.txt"), Line("m.txt", "n.txt"), Line("n.txt", "y2.txt"),
          Line("q.txt", "n.txt")},
         {{"n.txt", "z"}, {"y2.txt", "y"}, {"a.txt", "x"}},
         {{"z.txt", "z"}, {"y.txt", "y"}, {"x.txt", "x"}},
         3,
         {}},
        {"a file gone from its last name",
         {Line("a.txt", "000.txt"), Line("b.txt", "001.txt")},
         {{"001.txt", "b.txt"}},
         {{"b.txt", "b.txt"}},
         1,
         {"a.txt"}},
    };
    for (const RecordCase& c : cases) {
        RunFixture run;
        std::string log = run.job.folder.Data() + std::string("\r\n");
        for (const std::string& line : c.steps)
            log += line + "\r\n";
        run.elsewhere.Write(run.logName, log);
        for (const auto& file : c.folderBefore)
            run.folder.Write(file.first, file.second);
        UndoOutcome planned, outcome;
        ASSERT_TRUE(PlanUndo(run.job.logPath.Data(), run.fs, planned)) << c.name;
        EXPECT_EQ(c.fileCount, planned.fileCount) << c.name;
        ASSERT_TRUE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.folderAfter, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(c.notBack, outcome.notBackNames) << c.name;
    }
}

struct CutCase
{
    const char* name;
    // Where the last line of the log stops, and what ends it.
    const char* lastLine;
    const char* ending;
    Names undoLines;
    Contents folderAfter;
    // The file of a line cut short after its first name: the log does not say where it went.
    Names notBack;
    // NUL bytes after the last line, as a power cut leaves them; the undo cuts them off.
    int nuls;
};

TEST(UndoRun, MovesNoFileOnceTheLogTakesNoLine)
{
    // A move the log does not hold could not be finished by the next undo. The undo's first
    // write is its opening; the step line of the failing one-th move is the first to fail.
    for (int failing = 1; failing <= 3; ++failing) {
        RunFixture run({"000.txt", "001.txt", "b.txt"}, NameDescending);
        ASSERT_TRUE(run.Run());
        FaultyFileServices full(PlatformFileServices());
        full.InjectFrom(CallWriteLog, 1 + failing, FaultFail);
        int movesBeforeFailure = -1;
        full.beforeCall = [&](FileCall call, int n, const char*, const char*) {
            if (call == CallWriteLog && n == 1 + failing)
                movesBeforeFailure = full.Calls(CallMove);
        };
        UndoOutcome outcome;
        UndoRun(run.job.logPath.Data(), full, outcome);
        EXPECT_TRUE(outcome.stopped) << failing;
        EXPECT_EQ(movesBeforeFailure, full.Calls(CallMove)) << failing;
    }
}

TEST(UndoRun, TakesBackARunCutShortAndNamesTheFileInFlight)
{
    // The run died after moving c.txt aside, before its line was written, while the line of
    // the step before was being written.
    const Names bLost{Line("b.txt", "b.txt") + "\tfile not where the log says, left alone", Line("001.txt", "a.txt"),
                      Line("~ren0005.tmp", "000.txt")};
    const Contents bLeft = {{"000.txt", "000.txt"},
                            {"002.txt", "b.txt"},
                            {"a.txt", "a.txt"},
                            {"~ren0002.tmp", "mine"},
                            {"~ren0006.tmp", "c.txt"}};
    const CutCase cases[] = {
        {"inside a line", "b.txt\t->\t00", "\t\r\n", bLost, bLeft, {"b.txt"}, 0},
        {"inside a line, then NUL bytes", "b.txt\t->\t00", "\t\r\n", bLost, bLeft, {"b.txt"}, 7},
        {"right after its first name", "b.txt\t", "\r\n", bLost, bLeft, {"b.txt"}, 0},
        {"after a file's earlier step",
         "~ren0005.tmp\t->\t0",
         "\t\r\n",
         {Line("~ren0005.tmp", "~ren0005.tmp") + "\tfile not where the log says, left alone", Line("001.txt", "a.txt"),
          Line("~ren0005.tmp", "000.txt") + "\tskipped, a later step of this file was not taken back"},
         {{"002.txt", "b.txt"},
          {"a.txt", "a.txt"},
          {"~ren0002.tmp", "mine"},
          {"~ren0005.tmp", "000.txt"},
          {"~ren0006.tmp", "c.txt"}},
         {"000.txt"},
         0},
        {"between CR and LF",
         "b.txt\t->\t002.txt\r",
         "\n",
         {Line("002.txt", "b.txt"), Line("001.txt", "a.txt"), Line("~ren0005.tmp", "000.txt")},
         {{"000.txt", "000.txt"},
          {"a.txt", "a.txt"},
          {"b.txt", "b.txt"},
          {"~ren0002.tmp", "mine"},
          {"~ren0006.tmp", "c.txt"}},
         {},
         0},
    };
    for (const CutCase& c : cases) {
        RunFixture run;
        run.folder.Write("001.txt", "a.txt");
        run.folder.Write("~ren0005.tmp", "000.txt");
        run.folder.Write("~ren0006.tmp", "c.txt");
        run.folder.Write("002.txt", "b.txt");
        // A user's own file, numbered before anything the run could have made.
        run.folder.Write("~ren0002.tmp", "mine");
        const std::string cut = run.job.folder.Data() + std::string("\r\n") + Line("000.txt", "~ren0005.tmp") + "\r\n" +
                                Line("a.txt", "001.txt") + "\r\n" + c.lastLine;
        run.elsewhere.Write(run.logName, cut + std::string(static_cast<size_t>(c.nuls), '\0'));

        UndoOutcome outcome;
        ASSERT_TRUE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.folderAfter, ContentsOf(run.folder)) << c.name;
        EXPECT_EQ(Names{"~ren0006.tmp"}, outcome.unaccounted) << c.name;
        EXPECT_EQ(static_cast<int>(c.notBack.size()), outcome.notBack) << c.name;
        EXPECT_EQ(c.notBack, outcome.notBackNames) << c.name;
        std::string section = run.job.folder.Data() + std::string("\r\n");
        for (const std::string& line : c.undoLines)
            section += line + "\r\n";
        section += Line("~ren0006.tmp", "~ren0006.tmp") + "\tno line of the log names this file, left alone\r\n" +
                   kUndoFinishedLine + "\r\n";
        EXPECT_EQ(cut + c.ending + "\r\n" + section, run.Log()) << c.name;

        std::vector<LoggedStep> steps;
        RenameLogParser parser(run.fs, &steps);
        ASSERT_TRUE(ReadRenameLog(run.job.logPath.Data(), run.fs, parser)) << c.name;
        EXPECT_TRUE(parser.IsRenameLog()) << c.name;
        EXPECT_EQ(2, parser.Sections()) << c.name;
        EXPECT_EQ(c.undoLines.size() + 1, steps.size() - parser.LastActStart()) << c.name;
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
        {"folder line alone", "<folder>\r\n", UndoNotALog, CallKinds},
        {"only failed steps", "<folder>\r\n000.txt\t->\ta.txt\tmove failed (error 5)\r\n", UndoNothingToTakeBack,
         CallKinds},
        {"only names that stayed", "<folder>\r\n000.txt\t->\t000.txt\r\n", UndoNothingToTakeBack, CallKinds},
        {"name over 255 bytes", "<folder>\r\n000.txt\t->\ta.txt\r\n<long>\t->\tb.txt\r\n", UndoNameTooLong, CallKinds},
        {"name holding a separator", "<folder>\r\n000.txt\t->\t../a.txt\r\n", UndoNameNotPlain, CallKinds},
        {"folder that is gone", "<missing>\r\n000.txt\t->\ta.txt\r\n", UndoFolderGone, CallKinds},
        {"folder that cannot be searched", "<folder>\r\n000.txt\t->\ta.txt\r\n", UndoFolderNotSearchable,
         CallFindFirst},
        {"log that cannot take the record", "<folder>\r\n000.txt\t->\ta.txt\r\n", UndoLogNotWritable, CallAppendLog},
        {"log that takes part of the record", "<folder>\r\n000.txt\t->\ta.txt\r\n", UndoLogNotWritable, CallWriteLog},
        {"one line of text", "shopping\r\n", UndoNotALog, CallKinds},
        {"no file where the log says", "<folder>\r\n000.txt\t->\tgone.txt\r\n", UndoNothingToTakeBack, CallKinds},
    };
    for (const RefusalCase& c : cases) {
        RunFixture run({"a.txt", "b.txt"});
        const std::string sep(1, TempFolder::Separator());
        std::string log;
        if (c.log) {
            log = c.log;
            for (const auto& hole : {std::make_pair(std::string("<folder>"), run.folder.Path()),
                                     std::make_pair(std::string("<missing>"), run.folder.PathOf("gone") + sep),
                                     std::make_pair(std::string("<long>"), longName)}) {
                size_t at = log.find(hole.first);
                if (at != std::string::npos)
                    log.replace(at, hole.first.size(), hole.second);
            }
            run.elsewhere.Write(run.logName, log);
        }
        if (c.fault != CallKinds)
            run.fs.Inject(c.fault, 0, c.fault == CallWriteLog ? FaultWriteHalf : FaultFail);
        UndoOutcome outcome;
        EXPECT_FALSE(Undo(run, outcome)) << c.name;
        EXPECT_EQ(c.refusal, outcome.refusal) << c.name;
        EXPECT_EQ((Names{"a.txt", "b.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ(log, run.Log()) << c.name;
    }
}

}  // namespace
