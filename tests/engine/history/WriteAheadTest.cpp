#include "engine/history/RunHistory.h"
#include "engine/order/Ordering.h"
#include "engine/undo/HistoryUndo.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PowerCutCase
{
    const char* name;
    Names files;
    int32_t startNumber;
    int32_t order;
};

// Undoes from the history, as a new process would, until nothing is left to take back.
// Returns the files the undos named as not back.
int UndoEverything(const TempFolder& history)
{
    int named = 0;
    for (int undo = 0; undo < 4; ++undo) {
        FaultyFileServices fs(PlatformFileServices());
        RunHistory records(history.Path(), fs);
        EXPECT_TRUE(records.Load());
        UndoChoice choice;
        UndoOutcome outcome;
        if (!ChooseUndo(records, "", fs, choice, outcome))
            break;
        EXPECT_TRUE(UndoRun(choice.path.c_str(), fs, outcome));
        named += outcome.FilesNotBack();
    }
    return named;
}

// A power cut at any move of a run, whatever it does to the writes not yet flushed: the next
// undos bring every file back to its name before the run.
TEST(WriteAhead, APowerCutAtAnyMoveLosesNoName)
{
    const PowerCutCase cases[] = {
        {"fresh names", {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, 0, NameAscending},
        {"a shift by one", {"000.jpg", "001.jpg", "002.jpg", "003.jpg"}, 1, NameAscending},
        {"the order reversed", {"000.jpg", "001.jpg", "002.jpg", "003.jpg"}, 0, NameDescending},
    };
    for (const PowerCutCase& c : cases) {
        for (int kind = CutWholly; kind <= CutToNuls; ++kind) {
            for (int cutAt = 1;; ++cutAt) {
                RunFixture run(c.order);
                TempFolder history;
                run.AddFiles(c.files);
                run.job.startNumber = c.startNumber;
                const Contents before = ContentsOf(run.folder);
                bool dead = false;
                run.fs.beforeCall = [&](FileCall call, int nth, const char*, const char*) {
                    dead = dead || (call == CallMove && nth == cutAt);
                };
                run.fs.failWhen = [&](FileCall, const char*, const char*) { return dead; };
                RunHistory records(history.Path(), run.fs);
                ASSERT_TRUE(records.Load());
                RunRename(run.job, run.list, run.fs, run.outcome, nullptr, &records);
                run.fs.CutPower(static_cast<PowerCutKind>(kind), static_cast<unsigned>(cutAt));
                const std::string where =
                    std::string(c.name) + ", cut " + std::to_string(kind) + " at move " + std::to_string(cutAt);
                EXPECT_EQ(0, UndoEverything(history)) << where;
                EXPECT_EQ(before, ContentsOf(run.folder)) << where;
                if (!dead)
                    break;
            }
        }
    }
}

struct GuessCase
{
    const char* name;
    const char* mask;
    Names files;
    int32_t startNumber;
    int32_t order;
    int flushes;
};

// The folder's names are learnt once, and kept up to date with every move: each batch of
// moves costs one flush, and no move is announced alone because a guess went wrong.
TEST(WriteAhead, RightGuessesCostOneFlushPerBatch)
{
    Names masked = NumberedNames("img%03d.jpg", 0, 300);
    masked.push_back("001.jpg");
    const GuessCase cases[] = {
        {"fresh names", "*.*", NumberedNames("img%03d.jpg", 0, 300), 0, NameAscending, 4},
        {"a shift by one", "*", NumberedNames("%03d.jpg", 0, 300), 1, NameAscending, 5},
        {"the order reversed", "*.*", NumberedNames("%03d.jpg", 0, 300), 0, NameDescending, 6},
        {"a file outside the mask holds a new name", "img*", masked, 0, NameAscending, 6},
    };
    for (const GuessCase& c : cases) {
        RunFixture run(c.order);
        TempFolder history;
        run.AddFiles(c.files);
        run.job.mask = c.mask;
        run.job.startNumber = c.startNumber;
        RunHistory records(history.Path(), run.fs);
        ASSERT_TRUE(records.Load());
        EXPECT_TRUE(RunRename(run.job, run.list, run.fs, run.outcome, nullptr, &records)) << c.name;
        EXPECT_EQ(c.flushes, run.fs.Calls(CallFlushLog)) << c.name;
    }
}

}  // namespace
