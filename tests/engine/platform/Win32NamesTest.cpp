// Real files through the wide calls: names the ANSI code page cannot hold and folders deeper
// than MAX_PATH, renamed, logged and taken back.
#include "engine/order/Ordering.h"
#include "engine/platform/Win32WideNames.h"
#include "engine/run/RunPreview.h"
#include "engine/undo/HistoryUndo.h"
#include "engine/undo/UndoRun.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// Each file's content by its name in the very UTF-16 units the folder holds.
typedef std::map<std::wstring, std::string> WideContents;

WideContents WideContentsOf(const TempFolder& folder)
{
    WideContents contents;
    const std::wstring path = LongForm(folder.Path()) + L"\\";
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((path + L"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return contents;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            contents[data.cFileName] = ReadWholeFile(path + data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return contents;
}

// The undo the history chooses, made; true when it was the history's record and every file
// went back.
bool UndoFromHistory(RunFixture& run, RunHistory& history)
{
    history.Load();
    UndoChoice choice;
    UndoOutcome planned, made;
    return ChooseUndo(history, run.job.logPath.Data(), run.fs, choice, planned) && choice.record >= 0 &&
           UndoRun(choice.path.c_str(), run.fs, made) && made.notBack == 0;
}

// 写真.jpg, a name the code page holds: it keeps its bytes beside the others.
const std::string kPhotos = "\x8E\xCA\x90\x5E.jpg";

struct NameRow
{
    const char* kind;
    const wchar_t* name;
    const wchar_t* renamed;
    Names log;
    // A further file beside it.
    const wchar_t* beside = nullptr;
};

TEST(Win32Names, EveryKindOfNameIsRenamedLoggedAndTakenBackToItsVeryUnits)
{
    // No lone surrogate: Wine keeps names as UTF-8 and makes no file of one.
    const NameRow rows[] = {
        {"decomposed kana",
         L"\u304B\u3099\u304E.jpg",
         L"x01.jpg",
         {Line("\x82\xA9<U+3099>\x82\xAC.jpg", "x01.jpg"), Line(kPhotos, "x02.jpg")}},
        {"wave dash",
         L"10\u6708\u301C12\u6708.xlsx",
         L"x01.xlsx",
         {Line("10\x8C\x8E<U+301C>12\x8C\x8E.xlsx", "x01.xlsx"), Line(kPhotos, "x02.jpg")}},
        {"accented Latin",
         L"caf\u00E9.jpg",
         L"x01.jpg",
         {Line("caf<U+00E9>.jpg", "x01.jpg"), Line(kPhotos, "x02.jpg")}},
        {"Korean",
         L"\uC0AC\uC9C4.jpg",
         L"x01.jpg",
         {Line("<U+C0AC><U+C9C4>.jpg", "x01.jpg"), Line(kPhotos, "x02.jpg")}},
        {"emoji", L"\U0001F600.png", L"x01.png", {Line("<U+1F600>.png", "x01.png"), Line(kPhotos, "x02.jpg")}},
        {"extension", L"a.\u00E9", L"x01.\u00E9", {Line("a.<U+00E9>", "x01.<U+00E9>"), Line(kPhotos, "x02.jpg")}},
        // x01.<U+00E9> is the name of x01.<U+00C9>: taken, so the file waits aside.
        {"case only",
         L"a.\u00E9",
         L"x01.\u00E9",
         {Line("a.<U+00E9>", "~ren0000.tmp"), Line("x01.<U+00C9>", "x02.<U+00C9>"), Line(kPhotos, "x03.jpg"),
          Line("~ren0000.tmp", "x01.<U+00E9>")},
         L"x01.\u00C9"},
    };
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.kind);
        RunFixture run(NameAscending);
        run.job.SplitPattern("x?");
        run.job.digitCount = 2;
        run.job.startNumber = 1;
        const std::wstring folder = LongForm(run.folder.Path()) + L"\\";
        ASSERT_TRUE(WriteWholeFile(folder + row.name, row.kind));
        ASSERT_TRUE(row.beside == nullptr || WriteWholeFile(folder + row.beside, "beside"));
        ASSERT_TRUE(run.folder.Write(kPhotos, kPhotos));
        const WideContents before = WideContentsOf(run.folder);

        ASSERT_TRUE(run.Run());
        EXPECT_EQ(0, run.outcome.notRenamed);
        const WideContents after = WideContentsOf(run.folder);
        const auto renamed = after.find(row.renamed);
        EXPECT_TRUE(renamed != after.end() && renamed->second == row.kind);
        EXPECT_EQ(row.log, run.LogLines());
        UndoOutcome undone;
        ASSERT_TRUE(UndoRun(run.job.logPath.Data(), run.fs, undone));
        EXPECT_EQ(before, WideContentsOf(run.folder));

        RunHistory history(run.elsewhere.PathOf("history"), run.fs);
        ASSERT_TRUE(RunRename(run.job, run.list, run.fs, run.outcome, nullptr, &history));
        EXPECT_EQ(after, WideContentsOf(run.folder));
        EXPECT_TRUE(UndoFromHistory(run, history));
        EXPECT_EQ(before, WideContentsOf(run.folder));
    }
}

TEST(Win32Names, FoldersDeeperThanMaxPathAreRunPreviewedAndTakenBackFromTheLogAndTheHistory)
{
    const Names lines = {Line("a.txt", "000.txt"), Line("b.txt", "001.txt")};
    for (size_t length : {300, 1000}) {
        SCOPED_TRACE(length);
        TempFolder deep(length);
        RunFixture run;
        run.job.folder = deep.Path().c_str();
        // Beside the deep folder: the log's own path is deep too, beyond MAX_PATH in the deeper.
        run.job.logPath = (deep.Path().substr(0, deep.Path().rfind('\\')) + "\\log.txt").c_str();
        ASSERT_TRUE(AddFiles(deep, {"a.txt", "b.txt"}));
        const Contents before = ContentsOf(deep);
        // Wine takes such a path in the short form too; Windows only in the long one.
        EXPECT_EQ(0u, WidePath(deep.Path().c_str()).find(L"\\\\?\\"));

        RunPreview preview;
        ASSERT_TRUE(PreviewRun(run.job, run.fs, randomState, preview));
        EXPECT_EQ(lines[0] + "\r\n" + lines[1] + "\r\n", preview.StepLines());
        ASSERT_TRUE(run.Run());
        EXPECT_EQ((Contents{{"000.txt", "a.txt"}, {"001.txt", "b.txt"}}), ContentsOf(deep));
        EXPECT_EQ(0u, run.Log().find(deep.Path() + "\r\n"));
        EXPECT_EQ(lines, run.LogLines());
        UndoOutcome undone;
        ASSERT_TRUE(UndoRun(run.job.logPath.Data(), run.fs, undone));
        EXPECT_EQ(before, ContentsOf(deep));

        RunHistory history(run.elsewhere.PathOf("history"), run.fs);
        ASSERT_TRUE(RunRename(run.job, run.list, run.fs, run.outcome, nullptr, &history));
        EXPECT_TRUE(UndoFromHistory(run, history));
        EXPECT_EQ(before, ContentsOf(deep));
    }
}

}  // namespace
