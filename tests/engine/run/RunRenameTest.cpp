#include "engine/RunProgress.h"
#include "engine/log/RenameLog.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunRename.h"
#include "engine/steps/FileSteps.h"
#include "engine/steps/TempNames.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <string>
#include <vector>

TEST(RunRename, TheWorkedExample)
{
    RunFixture run({"001.jpg", "002.jpg", "c.jpg"}, NameAscending);
    run.job.startNumber = 2;
    ASSERT_TRUE(run.Run());

    std::string expected = run.folder.Path() + "\r\n" +
                           "001.jpg\t->\t~ren0000.tmp\r\n"
                           "002.jpg\t->\t003.jpg\r\n"
                           "c.jpg\t->\t004.jpg\r\n"
                           "~ren0000.tmp\t->\t002.jpg\r\n";
    EXPECT_EQ(expected, run.Log());
    EXPECT_EQ((Names{"002.jpg", "003.jpg", "004.jpg"}), run.folder.Names());
    EXPECT_EQ("001.jpg", run.folder.Read("002.jpg"));
    EXPECT_EQ("002.jpg", run.folder.Read("003.jpg"));
    EXPECT_EQ("c.jpg", run.folder.Read("004.jpg"));
    EXPECT_EQ(1, nextTempNumber);
    EXPECT_EQ(3, run.outcome.fileCount);
    EXPECT_EQ(0, run.outcome.notRenamed);
    EXPECT_EQ(4, run.outcome.steps);
    EXPECT_EQ(run.outcome.steps, static_cast<int>(run.LogLines().size()));
    EXPECT_TRUE(run.outcome.logComplete);
    EXPECT_EQ(0, run.list.Count());
}

TEST(RunRename, TwoFilesExchangeTheirNames)
{
    RunFixture run({"000.txt", "001.txt"}, NameDescending);
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("001.txt", "~ren0000.tmp"), Line("000.txt", "001.txt"), Line("~ren0000.tmp", "000.txt")}),
              run.LogLines());
    EXPECT_EQ("001.txt", run.folder.Read("000.txt"));
    EXPECT_EQ("000.txt", run.folder.Read("001.txt"));
    EXPECT_EQ(1, nextTempNumber);
}

TEST(RunRename, HeaderIsTheFolderExactlyAsTyped)
{
    for (bool withSeparator : {false, true}) {
        RunFixture run;
        run.folder.MakeFolder("only a folder");
        run.TypeFolder(withSeparator);
        ASSERT_TRUE(run.Run());
        EXPECT_EQ(std::string(run.job.folder.Data()) + "\r\n", run.Log());
        EXPECT_EQ(0, run.outcome.fileCount);
    }
}

TEST(RunRename, ANameThatStaysIsLoggedOnBothSides)
{
    RunFixture run({"001.jpg"});
    run.job.startNumber = 1;
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(Names{Line("001.jpg", "001.jpg")}, run.LogLines());
    EXPECT_EQ(Names{"001.jpg"}, run.folder.Names());
}

TEST(RunRename, UnsortedFollowsTheListingAndRandomTheShuffle)
{
    RunFixture unsorted;
    unsorted.AddFiles({"b.txt", "a.txt", "c.txt"});
    unsorted.job.order = Unsorted;
    unsorted.job.logPath = unsorted.elsewhere.PathOf("u.txt").c_str();
    ASSERT_TRUE(unsorted.Run());
    // Windows and this program's POSIX search both list by name, ignoring case.
    EXPECT_EQ("a.txt", unsorted.folder.Read("000.txt"));
    EXPECT_EQ("b.txt", unsorted.folder.Read("001.txt"));

    RunFixture shuffled;
    shuffled.AddFiles({"a.txt", "b.txt", "c.txt"});
    shuffled.job.order = Random;
    uint32_t before = randomState;
    ASSERT_TRUE(shuffled.Run());
    uint32_t expectedState = before;
    for (int i = 0; i < 3; ++i)
        NextRandom(expectedState);
    EXPECT_EQ(expectedState, randomState);
    EXPECT_EQ((Names{"000.txt", "001.txt", "002.txt"}), shuffled.folder.Names());
}

