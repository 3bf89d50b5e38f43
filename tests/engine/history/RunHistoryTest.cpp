#include "engine/history/RunHistory.h"
#include "engine/log/LogFormat.h"
#include "tests/support/FolderFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum Kind
{
    Done,
    MovedNothing,
    TakenBack,
    RunOpen,
    RunOpenMovedNothing,
    UndoOpen,
    RedoOpen,
    Redone,
    Junk
};

struct KindRead
{
    std::string bytes;
    RecordState state;
    bool moves;
};

// A record of each kind, its folder line "@", and what the history reads of it.
std::vector<KindRead> Kinds()
{
    const std::string ran = "@a\t->\tb\r\n" + std::string(kRunFinishedLine) + "\r\n", undo = "\r\n@b\t->\ta\r\n";
    const std::string back = ran + undo + kUndoFinishedLine + "\r\n", redo = "\r\n@a\t->\tb\r\n";
    return {
        {ran, RecordDone, true},
        {"@a\t->\ta\r\n" + std::string(kRunFinishedLine) + "\r\n", RecordDone, false},
        {back, RecordTakenBack, true},
        {"@a\t->\tb\r\n", RecordRunOpen, true},
        {"@a\t->\ta\r\nb\t->\tc\tmove failed\r\n", RecordRunOpen, false},
        {ran + undo, RecordUndoOpen, true},
        {back + redo, RecordRedoOpen, true},
        {back + redo + kUndoFinishedLine + "\r\n", RecordDone, true},
        {"shopping\r\n", RecordUnreadable, false},
    };
}

std::string RecordName(int number, uint64_t volume, bool sealed)
{
    char name[64];
    std::snprintf(name, sizeof name, "%08d-20190501-100000-%016llx.%s", number, static_cast<unsigned long long>(volume),
                  sealed ? "old" : "log");
    return name;
}

struct Written
{
    Kind kind;
    // Of the two folders.
    int folder;
    bool sealed = false;
    // The record names a volume the folder is not on.
    bool otherVolume = false;
};

// A history whose records are written by hand, of two folders.
struct HandHistory
{
    HandHistory() : history(store.Path(), PlatformFileServices())
    {
        for (const TempFolder* folder : {&one, &two})
            full.push_back(RecordFolder(folder->Path().c_str(), PlatformFileServices()));
    }

    void Write(int number, const Written& record)
    {
        std::string bytes = Kinds()[record.kind].bytes;
        for (size_t at; (at = bytes.find('@')) != std::string::npos;)
            bytes.replace(at, 1, full[record.folder] + "\r\n");
        const uint64_t volume = history.VolumeOf(full[record.folder]) + (record.otherVolume ? 1 : 0);
        store.Write(RecordName(number, volume, record.sealed), bytes);
    }

    TempFolder store, one, two;
    std::vector<std::string> full;
    RunHistory history;
};

TEST(RunHistory, TakesOnlyItsOwnRecordNames)
{
    const Names records{"00000042-20261209-161500-00000000c0ffee00.log",
                        "00000043-20261209-161500-00000000c0ffee00.old"};
    const Names others{"00000044-20261209-161500-00000000c0ffee00.txt", "0000045-20261209-161500-00000000c0ffee00.log",
                       "0000004a-20261209-161500-00000000c0ffee00.log", "00000048-20261209-161500-00000000C0FFEE00.log",
                       "00000049_20261209-161500-00000000c0ffee00.log"};
    HandHistory hand;
    for (const Names& names : {records, others}) {
        for (const std::string& name : names)
            hand.store.Write(name, "shopping\r\n");
    }
    ASSERT_TRUE(hand.history.Load());
    Names taken;
    for (const HistoryRecord& record : hand.history.Records())
        taken.push_back(record.path.substr(hand.store.Slash().size()));
    EXPECT_EQ(records, taken);
    const HistoryRecord& first = hand.history.Records()[0];
    EXPECT_EQ(42u, first.number);
    EXPECT_EQ("2026/12/09 16:15:00", first.made);
    EXPECT_EQ(0xc0ffee00u, first.volume);
    EXPECT_TRUE(!first.sealed && hand.history.Records()[1].sealed);
}

