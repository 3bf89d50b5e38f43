#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"
#include "engine/undo/HistoryUndo.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Runs whose records the history keeps, in the fixture's folder and a second one; the history
// is read afresh before each run, undo and redo, as the window does.
struct Kept : RunFixture
{
    Kept() : history(elsewhere.PathOf("history"), fs) {}

    bool RunKept(FileServices& through)
    {
        history.Load();
        return RunRename(job, list, through, outcome, nullptr, &history);
    }
    bool RunKept() { return RunKept(fs); }
    // The undo or redo the history chooses, made: the folder it took back, empty when refused.
    std::string Undo(bool redo = false)
    {
        history.Load();
        UndoChoice choice;
        UndoOutcome planned, made;
        if (!(redo ? ChooseRedo(history, fs, choice, planned)
                   : ChooseUndo(history, job.logPath.Data(), fs, choice, planned)))
            return std::string();
        return UndoRun(choice.path.c_str(), fs, made) && made.notBack == 0 ? planned.folder : "not all back";
    }
    std::string Full(const TempFolder& of) { return RecordFolder(of.Path().c_str(), fs); }

    TempFolder two;
    RunHistory history;
};

TEST(HistoryUndo, TakesBackRunsOfSeveralFoldersNewestFirstAndMakesThemAgainInTurn)
{
    Kept run;
    run.AddFiles({"a.txt", "b.txt"});
    AddFiles(run.two, {"c.txt"});
    const Contents beforeOne = ContentsOf(run.folder), beforeTwo = ContentsOf(run.two);
    ASSERT_TRUE(run.Run());
    const std::string logWithoutHistory = run.Log();
    UndoOutcome outcome;
    ASSERT_TRUE(UndoRun(run.job.logPath.Data(), run.fs, outcome));

    ASSERT_TRUE(run.RunKept());
    EXPECT_EQ(logWithoutHistory, run.Log());
    const Contents afterA = ContentsOf(run.folder);
    // The same job again moves nothing, and hides the run before it from no undo.
    ASSERT_TRUE(run.RunKept());
    run.job.folder = run.two.Path().c_str();
    ASSERT_TRUE(run.RunKept());
    const Contents afterB = ContentsOf(run.two);
    run.TypeFolder(true);
    run.job.startNumber = 10;
    ASSERT_TRUE(run.RunKept());

    EXPECT_EQ(run.Full(run.folder), run.Undo());
    EXPECT_EQ(run.Full(run.two), run.Undo());
    EXPECT_EQ(run.Full(run.folder), run.Undo());
    EXPECT_EQ(beforeOne, ContentsOf(run.folder));
    EXPECT_EQ(beforeTwo, ContentsOf(run.two));
    // The log at the log path holds the last run, which the history has taken back already.
    EXPECT_EQ("", run.Undo());

    EXPECT_EQ(run.Full(run.folder), run.Undo(true));
    EXPECT_EQ(afterA, ContentsOf(run.folder));
    EXPECT_EQ(run.Full(run.two), run.Undo(true));
    EXPECT_EQ(afterB, ContentsOf(run.two));
    // After a new run, the last run, still taken back, can never be made again.
    ASSERT_TRUE(run.RunKept());
    EXPECT_EQ("", run.Undo(true));
    EXPECT_EQ(run.Full(run.folder), run.Undo());
    EXPECT_EQ(afterA, ContentsOf(run.folder));
}

TEST(HistoryUndo, ARunThatDidNotFinishHoldsBackItsFolderUntilTakenBack)
{
    // b.txt goes aside, 000.txt to 002.txt, b.txt on to 000.txt: killed after the first or
    // the second move.
    for (int killedAfter = 1; killedAfter <= 2; ++killedAfter) {
        Kept run;
        // Without a log at the log path every write is the record's.
        run.job.logPath = "";
        run.job.order = NameDescending;
        run.AddFiles({"000.txt", "001.txt", "b.txt"});
        AddFiles(run.two, {"c.txt"});
        const Contents before = ContentsOf(run.folder);
        FaultyFileServices dying(PlatformFileServices());
        DieAfterMove(dying, killedAfter, 0);
        run.RunKept(dying);
        const Names left = run.folder.Names();

        EXPECT_FALSE(run.RunKept()) << killedAfter;
        EXPECT_EQ(RefusalUnfinishedRun, run.outcome.refusal) << killedAfter;
        RunPreview preview;
        EXPECT_FALSE(PreviewRun(run.job, run.fs, randomState, preview, nullptr, &run.history)) << killedAfter;
        EXPECT_EQ(RefusalUnfinishedRun, preview.outcome.refusal) << killedAfter;
        EXPECT_EQ(left, run.folder.Names()) << killedAfter;

        run.job.folder = run.two.Path().c_str();
        EXPECT_TRUE(run.RunKept()) << killedAfter;
        EXPECT_EQ(run.Full(run.two), run.Undo()) << killedAfter;
        EXPECT_EQ(run.Full(run.folder), run.Undo()) << killedAfter;
        EXPECT_EQ(before, ContentsOf(run.folder)) << killedAfter;
        run.TypeFolder(false);
        EXPECT_TRUE(run.RunKept()) << killedAfter;
    }
}