TEST(RunRename, RunsThatDoNotStartTouchNothing)
{
    struct Case
    {
        const char* name;
        bool emptyFolder;
        const char* mask;
        bool missingFolder;
        RunRefusal refusal;
    } cases[] = {
        {"empty folder field", true, "*.*", false, RefusalFolderEmpty},
        {"mask matches nothing", false, "*.png", false, RefusalNothingMatches},
        {"folder does not exist", false, "*.*", true, RefusalFolderMissing},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt"});
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.mask = c.mask;
        if (c.emptyFolder)
            run.job.folder = "";
        if (c.missingFolder)
            run.job.folder = run.folder.PathOf("missing").c_str();
        EXPECT_FALSE(run.Run()) << c.name;
        EXPECT_EQ(c.refusal, run.outcome.refusal) << c.name;
        EXPECT_EQ("earlier log", run.Log()) << c.name;
        EXPECT_EQ(Names{"a.txt"}, run.folder.Names()) << c.name;
    }
}

TEST(RunRename, ALogThatCannotBeWrittenDoesNotStopTheRun)
{
    struct Case
    {
        const char* name;
        bool missingLogFolder;
        FileCall fault;
        bool noLogPath;
    } cases[] = {
        {"log folder missing", true, CallKinds, false},
        {"log not created", false, CallCreateLog, false},
        {"writes refused", false, CallWriteLog, false},
        {"no log asked for", false, CallKinds, true},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt"});
        if (c.missingLogFolder)
            run.job.logPath =
                run.elsewhere.PathOf("missing" + std::string(1, TempFolder::Separator()) + "log.txt").c_str();
        if (c.noLogPath)
            run.job.logPath = "";
        if (c.fault != CallKinds)
            run.fs.Inject(c.fault, 0, FaultFail);
        EXPECT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
        EXPECT_FALSE(run.outcome.logComplete) << c.name;
        EXPECT_EQ(!c.noLogPath, run.outcome.logAsked) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt"}), run.folder.Names()) << c.name;
    }
}

TEST(LogCanBeCreated, AnswersBeforeTheRunAndLeavesTheFolderAsItWas)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Write("log.txt", "a note of the user's"));
    folder.MakeFolder("sub");
    const struct
    {
        std::string name;
        bool creatable;
    } cases[] = {{"log.txt", true},
                 {"new.txt", true},
                 {"sub", false},
                 {"missing" + std::string(1, TempFolder::Separator()) + "x", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.creatable, LogCanBeCreated(folder.PathOf(c.name).c_str(), PlatformFileServices())) << c.name;
        EXPECT_EQ((Names{"log.txt", "sub"}), folder.Names()) << c.name;
        EXPECT_EQ("a note of the user's", folder.Read("log.txt")) << c.name;
    }
}

// Windows empties a hidden or system file only when given those attributes again, and opens
// a read-only one to write not at all: the check before the run answers as the run fares.
TEST(LogCanBeCreated, AnswersAsTheRunFaresWithTheFileThere)
{
    const struct
    {
        const char* name;
        uint32_t attributes;
        bool creatable;
    } cases[] = {
        {"plain", 0, true},      {"hidden", 2, true},
        {"system", 4, true},     {"hidden and system", 6, true},
        {"read-only", 1, false}, {"hidden and read-only", 3, false},
    };
    for (const auto& c : cases) {
        RunFixture run({"a.txt"});
        run.elsewhere.Write(run.logName, "earlier log");
        const std::string logPath = run.job.logPath.Data();
        run.fs.attributesOf = [&](const char* path) { return logPath == path ? c.attributes : 0u; };
        EXPECT_EQ(c.creatable, LogCanBeCreated(logPath.c_str(), run.fs)) << c.name;
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(c.creatable, run.outcome.logComplete) << c.name;
    }
}

TEST(RunRename, ASecondRunReplacesTheLog)
{
    RunFixture run({"a.txt", "b.txt"});
    ASSERT_TRUE(run.Run());
    run.job.startNumber = 10;
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("000.txt", "010.txt"), Line("001.txt", "011.txt")}), run.LogLines());
}

TEST(RunRename, AnExistingLogInTheFolderIsLeftOutOfTheBatch)
{
    struct Case
    {
        const char* name;
        bool logInFolder;
        Names after;
    } cases[] = {
        {"log in the folder", true, {"000.txt", "001.txt", "log.txt"}},
        // Only the name is the same: that file is one of the batch.
        {"log of that name elsewhere", false, {"000.txt", "001.txt", "002.txt"}},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt"}, NameAscending);
        run.folder.Write("log.txt", "earlier log");
        run.job.logPath = (c.logInFolder ? run.folder : run.elsewhere).PathOf("log.txt").c_str();
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(c.after, run.folder.Names()) << c.name;
        EXPECT_EQ(static_cast<int>(c.after.size()) - (c.logInFolder ? 1 : 0), run.outcome.fileCount) << c.name;
        EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
        EXPECT_EQ(run.outcome.fileCount, run.outcome.steps) << c.name;
        EXPECT_EQ(run.outcome.steps, static_cast<int>(run.LogLines().size())) << c.name;
        if (!c.logInFolder) {
            EXPECT_EQ("earlier log", run.folder.Read("002.txt")) << c.name;
        }
    }
}

