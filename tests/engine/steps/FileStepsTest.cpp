#include "engine/FileEntry.h"
#include "engine/steps/TempNames.h"
#ifndef _WIN32
#include "engine/platform/PosixRename.h"
#endif
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

int32_t ProbedIn(const TempFolder& folder, bool withSeparator, FileServices& fs)
{
    nextTempNumber = -7;
    ProbeTempNumber((withSeparator ? folder.Slash() : folder.Path()).c_str(), fs);
    return nextTempNumber;
}

// Natively each case runs a second time as on a file system without a rename that never
// replaces, so that the move falls back on a new link and the removal of the old one.
#ifndef _WIN32
const int kMoveKinds = 2;
void UseLinkFallback(bool on)
{
    static const RenameNoReplace system = renameNoReplace;
    renameNoReplace = on ? +[](int, const char*, int, const char*) { errno = EINVAL; return -1; } : system;
}
#else
const int kMoveKinds = 1;
void UseLinkFallback(bool) {}
#endif

}  // namespace

TEST(ProbeTempNumber, StopsAtTheFirstFreeNumber)
{
    struct Case
    {
        Names present;
        int32_t expected;
    } cases[] = {
        {{}, 0},
        {{"~ren0000.tmp", "~ren0001.tmp"}, 2},
        {{"~ren0000.tmp", "~ren0002.tmp"}, 1},
        {{"~ren0001.tmp"}, 0},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        AddFiles(folder, c.present);
        FileServices& fs = PlatformFileServices();
        EXPECT_EQ(c.expected, ProbedIn(folder, false, fs));
        EXPECT_EQ(c.expected, ProbedIn(folder, true, fs));
    }
}

TEST(ProbeTempNumber, MissingFolderLeavesTheCounterAlone)
{
    TempFolder folder;
    nextTempNumber = 42;
    ProbeTempNumber(folder.PathOf("missing").c_str(), PlatformFileServices());
    EXPECT_EQ(42, nextTempNumber);
    ProbeTempNumber(nullptr, PlatformFileServices());
    EXPECT_EQ(42, nextTempNumber);
}

TEST(ProbeTempNumber, ARootIsTestedWithItsSeparator)
{
    FaultyFileServices fs(PlatformFileServices());
    std::string tested;
    fs.beforeCall = [&tested](FileCall call, int, const char* first, const char*) {
        if (call == CallFolderExists)
            tested = first;
    };
#ifdef _WIN32
    const char* root = "C:\\";
#else
    const char* root = "/";
#endif
    ProbeTempNumber(root, fs);
    EXPECT_EQ(root, tested);
}

TEST(TempName, NumbersOfFiveDigitsAndMoreFit)
{
    FileServices& fs = PlatformFileServices();
    struct Case
    {
        int32_t number;
        const char* name;
    } cases[] = {
        {0, "~ren0000.tmp"},
        {42, "~ren0042.tmp"},
        {9999, "~ren9999.tmp"},
        {10000, "~ren10000.tmp"},
        {2147483647, "~ren2147483647.tmp"},
    };
    for (const Case& c : cases) {
        char name[kFormatBufferSize];
        FormatTempName(name, c.number, fs);
        EXPECT_STREQ(c.name, name);
    }
}

TEST(RenameEntry, OneStepByTheStateOfTheTarget)
{
    struct Case
    {
        const char* current;
        const char* target;
        Names present;
        RenameStep step;
        const char* loggedTo;
        const char* currentAfter;
        int32_t tempAfter;
        Names after;
    } cases[] = {
        {"001.txt", "001.txt", {"001.txt"}, StepDone, "001.txt", "001.txt", 5, {"001.txt"}},
        {"a.txt", "000.txt", {"a.txt"}, StepDone, "000.txt", "a.txt", 5, {"000.txt"}},
        {"a.txt",
         "000.txt",
         {"a.txt", "000.txt"},
         StepWaiting,
         "~ren0005.tmp",
         "~ren0005.tmp",
         6,
         {"000.txt", "~ren0005.tmp"}},
        // A temporary name taken since the probe is skipped, never assumed.
        {"a.txt",
         "000.txt",
         {"a.txt", "000.txt", "~ren0005.tmp", "~ren0006.tmp"},
         StepWaiting,
         "~ren0007.tmp",
         "~ren0007.tmp",
         8,
         {"000.txt", "~ren0005.tmp", "~ren0006.tmp", "~ren0007.tmp"}},
    };
    FileServices& fs = PlatformFileServices();
    for (int kind = 0; kind < kMoveKinds; ++kind) {
        UseLinkFallback(kind == 1);
        for (const Case& c : cases) {
            TempFolder folder;
            AddFiles(folder, c.present);
            std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), c.current, fs);
            std::strcpy(entry->newName, c.target);
            nextTempNumber = 5;
            EXPECT_EQ(c.step, entry->RenameEntry(fs)) << c.current << " " << c.target;
            EXPECT_STREQ(c.current, entry->loggedFrom);
            EXPECT_STREQ(c.loggedTo, entry->loggedTo);
            EXPECT_STREQ(c.currentAfter, entry->currentName);
            EXPECT_EQ(c.tempAfter, nextTempNumber);
            EXPECT_EQ(c.after, folder.Names());
            EXPECT_EQ(nullptr, StepFailureText(entry->stepFailure));
            EXPECT_EQ(c.current, folder.Read(c.loggedTo)) << kind;
        }
    }
    UseLinkFallback(false);
}