TEST(RunHistory, ChoosesWhatTheNextUndoAndRedoTakeAndWhatHoldsAFolderBack)
{
    // unfinished: UnfinishedIn the first folder and the second.
    const struct
    {
        const char* name;
        std::vector<Written> records;
        int nextUndo, nextRedo, unfinished[2];
    } cases[] = {
        {"the newest run that moved a file", {{Done, 0}, {Done, 1}, {MovedNothing, 0}}, 1, -1, {-1, -1}},
        {"runs taken back newest first, made again in turn",
         {{Done, 0}, {TakenBack, 0}, {TakenBack, 1}},
         0,
         1,
         {-1, -1}},
        {"sealed runs are never made again",
         {{TakenBack, 0, true}, {TakenBack, 1, true}, {Redone, 0}},
         2,
         -1,
         {-1, -1}},
        {"a run that did not finish", {{RunOpen, 0}, {Done, 1}, {Junk, 1}}, 1, -1, {0, -1}},
        {"a run cut short before its first move", {{RunOpenMovedNothing, 0}}, 0, -1, {-1, -1}},
        {"a run that did not finish, of a folder of that name elsewhere", {{RunOpen, 0, false, true}}, 0, -1, {-1, -1}},
        {"undos that did not finish, a redo finished first", {{UndoOpen, 0}, {RedoOpen, 1}, {Junk, 0}}, 1, 1, {0, 1}},
    };
    for (const auto& c : cases) {
        HandHistory hand;
        for (size_t i = 0; i < c.records.size(); ++i)
            hand.Write(static_cast<int>(i) + 1, c.records[i]);
        ASSERT_TRUE(hand.history.Load()) << c.name;
        ASSERT_EQ(c.records.size(), hand.history.Records().size()) << c.name;
        for (size_t i = 0; i < c.records.size(); ++i) {
            const KindRead read = Kinds()[c.records[i].kind];
            EXPECT_EQ(read.state, hand.history.Records()[i].state) << c.name << ", record " << i;
            EXPECT_EQ(read.moves, hand.history.Records()[i].moves) << c.name << ", record " << i;
        }
        EXPECT_EQ(c.nextUndo, hand.history.NextUndo()) << c.name;
        EXPECT_EQ(c.nextRedo, hand.history.NextRedo()) << c.name;
        EXPECT_EQ(c.unfinished[0], hand.history.UnfinishedIn(hand.full[0])) << c.name;
        EXPECT_EQ(c.unfinished[1], hand.history.UnfinishedIn(hand.full[1])) << c.name;
    }
}

TEST(RunHistory, ANewRunSealsWhatWasTakenBackAndTrimsAllButOpenRecords)
{
    HandHistory hand;
    for (int number = 1; number <= kHistoryRecords; ++number)
        hand.Write(number, {number == 1 ? RunOpen : number == kHistoryRecords ? TakenBack : Done, 0});
    ASSERT_TRUE(hand.history.Load());
    const uint64_t volume = hand.history.VolumeOf(hand.full[0]);
    EXPECT_EQ(hand.store.PathOf(RecordName(kHistoryRecords + 1, volume, false)),
              hand.history.NewRecordPath(hand.full[0], 1556704800));
    const Names names = hand.store.Names();
    EXPECT_EQ(static_cast<size_t>(kHistoryRecords - 1), names.size());
    EXPECT_EQ(RecordName(1, volume, false), names.front());
    EXPECT_EQ(RecordName(3, volume, false), names[1]);
    EXPECT_EQ(RecordName(kHistoryRecords, volume, true), names.back());
}

}  // namespace