TEST(RunRename, ATargetHeldOutsideTheBatchEndsTheWalkAndPutsTheFileBack)
{
    RunFixture run({"a.txt", "b.txt"});
    run.folder.MakeFolder("001.txt");
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("b.txt", "~ren0000.tmp"), Line("~ren0000.tmp", "~ren0001.tmp"),
                     Line("~ren0001.tmp", "b.txt")}),
              run.LogLines());
    EXPECT_EQ((Names{"000.txt", "001.txt", "b.txt"}), run.folder.Names());
    EXPECT_EQ("b.txt", run.folder.Read("b.txt"));
    EXPECT_EQ(1, run.outcome.notRenamed);
}

TEST(RunRename, OnlyALaterPassWithoutAFileReachingItsNameEndsTheWalk)
{
    const std::string moveFailed = "\tmove failed (error 5)";
    struct Case
    {
        const char* name;
        Names files;
        Names folders;
        const char* pattern;
        // The move from the first name to the second fails; none when empty.
        const char* failingFrom;
        const char* failingTo;
        Names log;
        Names after;
        int notRenamed;
        // The files the result names, with the reasons the log gives.
        Names named;
    } cases[] = {
        // No file arrives in the first pass; a.txt does in the second, b000.txt never does.
        {"first pass without progress",
         {"a.txt", "b000.txt"},
         {"b001.txt"},
         "b?",
         "",
         "",
         {Line("a.txt", "~ren0000.tmp"), Line("b000.txt", "~ren0001.tmp"), Line("~ren0000.tmp", "b000.txt"),
          Line("~ren0001.tmp", "~ren0002.tmp"), Line("~ren0002.tmp", "~ren0003.tmp"),
          Line("~ren0003.tmp", "b000.txt") + "\toriginal name taken, file left under its temporary name"},
         {"b000.txt", "b001.txt", "~ren0003.tmp"},
         1,
         {"b000.txt: original name taken, file left under its temporary name"}},
        // The failed move brings no file to its name: the second pass ends the walk.
        {"a failed step is no progress",
         {"a.txt", "b.txt"},
         {"000.txt", "001.txt"},
         "?",
         "~ren0000.tmp",
         "~ren0002.tmp",
         {Line("a.txt", "~ren0000.tmp"), Line("b.txt", "~ren0001.tmp"),
          Line("~ren0000.tmp", "~ren0002.tmp") + moveFailed, Line("~ren0000.tmp", "a.txt"),
          Line("~ren0001.tmp", "~ren0002.tmp"), Line("~ren0002.tmp", "b.txt")},
         {"000.txt", "001.txt", "a.txt", "b.txt"},
         2,
         {"a.txt: move failed", "b.txt: new name taken"}},
    };
    for (const Case& c : cases) {
        RunFixture run(c.files, NameAscending);
        for (const std::string& folder : c.folders)
            run.folder.MakeFolder(folder);
        run.job.SplitPattern(c.pattern);
        const std::string failingFrom = run.folder.PathOf(c.failingFrom);
        const std::string failingTo = run.folder.PathOf(c.failingTo);
        run.fs.failWhen = [&](FileCall call, const char* from, const char* to) {
            return call == CallMove && failingFrom == from && failingTo == to;
        };
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(c.log, run.LogLines()) << c.name;
        EXPECT_EQ(c.after, run.folder.Names()) << c.name;
        EXPECT_EQ(c.notRenamed, run.outcome.notRenamed) << c.name;
        EXPECT_EQ(static_cast<int>(c.log.size()), run.outcome.steps) << c.name;
        Names named;
        for (int i = 0; i < run.outcome.namedNotRenamed; ++i)
            named.push_back(std::string(run.outcome.notRenamedFiles[i].name) + ": " +
                            StepFailureText(run.outcome.notRenamedFiles[i].reason));
        EXPECT_EQ(c.named, named) << c.name;
    }
}

