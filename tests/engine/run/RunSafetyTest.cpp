// Whole runs over folders that once made a run touch what it must not: each case here was
// found by the randomized run tester (tests/stress) and stays as a fixed regression test.
#include "engine/order/Ordering.h"
#include "engine/platform/PathNames.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

TEST(RunSafety, AnExistingLogIsLeftOutWhateverBytesItsNameHolds)
{
    struct Case
    {
        const char* name;
        std::string logName;
    } cases[] = {
        // ソ ends in the byte of a backslash, which is no separator inside the character.
        {"double-byte character", "\x83\x5C.txt"},
#ifndef _WIN32
        // A backslash is an ordinary byte of a name here.
        {"backslash", "a\\b.txt"},
#endif
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt"}, NameAscending);
        run.folder.Write(c.logName, "earlier log");
        run.job.logPath = run.folder.PathOf(c.logName).c_str();
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt", c.logName}), run.folder.Names()) << c.name;
        EXPECT_EQ(2, run.outcome.fileCount) << c.name;
        EXPECT_TRUE(run.outcome.logComplete) << c.name;
        EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("b.txt", "001.txt")}), run.LogLines()) << c.name;
    }
}

TEST(RunSafety, NewNamesWindowsWouldChangeOrRefuseStopTheRunBeforeAnyMove)
{
    const std::string separator(1, TempFolder::Separator());
    struct Case
    {
        const char* name;
        std::string pattern;
        bool padDigits;
        RunRefusal refusal;
    } cases[] = {
        {"into a sub-folder", "sub" + separator + "?", true, RefusalForbiddenCharacter},
        {"into the parent", ".." + separator + "?", true, RefusalForbiddenCharacter},
        {"forward slash", "sub/?", true, RefusalForbiddenCharacter},
        {"backslash", "a\\?", true, RefusalForbiddenCharacter},
        {"stream of another file", "?:x", true, RefusalForbiddenCharacter},
        {"wildcard", "a*?", true, RefusalForbiddenCharacter},
        {"quote", "?\"", true, RefusalForbiddenCharacter},
        {"angle bracket", "<?", true, RefusalForbiddenCharacter},
        {"bar", "?|", true, RefusalForbiddenCharacter},
        {"control character", "\t?", true, RefusalForbiddenCharacter},
        {"final dot", "?.", true, RefusalEndsInDotOrSpace},
        {"final space", "? ", true, RefusalEndsInDotOrSpace},
        {"device with an extension", "com?", false, RefusalDeviceName},
        {"device in capitals", "LPT?", false, RefusalDeviceName},
        // Windows takes the part before the first dot, spaces at its end dropped.
        {"device, a space, a dot", "CON .?", true, RefusalDeviceName},
        {"device and two dots", "NUL..?", true, RefusalDeviceName},
        {"device, spaces, a dot", "com1  .?", true, RefusalDeviceName},
        // ソ ends in the byte of a backslash, which is no separator inside the character.
        {"double-byte character", "\x83\x5C?", true, RefusalNone},
        {"dot inside", "a.?.b", true, RefusalNone},
        {"no device", "con?", true, RefusalNone},
    };
    for (const Case& c : cases) {
        RunFixture run(NameAscending);
        run.fs.UseCp932LeadBytes();
        run.AddFiles({"a", "b.txt"});
        run.folder.MakeFolder("sub");
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.SplitPattern(c.pattern.c_str());
        run.job.padDigits = c.padDigits ? 1 : 0;
        run.job.startNumber = 1;
        EXPECT_EQ(c.refusal == RefusalNone, run.Run()) << c.name;
        EXPECT_EQ(c.refusal, run.outcome.refusal) << c.name;
        if (c.refusal == RefusalNone) {
            EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
            continue;
        }
        EXPECT_STREQ("a", run.outcome.refusedName) << c.name;
        EXPECT_EQ((Names{"a", "b.txt", "sub"}), run.folder.Names()) << c.name;
        EXPECT_EQ("earlier log", run.Log()) << c.name;
        EXPECT_EQ(0, run.fs.Calls(CallMove)) << c.name;
    }
}