TEST(RenameEntry, TemporaryNumbersPastTenThousand)
{
    TempFolder folder;
    folder.Write("a.txt", "a");
    folder.Write("b.txt", "b");
    FileServices& fs = PlatformFileServices();
    std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), "a.txt", fs);
    std::strcpy(entry->newName, "b.txt");
    nextTempNumber = 10000;
    EXPECT_EQ(StepWaiting, entry->RenameEntry(fs));
    EXPECT_STREQ("~ren10000.tmp", entry->currentName);
    EXPECT_EQ("a", folder.Read("~ren10000.tmp"));
}

TEST(RenameEntry, AFailedMoveKeepsTheNameTheFileHas)
{
    struct Case
    {
        Names present;
        const char* target;
        RenameStep step;
    } cases[] = {
        {{"a.txt"}, "000.txt", StepFailed},             // direct move fails
        {{"000.txt", "a.txt"}, "000.txt", StepFailed},  // move aside fails
    };
    for (const Case& c : cases) {
        TempFolder folder;
        AddFiles(folder, c.present);
        FaultyFileServices fs(PlatformFileServices());
        fs.Inject(CallMove, 0, FaultFail);
        std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), "a.txt", fs);
        std::strcpy(entry->newName, c.target);
        nextTempNumber = 0;
        EXPECT_EQ(c.step, entry->RenameEntry(fs));
        EXPECT_STREQ("a.txt", entry->currentName);
        EXPECT_STREQ("move failed", StepFailureText(entry->stepFailure));
        EXPECT_EQ(5, entry->stepError);
        EXPECT_EQ(c.present, folder.Names());
    }
}

TEST(RenameEntry, ATargetThatAppearsBeforeTheMoveIsNeverReplaced)
{
    TempFolder folder;
    folder.Write("a.txt", "a");
    FaultyFileServices fs(PlatformFileServices());
    fs.beforeCall = [&folder](FileCall call, int nth, const char*, const char*) {
        if (call == CallMove && nth == 1)
            folder.Write("000.txt", "intruder");
    };
    std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), "a.txt", fs);
    std::strcpy(entry->newName, "000.txt");
    nextTempNumber = 0;
    EXPECT_EQ(StepWaiting, entry->RenameEntry(fs));
    EXPECT_EQ("intruder", folder.Read("000.txt"));
    EXPECT_EQ("a", folder.Read("~ren0000.tmp"));
}

TEST(RenameEntry, TheMoveAloneTellsWhetherTheTargetIsTaken)
{
    struct Case
    {
        const char* name;
        Names present;
        const char* target;
        bool movesFail;
        RenameStep step;
        const char* loggedTo;
        int lookups;
        int moves;
        const char* current = "a.txt";
    } cases[] = {
        {"free target", {"a.txt"}, "000.txt", false, StepDone, "000.txt", 0, 1},
        {"taken target", {"a.txt", "000.txt"}, "000.txt", false, StepWaiting, "~ren0000.tmp", 0, 2},
        {"failed move, free target", {"a.txt"}, "000.txt", true, StepFailed, "000.txt", 1, 1},
        // Whether the platform checks the target or the file first, the step fails going aside.
        {"failed move, taken target", {"a.txt", "000.txt"}, "000.txt", true, StepFailed, "~ren0000.tmp", 1, 2},
#ifdef _WIN32
        // The target is the file itself: it goes aside first, as a taken target does.
        {"only the letter case differs", {"a.txt"}, "A.TXT", false, StepWaiting, "~ren0000.tmp", 1, 1},
        // The same beyond ASCII: full-width, Greek and Cyrillic letters.
        {"full-width a", {"\x82\x81.txt"}, "\x82\x60.txt", false, StepWaiting, "~ren0000.tmp", 1, 1, "\x82\x81.txt"},
        {"Greek alpha", {"\x83\xBF.txt"}, "\x83\x9F.txt", false, StepWaiting, "~ren0000.tmp", 1, 1, "\x83\xBF.txt"},
        {"Cyrillic a", {"\x84\x70.txt"}, "\x84\x40.txt", false, StepWaiting, "~ren0000.tmp", 1, 1, "\x84\x70.txt"},
#else
        {"only the letter case differs", {"a.txt"}, "A.TXT", false, StepDone, "A.TXT", 0, 1},
#endif
    };
    for (const Case& c : cases) {
        TempFolder folder;
        AddFiles(folder, c.present);
        FaultyFileServices fs(PlatformFileServices());
        if (c.movesFail)
            fs.Inject(CallMove, 0, FaultFail);
        std::unique_ptr<FileEntry> entry = MakeEntry(folder.Path(), c.current, fs);
        std::strcpy(entry->newName, c.target);
        nextTempNumber = 0;
        EXPECT_EQ(c.step, entry->RenameEntry(fs)) << c.name;
        EXPECT_STREQ(c.loggedTo, entry->loggedTo) << c.name;
        EXPECT_EQ(c.lookups, fs.Calls(CallExists)) << c.name;
        EXPECT_EQ(c.moves, fs.Calls(CallMove)) << c.name;
    }
}