TEST(RunRename, TakenTemporaryNamesAreSkipped)
{
    RunFixture run({"000.jpg", "001.jpg", "002.jpg"}, NameAscending);
    run.folder.Write("~ren0001.tmp", "someone else's");
    run.job.mask = "*.jpg";
    run.job.startNumber = 1;
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("000.jpg", "~ren0000.tmp"), Line("001.jpg", "~ren0002.tmp"), Line("002.jpg", "003.jpg"),
                     Line("~ren0000.tmp", "001.jpg"), Line("~ren0002.tmp", "002.jpg")}),
              run.LogLines());
    EXPECT_EQ("someone else's", run.folder.Read("~ren0001.tmp"));
    EXPECT_EQ("000.jpg", run.folder.Read("001.jpg"));
    EXPECT_EQ(0, run.outcome.notRenamed);
}

TEST(RunRename, FailedMovesAreLoggedAndCounted)
{
    RunFixture run({"a.txt", "b.txt"});
    run.fs.Inject(CallMove, 1, FaultFail);
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("a.txt", "000.txt") + "\tmove failed (error 5)", Line("b.txt", "001.txt")}), run.LogLines());
    EXPECT_EQ((Names{"001.txt", "a.txt"}), run.folder.Names());
    EXPECT_EQ(1, run.outcome.notRenamed);
}

TEST(RunRename, AFileThatCannotLeaveItsTemporaryNameGoesBack)
{
    RunFixture run({"001.jpg", "002.jpg", "c.jpg"}, NameAscending);
    run.job.startNumber = 2;
    run.fs.failWhen = [&](FileCall call, const char* from, const char* to) {
        return call == CallMove && run.folder.PathOf("~ren0000.tmp") == from && run.folder.PathOf("002.jpg") == to;
    };
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{Line("001.jpg", "~ren0000.tmp"), Line("002.jpg", "003.jpg"), Line("c.jpg", "004.jpg"),
                     Line("~ren0000.tmp", "002.jpg") + "\tmove failed (error 5)", Line("~ren0000.tmp", "001.jpg")}),
              run.LogLines());
    EXPECT_EQ((Names{"001.jpg", "003.jpg", "004.jpg"}), run.folder.Names());
    EXPECT_EQ("001.jpg", run.folder.Read("001.jpg"));
    EXPECT_EQ(1, run.outcome.notRenamed);
}

TEST(RunRename, AnExistenceTestThatErrsNeverCostsAFile)
{
    RunFixture run({"000.txt", "001.txt"}, NameDescending);
    run.fs.Inject(CallExists, 0, FaultFail);
    ASSERT_TRUE(run.Run());
    EXPECT_EQ("001.txt", run.folder.Read("000.txt"));
    EXPECT_EQ("000.txt", run.folder.Read("001.txt"));
    EXPECT_EQ(0, run.outcome.notRenamed);
}

namespace {

// Asked to stop while the folder was listed, ordered and numbered.
class StoppedEarly : public RunProgress
{
public:
    bool Continue(const WalkProgress&) override { return false; }
    bool StopAsked() override { return true; }
};

}  // namespace