#ifdef _WIN32
TEST(RunSafety, ANameTheCodePageReachesOnlyThroughALookAlikeIsRenamedUnderItsOwnName)
{
    // Code page 932 has no bytes of its own for the yen sign or e with an accent: the ANSI
    // calls saw "\" and "e" in their place, so "a¥b.txt" came as "a\b.txt", the file b.txt
    // in the sub-folder a, and "café.txt" as "cafe.txt", which may be another file.
    struct Case
    {
        const char* name;
        const wchar_t* wide;
        const char* escaped;
        std::string beside;
        const char* newName;
    } cases[] = {
        {"yen sign, a sub-folder holds the look-alike", L"a\u00A5b.txt", "a<U+00A5>b.txt", "a", "000.txt"},
        {"yen sign, no such sub-folder", L"a\u00A5b.txt", "a<U+00A5>b.txt", "", "000.txt"},
        {"e with an accent", L"caf\u00E9.txt", "caf<U+00E9>.txt", "", "001.txt"},
        {"e with an accent beside the look-alike's file", L"caf\u00E9.txt", "caf<U+00E9>.txt", "cafe.txt", "001.txt"},
        // ...and "?" for one it has no bytes for at all.
        {"no bytes at all", L"x\u4E02.txt", "x<U+4E02>.txt", "", "001.txt"},
    };
    for (const Case& c : cases) {
        RunFixture run({"c.txt"}, NameAscending);
        if (c.beside == "a") {
            ASSERT_TRUE(run.folder.MakeFolder("a")) << c.name;
            run.folder.Write("a\\b.txt", "inside a");
        } else if (!c.beside.empty()) {
            run.AddFiles({c.beside});
        }
        const std::wstring wide = LongForm(run.folder.Path()) + L"\\" + c.wide;
        ASSERT_TRUE(WriteWholeFile(wide, "wide")) << c.name;

        ASSERT_TRUE(run.Run()) << c.name;
        const int batch = c.beside == "cafe.txt" ? 3 : 2;
        EXPECT_EQ(batch, run.outcome.fileCount) << c.name;
        EXPECT_EQ(0, run.outcome.unreachable) << c.name;
        EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide.c_str())) << c.name;
        EXPECT_EQ("wide", run.folder.Read(c.newName)) << c.name;
        if (batch == 3) {
            EXPECT_EQ("cafe.txt", run.folder.Read("002.txt")) << c.name;
        }
        if (c.beside == "a") {
            EXPECT_EQ("inside a", run.folder.Read("a\\b.txt")) << c.name;
        }
        Names lines = run.LogLines();
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), Line(c.escaped, c.newName))) << c.name;
    }
}
#endif

TEST(RunSafety, AFileThatAnotherProgramTookAwayIsNotConfusedWithTheOneMovedInItsPlace)
{
    struct Case
    {
        const char* name;
        std::string heldName;
        std::string heldNewName;
    } cases[] = {
        {"same letters", "0.txt", "1.txt"},
#ifdef _WIN32
        // The walk brings a.txt to "0.txt", the same name there as "0.TXT".
        {"other letter case", "0.TXT", "1.TXT"},
#endif
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", c.heldName}, NameDescending);
        run.job.padDigits = 0;
        // Just before the walk moves a.txt to 0.txt, another program moves the file there
        // away, so a.txt takes the name.
        bool moved = false;
        run.fs.beforeCall = [&](FileCall call, int, const char*, const char* to) {
            if (call == CallMove && !moved && run.folder.PathOf("0.txt") == to)
                moved = std::rename(run.folder.PathOf(c.heldName).c_str(), run.folder.PathOf("moved.dat").c_str()) == 0;
        };
        ASSERT_TRUE(run.Run()) << c.name;
        ASSERT_TRUE(moved) << c.name;
        EXPECT_EQ((Names{"0.txt", "moved.dat"}), run.folder.Names()) << c.name;
        EXPECT_EQ("a.txt", run.folder.Read("0.txt")) << c.name;
        EXPECT_EQ(c.heldName, run.folder.Read("moved.dat")) << c.name;
        EXPECT_EQ(1, run.outcome.notRenamed) << c.name;
        EXPECT_EQ((Names{Line("a.txt", "0.txt"),
                         Line(c.heldName, c.heldNewName) + "\tfile no longer under this name, another file is"}),
                  run.LogLines())
            << c.name;
    }
}

