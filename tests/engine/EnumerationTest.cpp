#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Collected
{
    bool started;
    CollectResult result;
    std::string pattern;
    std::vector<std::string> names;
    std::vector<std::string> folders;
};

Collected Collect(FaultyFileServices& fs, const std::string& folder, const char* mask, const char* logPath = nullptr)
{
    Collected collected = Collected();
    fs.beforeCall = [&collected](FileCall call, int, const char* first, const char*) {
        if (call == CallFindFirst)
            collected.pattern = first;
    };
    CountedString folderText(folder.c_str());
    CountedString maskText(mask);
    FolderSearch search(fs);
    collected.started = search.Start(folderText, maskText);
    if (!collected.started)
        return collected;
    EntryList list;
    CollectReport report;
    collected.result = CollectEntries(search, folder.c_str(), logPath, list, fs, report);
    for (int i = 0; i < list.Count(); ++i) {
        collected.names.push_back(list.At(i)->entry->currentName);
        collected.folders.push_back(list.At(i)->entry->folder.Data());
    }
    ReleaseEntries(list, 0);
    return collected;
}

// A mask, whether the search starts with it, and the names it collects in any order.
struct MaskCase
{
    const char* mask;
    bool started;
    Names names;
};

void ExpectCollected(FaultyFileServices& fs, const TempFolder& folder, const std::vector<MaskCase>& cases)
{
    for (const MaskCase& c : cases) {
        Collected collected = Collect(fs, folder.Path(), c.mask);
        EXPECT_EQ(c.started, collected.started) << c.mask;
        Names names = collected.names;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(c.names, names) << c.mask;
    }
}

}  // namespace

TEST(Enumeration, FolderTypedWithOrWithoutSeparatorSearchesTheSamePath)
{
    TempFolder folder;
    folder.Write("a.txt", "a");
    for (bool withSeparator : {false, true}) {
        FaultyFileServices fs(PlatformFileServices());
        Collected collected = Collect(fs, withSeparator ? folder.Slash() : folder.Path(), "*.*");
        ASSERT_TRUE(collected.started);
        EXPECT_EQ(folder.Slash() + "*.*", collected.pattern);
        EXPECT_EQ(Names{folder.Slash()}, collected.folders);
    }
}

TEST(Enumeration, TakesRegularFilesOnly)
{
    TempFolder folder;
    folder.MakeFolder("sub.txt");
    folder.MakeFolder("other");
    folder.Write("b.txt", "b");
    folder.Write("a.jpg", "a");
    folder.Write("hidden.txt", "h");
    folder.SetHidden("hidden.txt");
    folder.Write("desktop.ini", "[.ShellClassInfo]");
    folder.SetHidden("desktop.ini", true);
    FaultyFileServices fs(PlatformFileServices());
#ifndef _WIN32
    fs.adjustFound = [](FoundFile& found) { found.hiddenSystem = std::strcmp(found.name, "desktop.ini") == 0; };
#endif

    ExpectCollected(fs, folder,
                    {
                        {"*.*", true, {"a.jpg", "b.txt", "hidden.txt"}},
                        {"*.txt", true, {"b.txt", "hidden.txt"}},
                        {"*.ini", true, {}},
                        {"sub*", true, {}},
                        {"*.png", false, {}},
                    });
}

TEST(Enumeration, TheMaskIsMatchedOnTheLongNameOnly)
{
    TempFolder folder;
    const Names files = {"a.jpg", "c.jpg_old", "d.jpgx", "e.htm", "f.html", "g.jpeg", "file1.txt", "file12.txt",
                         // ア, and the full-width letter A
                         "\x83\x41.txt", "\x82\x60.txt"};
    AddFiles(folder, files);
    FaultyFileServices fs(PlatformFileServices());
    ExpectCollected(fs, folder,
                    {
                        {"*.jpg", true, {"a.jpg"}},
                        {"*.htm", true, {"e.htm"}},
                        {"*.jpe", false, {}},
                        {"file?.txt", true, {"file1.txt"}},
#ifdef _WIN32
                        // One character of two bytes; a full-width letter in other case.
                        {"?.txt", true, {"\x82\x60.txt", "\x83\x41.txt"}},
                        {"\x82\x81*", true, {"\x82\x60.txt"}},
#endif
                    });
}

TEST(Enumeration, FolderOfSubfoldersOnlyGivesAnEmptyList)
{
    TempFolder folder;
    folder.MakeFolder("one");
    FaultyFileServices fs(PlatformFileServices());
    Collected collected = Collect(fs, folder.Path(), "*.*");
    EXPECT_TRUE(collected.started);
    EXPECT_EQ(CollectDone, collected.result);
    EXPECT_TRUE(collected.names.empty());
}

TEST(Enumeration, MissingFolderCannotBeSearched)
{
    TempFolder folder;
    FaultyFileServices fs(PlatformFileServices());
    EXPECT_FALSE(Collect(fs, folder.PathOf("missing"), "*.*").started);
}

TEST(Enumeration, TheLogFileIsNeverPartOfTheBatch)
{
    TempFolder folder;
    folder.Write("log.txt", "old log");
    folder.Write("a.txt", "a");
    FaultyFileServices fs(PlatformFileServices());
    struct Case
    {
        std::string logPath;
        Names names;
    } cases[] = {
        {folder.PathOf("log.txt"), {"a.txt"}},
        {folder.Slash() + "." + TempFolder::Separator() + "log.txt", {"a.txt"}},
        {folder.PathOf("other.txt"), {"a.txt", "log.txt"}},
    };
    for (const Case& c : cases) {
        Names names = Collect(fs, folder.Path(), "*.*", c.logPath.c_str()).names;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(c.names, names) << c.logPath;
    }
#ifdef _WIN32
    // The file system there ignores case, and so does the comparison.
    Names names = Collect(fs, folder.Path(), "*.*", folder.PathOf("LOG.TXT").c_str()).names;
    EXPECT_EQ(Names{"a.txt"}, names);
#endif
}

#ifndef _WIN32
TEST(Enumeration, ThisSystemsListingGoesByNameIgnoringCaseLikeWindows)
{
    struct Case
    {
        Names files;
        Names listed;
    } cases[] = {
        {{"ab", "a", "B"}, {"a", "ab", "B"}},
        {{"a.txt", "a", "A.b"}, {"a", "A.b", "a.txt"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        AddFiles(folder, c.files);
        FaultyFileServices fs(PlatformFileServices());
        EXPECT_EQ(c.listed, Collect(fs, folder.Path(), "*").names) << c.files[0];
    }
}
#endif

TEST(Enumeration, ListingThatBreaksOffLeavesNothingCollected)
{
    TempFolder folder;
    folder.Write("a.txt", "a");
    folder.Write("b.txt", "b");
    FaultyFileServices fs(PlatformFileServices());
    fs.Inject(CallFindNext, 1, FaultFail);
    Collected collected = Collect(fs, folder.Path(), "*.*");
    EXPECT_EQ(CollectListingFailed, collected.result);
    EXPECT_TRUE(collected.names.empty());
}