TEST(RunRename, RefusalsComeBeforeAnyMoveAndAnyLog)
{
    struct Case
    {
        const char* name;
        uint32_t start;
        std::string pattern;
        RunRefusal refusal;
        const char* refusedName;
    } cases[] = {
        {"numbers pass the largest", 2147483647u, "?", RefusalNumberTooLarge, "b.txt"},
        {"start number too large", 4294967295u, "?", RefusalNumberTooLarge, "a.txt"},
        {"new name too long", 0, std::string(250, 'p') + "?", RefusalNewNameTooLong, "a.txt"},
        {"stopped before the first move", 0, "?", RefusalStopped, ""},
    };
    for (const Case& c : cases) {
        RunFixture run(NameAscending);
        StoppedEarly early;
        if (c.refusal == RefusalStopped)
            run.progress = &early;
        run.AddFiles({"a.txt", "b.txt"});
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.startNumber = static_cast<int32_t>(c.start);
        run.job.SplitPattern(c.pattern.c_str());
        EXPECT_FALSE(run.Run()) << c.name;
        EXPECT_EQ(c.refusal, run.outcome.refusal) << c.name;
        EXPECT_STREQ(c.refusedName, run.outcome.refusedName) << c.name;
        EXPECT_EQ((Names{"a.txt", "b.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ("earlier log", run.Log()) << c.name;
        EXPECT_EQ(0, run.list.Count());
    }
}

TEST(RunRename, TheLargestNumberItselfIsAllowed)
{
    RunFixture run({"a.txt", "b.txt"}, NameAscending);
    run.job.startNumber = 2147483646;
    run.job.padDigits = 0;
    ASSERT_TRUE(run.Run());
    EXPECT_EQ((Names{"2147483646.txt", "2147483647.txt"}), run.folder.Names());
}

TEST(RunRename, AListingThatBreaksOffIsRefused)
{
    RunFixture run({"a.txt", "b.txt", "c.txt"});
    run.fs.Inject(CallFindNext, 2, FaultFail);
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(RefusalListingFailed, run.outcome.refusal);
    EXPECT_EQ((Names{"a.txt", "b.txt", "c.txt"}), run.folder.Names());
    EXPECT_EQ("", run.Log());
}

TEST(RunRename, ARenameThatChangesOnlyLetterCase)
{
    RunFixture run({"ABC001.txt"});
    run.job.SplitPattern("abc?");
    run.job.startNumber = 1;
    ASSERT_TRUE(run.Run());
#ifdef _WIN32
    // The file system ignores case: the new name counts as taken by the file itself.
    EXPECT_EQ((Names{Line("ABC001.txt", "~ren0000.tmp"), Line("~ren0000.tmp", "abc001.txt")}), run.LogLines());
#else
    EXPECT_EQ((Names{Line("ABC001.txt", "abc001.txt")}), run.LogLines());
#endif
    EXPECT_EQ(Names{"abc001.txt"}, run.folder.Names());
    EXPECT_EQ("ABC001.txt", run.folder.Read("abc001.txt"));
}

TEST(WriteLogLine, NamesOf255BytesMakeAWholeLine)
{
    TempFolder folder;
    FileServices& fs = PlatformFileServices();
    std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), "a", fs);
    std::string from(255, 'f');
    std::string to(255, 't');
    std::strcpy(entry->loggedFrom, from.c_str());
    std::strcpy(entry->loggedTo, to.c_str());
    {
        LogWriter log(fs);
        log.Open(folder.PathOf("log.txt").c_str());
        WriteLogLine(*entry, log);
        EXPECT_TRUE(log.Complete());
    }
    std::string line = folder.Read("log.txt");
    EXPECT_EQ(516u, line.size());
    EXPECT_EQ(from + "\t->\t" + to + "\r\n", line);
}

#ifndef _WIN32
TEST(RunRename, AFolderGivenAsTheRoot)
{
    RunFixture run({"a.txt", "b.txt"});
    run.folder.MakeFolder("elsewhere");
    // A child whose root is the fixture's folder runs the batch on "/", from another current
    // folder, so that a path that lost its root leads nowhere.
    pid_t child = fork();
    if (child == 0) {
        if ((geteuid() != 0 && unshare(CLONE_NEWUSER) != 0) || chroot(run.folder.Path().c_str()) != 0 ||
            chdir("/elsewhere") != 0 || access("/", W_OK) != 0)
            _exit(2);
        run.job.folder = "/";
        run.job.logPath = "/log.txt";
        run.job.order = NameAscending;
        _exit(run.Run() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no folder can be made the root here";
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ((Names{"000.txt", "001.txt", "elsewhere", "log.txt"}), run.folder.Names());
    EXPECT_EQ("/\r\n" + Line("a.txt", "000.txt") + "\r\n" + Line("b.txt", "001.txt") + "\r\n",
              run.folder.Read("log.txt"));
}
#endif

#ifdef _WIN32
TEST(RunRename, AFolderEndingInADoubleByteCharacterGetsItsSeparator)
{
    TempFolder parent;
    // ソ (83 5C) ends the folder's name: its second byte is no separator.
    const std::string folderName = "\x83\x5C";
    ASSERT_TRUE(parent.MakeFolder(folderName));
    std::string folder = parent.PathOf(folderName);
    parent.Write(folderName + "\\a.txt", "a");
    parent.Write(folderName + "\\\x95\x5C.txt", "hyou");

    RunFixture run(NameAscending);
    run.job.folder = folder.c_str();
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(0, run.outcome.notRenamed);
    EXPECT_EQ("a", ReadWholeFile(folder + "\\000.txt"));
    EXPECT_EQ("hyou", ReadWholeFile(folder + "\\001.txt"));
    EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("\x95\x5C.txt", "001.txt")}), run.LogLines());
}
#endif