TEST(RunSafety, AMaskHoldingASeparatorRefusesTheRun)
{
    const std::string separator(1, TempFolder::Separator());
    struct Case
    {
        const char* name;
        std::string mask;
    } cases[] = {
        {"a sub-folder's files", "sub" + separator + "*.*"},
        {"the parent's files", ".." + separator + "*"},
        {"forward slash", "sub/*"},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt"});
        run.folder.MakeFolder("sub");
        run.folder.Write("sub" + separator + "a.txt", "inside sub");
        run.elsewhere.Write(run.logName, "earlier log");
        run.job.mask = c.mask.c_str();
        EXPECT_FALSE(run.Run()) << c.name;
        EXPECT_EQ(RefusalMaskHoldsSeparator, run.outcome.refusal) << c.name;
        EXPECT_EQ((Names{"a.txt", "sub"}), run.folder.Names()) << c.name;
        EXPECT_EQ("a.txt", run.folder.Read("a.txt")) << c.name;
        EXPECT_EQ("inside sub", run.folder.Read("sub" + separator + "a.txt")) << c.name;
        EXPECT_EQ("earlier log", run.Log()) << c.name;
    }
}

TEST(RunSafety, AFileMovedAsideOntoAFreedTemporaryNameIsNotTakenForTheFileThatHadIt)
{
    RunFixture run({"0.txt", "1.txt", "2.txt", "~ren0001.tmp"}, NameAscending);
    run.job.startNumber = 1;
    run.job.padDigits = 0;
    // Just before 1.txt is moved aside to ~ren0001.tmp, another program moves the file of
    // that name (one of the batch) away, so the name is free for 1.txt.
    bool moved = false;
    run.fs.beforeCall = [&](FileCall call, int, const char*, const char* to) {
        if (call == CallMove && !moved && run.folder.PathOf("~ren0001.tmp") == to) {
            moved = std::rename(run.folder.PathOf("~ren0001.tmp").c_str(), run.folder.PathOf("moved.dat").c_str()) == 0;
        }
    };
    ASSERT_TRUE(run.Run());
    ASSERT_TRUE(moved);
    EXPECT_EQ((Names{"1.txt", "2.txt", "3.txt", "moved.dat"}), run.folder.Names());
    EXPECT_EQ("0.txt", run.folder.Read("1.txt"));
    EXPECT_EQ("1.txt", run.folder.Read("2.txt"));
    EXPECT_EQ("2.txt", run.folder.Read("3.txt"));
    EXPECT_EQ("~ren0001.tmp", run.folder.Read("moved.dat"));
    EXPECT_EQ(1, run.outcome.notRenamed);
    EXPECT_EQ((Names{Line("0.txt", "~ren0000.tmp"), Line("1.txt", "~ren0001.tmp"), Line("2.txt", "3.txt"),
                     Line("~ren0001.tmp", "4.tmp") + "\tfile no longer under this name, another file is",
                     Line("~ren0000.tmp", "1.txt"), Line("~ren0001.tmp", "2.txt")}),
              run.LogLines());
}

#ifdef _WIN32
TEST(RunSafety, NamesThatDifferOnlyInTheSecondByteOfACharacterAreBothRenamed)
{
    // ア is 83 41 and ヂ is 83 61: the second bytes are "A" and "a", yet the names are not
    // the same name in other letters.
    RunFixture run({"\x83\x41.txt", "\x83\x61.txt"}, Unsorted);
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(0, run.outcome.unreachable);
    EXPECT_EQ(0, run.outcome.notRenamed);
    EXPECT_EQ((Names{"000.txt", "001.txt"}), run.folder.Names());
}
#endif