TEST(HistoryUndo, AnUnfinishedRunWithNoFileLeftHoldsBackItsFolderNoLonger)
{
    Kept run;
    run.job.logPath = "";
    run.AddFiles({"a.txt", "b.txt"});
    FaultyFileServices dying(PlatformFileServices());
    DieAfterMove(dying, 1, 0);
    run.RunKept(dying);
    for (const std::string& name : run.folder.Names())
        ASSERT_EQ(0, std::remove(run.folder.PathOf(name).c_str()));
    run.history.Load();
    const int index = run.history.UnfinishedIn(run.Full(run.folder));
    ASSERT_GE(index, 0);
    UndoOutcome outcome;
    EXPECT_FALSE(PlanUnfinished(run.history.Records()[static_cast<size_t>(index)], run.history, run.fs, outcome));
    EXPECT_EQ(UndoNothingToTakeBack, outcome.refusal);
    run.AddFiles({"c.txt"});
    EXPECT_TRUE(run.RunKept());
}

TEST(HistoryUndo, ARunWhoseRecordCannotBeMadeMovesNothing)
{
    for (bool historyIsAFile : {false, true}) {
        Kept run;
        run.AddFiles({"a.txt"});
        run.elsewhere.Write(run.logName, "earlier log");
        if (historyIsAFile)
            run.elsewhere.Write("history", "a file");
        else
            run.fs.Inject(CallCreateLog, 1, FaultFail);
        EXPECT_FALSE(run.RunKept()) << historyIsAFile;
        EXPECT_EQ(RefusalHistoryNotWritable, run.outcome.refusal) << historyIsAFile;
        EXPECT_EQ(Names{"a.txt"}, run.folder.Names()) << historyIsAFile;
        EXPECT_EQ("earlier log", run.Log()) << historyIsAFile;
    }
}

TEST(HistoryUndo, ARecordThatStopsTakingWritesStopsTheRunAndTakesItBack)
{
    // The record takes its folder line, the moves of b.txt aside and 000.txt to 002.txt, the
    // move of b.txt on to 000.txt, and its finishing line, in four writes. A write fails, and
    // every one after it too, or the next ones land again.
    for (int failing = 2; failing <= 4; ++failing) {
        for (bool onwards : {true, false}) {
            const std::string what = std::to_string(failing) + (onwards ? " onwards" : " alone");
            Kept run;
            run.job.logPath = "";
            run.job.order = NameDescending;
            run.AddFiles({"000.txt", "001.txt", "b.txt"});
            const Contents before = ContentsOf(run.folder);
            FaultyFileServices full(PlatformFileServices());
            if (onwards)
                full.InjectFrom(CallWriteLog, failing, FaultFail);
            else
                full.Inject(CallWriteLog, failing, FaultFail);
            ASSERT_TRUE(run.RunKept(full)) << what;
            EXPECT_EQ(failing == 2, run.outcome.stopped) << what;
            EXPECT_TRUE(run.outcome.recordAsked && !run.outcome.recordComplete) << what;
            run.Undo();
            EXPECT_EQ(before, ContentsOf(run.folder)) << what;
        }
    }
}

TEST(HistoryUndo, ARecordIsNotTakenBackInAFolderOfItsNameOnAnotherVolume)
{
    Kept run;
    run.AddFiles({"a.txt"});
    ASSERT_TRUE(run.RunKept());
    run.history.Load();
    // The last digit of the volume comes right before ".log".
    const std::string path = run.history.Records()[0].path;
    std::string moved = path;
    moved[moved.size() - 5] = moved[moved.size() - 5] == '1' ? '2' : '1';
    ASSERT_EQ(0, std::rename(path.c_str(), moved.c_str()));
    run.history.Load();
    UndoOutcome outcome;
    EXPECT_FALSE(PlanRecordUndo(run.history.Records()[0], run.history, run.fs, outcome));
    EXPECT_EQ(UndoFolderGone, outcome.refusal);
    EXPECT_EQ("", run.Undo());
    EXPECT_EQ(Names{"000.txt"}, run.folder.Names());
}

}  // namespace