TEST(RunSafety, TheLogFileIsLeftOutWhateverNameLeadsToIt)
{
    enum Way
    {
        HardLink,
        UnlistedLink,
        ShortName,
        FullWidthCase,
        FinalDot,
        ThroughParent,
        FileLink,
        FolderLink,
        FolderShortName
    };
    struct Case
    {
        const char* name;
        Way way;
        std::string fileName;
        std::string typedName;
    } cases[] = {
        {"another hard link", HardLink, "other.txt", ""},
        // As on Windows, whose listing tells no file's identity.
        {"another hard link, identities not listed", UnlistedLink, "other.txt", ""},
        {"through the parent folder", ThroughParent, "log.txt", "log.txt"},
#ifndef _WIN32
        {"a symbolic link to the file", FileLink, "log.txt", ""},
        {"a symbolic link to the folder", FolderLink, "log.txt", "log.txt"},
#else
        {"the folder's short name", FolderShortName, "log.txt", "log.txt"},
#endif
#ifdef _WIN32
        {"short name", ShortName, "a long log name.txt", ""},
        // ＬＯＧ.txt typed as ｌｏｇ.txt, as a field that turns letters into lower case does.
        {"full-width letters in other case", FullWidthCase, "\x82\x6B\x82\x6E\x82\x66.txt",
         "\x82\x8C\x82\x8F\x82\x87.txt"},
        {"final dot", FinalDot, "log.txt", "log.txt."},
#endif
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt"}, NameAscending);
        if (c.way == UnlistedLink)
            run.fs.adjustFound = [](FoundFile& found) { found.identityKnown = false; };
        if (c.way == HardLink || c.way == UnlistedLink) {
            run.elsewhere.Write(run.logName, "earlier log");
            ASSERT_TRUE(MakeHardLink(run.elsewhere.PathOf(run.logName), run.folder.PathOf(c.fileName))) << c.name;
        } else {
            run.folder.Write(c.fileName, "earlier log");
            std::string typed = c.typedName;
#ifdef _WIN32
            if (c.way == ShortName) {
                typed = FinalComponent(ShortPathOf(run.folder.PathOf(c.fileName)).c_str(), run.fs);
                ASSERT_TRUE(!typed.empty() && typed != c.fileName) << c.name;
            }
#endif
            std::string logPath = run.folder.PathOf(typed);
            const std::string separator(1, TempFolder::Separator());
            if (c.way == ThroughParent)
                logPath = run.folder.Slash() + ".." + separator + FinalComponent(run.folder.Path().c_str(), run.fs) +
                          separator + typed;
#ifndef _WIN32
            if (c.way == FileLink || c.way == FolderLink) {
                logPath = run.elsewhere.PathOf("link");
                ASSERT_TRUE(
                    MakeSymbolicLink(c.way == FileLink ? run.folder.PathOf(c.fileName) : run.folder.Path(), logPath))
                    << c.name;
                if (c.way == FolderLink)
                    logPath += separator + typed;
            }
#else
            if (c.way == FolderShortName) {
                const std::string shortPath = ShortPathOf(run.folder.Path());
                ASSERT_TRUE(!shortPath.empty() && run.folder.Path() != shortPath) << c.name;
                logPath = shortPath + separator + typed;
            }
#endif
            run.job.logPath = logPath.c_str();
        }
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(2, run.outcome.fileCount) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt", c.fileName}), run.folder.Names()) << c.name;
        EXPECT_EQ((Names{Line("a.txt", "000.txt"), Line("b.txt", "001.txt")}), run.LogLines()) << c.name;
        EXPECT_EQ(run.Log(), run.folder.Read(c.fileName)) << c.name;
    }
}

TEST(RunSafety, ANameLongerThan255BytesIsLeftOutAndReported)
{
    // Windows lists such names in a double-byte code page: the file system counts characters.
    struct Case
    {
        const char* name;
        size_t length;
    } cases[] = {
        {"one byte too long", 256},
        {"as long as a listing gives", kFoundNameSize - 1},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt", "c.txt"}, NameAscending);
        const std::string tooLong = std::string(c.length - 4, 'n') + ".txt";
        run.fs.adjustFound = [&tooLong](FoundFile& found) {
            if (std::string(found.name) == "b.txt")
                std::strcpy(found.name, tooLong.c_str());
        };
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(2, run.outcome.fileCount) << c.name;
        EXPECT_EQ(1, run.outcome.unreachable) << c.name;
        EXPECT_EQ(1, run.outcome.notRenamed) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt", "b.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ("c.txt", run.folder.Read("001.txt")) << c.name;
        EXPECT_EQ((Names{tooLong + "\t->\t" + tooLong + "\tname longer than 255 bytes, file left as it was",
                         Line("a.txt", "000.txt"), Line("c.txt", "001.txt")}),
                  run.LogLines())
            << c.name;
    }
}

TEST(RunSafety, ANewNameThatIsTheLogsNameInTheFolderRefusesTheRun)
{
    const std::string separator(1, TempFolder::Separator());
    const std::string longPattern = std::string(240, 'p') + "?";
    const bool sameName = TempFolder::Separator() == '\\';
    struct Case
    {
        const char* name;
        std::string pattern;
        std::string logName;
        bool throughDot;
        bool logFails;
        bool refused;
    } cases[] = {
        {"exact", "?", "001.txt", false, false, true},
        {"other letter case", "?", "001.TXT", false, false, sameName},
#ifdef _WIN32
        // The new names are Ａ000.txt and Ａ001.txt.
        {"full-width letters in other case", "\x82\x60?",
         "\x82\x81"
         "001.txt",
         false, false, true},
        {"final dot", "?", "001.txt.", false, false, true},
#endif
        {"not at all", "?", "log.txt", false, false, false},
        // The log cannot be created: nothing holds the name then.
        {"log not created", "?", "001.txt", true, true, true},
        // Windows: the path through "./" is too long for the ANSI calls, the folder's is not.
        {"log path too long", longPattern, std::string(240, 'p') + "001.txt", true, false, true},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.txt"}, NameAscending);
        run.job.SplitPattern(c.pattern.c_str());
        run.job.logPath = (run.folder.Slash() + (c.throughDot ? "." + separator : "") + c.logName).c_str();
        if (c.logFails)
            run.fs.Inject(CallCreateLog, 0, FaultFail);
        if (!c.refused) {
            ASSERT_TRUE(run.Run()) << c.name;
            EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
            EXPECT_EQ("a.txt", run.folder.Read("000.txt")) << c.name;
            EXPECT_EQ("b.txt", run.folder.Read("001.txt")) << c.name;
            EXPECT_EQ(2u, run.LogLines().size()) << c.name;
            continue;
        }
        EXPECT_FALSE(run.Run()) << c.name;
        EXPECT_EQ(RefusalNewNameIsLog, run.outcome.refusal) << c.name;
        EXPECT_STREQ("b.txt", run.outcome.refusedName) << c.name;
        EXPECT_EQ((Names{"a.txt", "b.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ(0, run.fs.Calls(CallCreateLog)) << c.name;
        EXPECT_EQ(0, run.fs.Calls(CallMove)) << c.name;
        EXPECT_EQ(0, run.list.Count()) << c.name;
    }
}

TEST(RunSafety, WithoutItsLogTheRunMovesNoFileOntoTheLogsName)
{
    const bool sameName = TempFolder::Separator() == '\\';
    struct Case
    {
        const char* name;
        std::string logName;
        bool held;
    } cases[] = {
        {"temporary name", "~ren0000.tmp", true},
        {"temporary name in other letters", "~REN0000.TMP", sameName},
    };
    for (const Case& c : cases) {
        RunFixture run({"000.txt", "001.txt"}, NameDescending);
        run.job.logPath = run.folder.PathOf(c.logName).c_str();
        run.fs.Inject(CallCreateLog, 0, FaultFail);
        std::vector<std::string> targets;
        run.fs.beforeCall = [&](FileCall call, int, const char*, const char* to) {
            if (call == CallMove)
                targets.push_back(std::string(to).substr(run.folder.Slash().size()));
        };
        ASSERT_TRUE(run.Run()) << c.name;
        EXPECT_EQ(0, run.outcome.notRenamed) << c.name;
        EXPECT_EQ((Names{"000.txt", "001.txt"}), run.folder.Names()) << c.name;
        EXPECT_EQ("001.txt", run.folder.Read("000.txt")) << c.name;
        EXPECT_EQ("000.txt", run.folder.Read("001.txt")) << c.name;
        // 000.txt is tried first and found taken; the file then goes aside, never onto the
        // log's name.
        std::string aside = c.held ? "~ren0001.tmp" : "~ren0000.tmp";
        EXPECT_EQ((Names{"000.txt", aside, "001.txt", "000.txt"}), targets) << c.name;
    }
}
