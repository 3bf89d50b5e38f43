#include "ui/RunResult.h"

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct ResultCase
{
    bool ran;
    RunRefusal refusal;
    const char* refusedName;
    int notRenamed;
    bool logComplete;
    std::string text;
    bool stopAsked = false;
};

TEST(RunResultTest, SaysWhatHappenedToTheFiles)
{
    const ResultCase cases[] = {
        {true, RefusalNone, "", 0, true, "Completed."},
        {true, RefusalNone, "", 0, false, "Completed, but the log could not be written."},
        {true, RefusalNone, "", 1, true, "1 file could not be renamed; the log has the details."},
        {true, RefusalNone, "", 3, true, "3 files could not be renamed; the log has the details."},
        {true, RefusalNone, "", 2, false, "2 files could not be renamed, and the log could not be written."},
        {true, RefusalNone, "", 0, true, "Completed." + AnsiText(u8"\n中止する前に終わっていました."), true},
        {true, RefusalNone, "", 1, true,
         "1 file could not be renamed; the log has the details." + AnsiText(u8"\n中止する前に終わっていました."), true},
        {false, RefusalFolderEmpty, "", 0, false, "Failed." + AnsiText(u8"\nフォルダが指定されていません.")},
        {false, RefusalFolderPathTooLong, "", 0, false,
         "Failed." + AnsiText(u8"\nフォルダのパスが長すぎます. 対象と合わせて 32,761 文字までのパスにしてください.")},
        {false, RefusalFolderMissing, "", 0, false, "Failed." + AnsiText(u8"\nフォルダがありません.")},
        {false, RefusalFolderNotSearchable, "", 0, false,
         "Failed." + AnsiText(u8"\nフォルダの中を見られません. フォルダではないか, 見る権限がありません.")},
        {false, RefusalMaskHoldsSemicolon, "", 0, false,
         "Failed." +
             AnsiText(u8"\n対象に合うファイルがありません. 対象の ; は区切りではなく名前の一部として探されます.")},
        {false, RefusalNothingMatches, "", 0, false, "Failed." + AnsiText(u8"\n対象に合うファイルがありません.")},
        {false, RefusalHistoryNotWritable, "", 0, false,
         "Failed." + AnsiText(u8"\n名前の変更の記録を残すフォルダに書き込めません.")},
        {false, RefusalTempPathTooLong, "~ren0002.tmp", 0, false,
         AnsiText(u8"名前は一つも変更していません: フォルダのパスが長すぎて, 名前を入れ替えるときの一時的な名前 "
                  u8"\"~ren0002.tmp\" を付けられません。")},
        {false, RefusalListingFailed, "", 0, false,
         "Failed: the folder could not be read to its end. Nothing was renamed."},
        {false, RefusalNewNameTooLong, "a.txt", 0, false,
         "Nothing was renamed: the new name of \"a.txt\" would be longer than 255 bytes."},
        {false, RefusalNumberTooLarge, "b%s.txt", 0, false,
         "Nothing was renamed: the number of \"b%s.txt\" would pass 2147483647."},
        {false, RefusalPathTooLong, "\x83\x5C.txt", 0, false,
         AnsiText(u8"名前は一つも変更していません: フォルダのパスが長すぎて \"") + "\x83\x5C.txt" +
             AnsiText(u8"\" に新しい名前を付けられません。")},
        {false, RefusalForbiddenCharacter, "a.txt", 0, false,
         AnsiText(u8"名前を変更しませんでした: \"a.txt\" の新しい名前に、名前に使えない文字 "
                  u8"(\\ / : * ? \" < > | または制御文字) が入ります。")},
        {false, RefusalEndsInDotOrSpace, "readme", 0, false,
         AnsiText(u8"名前を変更しませんでした: \"readme\" の新しい名前がピリオドか空白で終わります。"
                  u8"Windows はこれを取り除き、別の名前にしてしまいます。")},
        {false, RefusalDeviceName, "a.txt", 0, false,
         AnsiText(u8"名前を変更しませんでした: \"a.txt\" の新しい名前が CON や COM1 のような装置名になります。")},
        {false, RefusalMaskHoldsSeparator, "", 0, false,
         AnsiText(u8"名前を変更しませんでした: マスクにフォルダーの区切り (\\ または /) が入っています。")},
        {false, RefusalStopped, "", 0, false, AnsiText(u8"中止しました. 名前は一つも変更していません.")},
        {false, RefusalNewNameIsLog, "a.txt", 0, false,
         AnsiText(u8"名前を変更しませんでした: \"a.txt\" の新しい名前がログファイルの名前と同じです.")},
        {false, RefusalUnknownField, "<x>", 0, false,
         AnsiText(u8"名前を変更しませんでした: パターンの \"<x>\" は日付の欄ではありません. < と > の間に書けるのは "
                  u8"年, 月, 日, 時, 分, 秒, 日付, 時刻 です.")},
    };
    for (const ResultCase& c : cases) {
        RunOutcome outcome;
        outcome.refusal = c.refusal;
        std::strcpy(outcome.refusedName, c.refusedName);
        outcome.notRenamed = c.notRenamed;
        outcome.logAsked = true;
        outcome.logComplete = c.logComplete;
        EXPECT_EQ(c.text, RunResultText(c.ran, outcome, c.stopAsked).Data());
    }
}

struct NamedCase
{
    int notRenamed;
    int unreachable;
    bool logComplete;
    std::string text;
};

TEST(RunResultTest, NamesTheFirstFilesNotRenamedAndCountsTheLeftOutApart)
{
    const std::string move =
        AnsiText(u8": 移動できませんでした (ほかのプログラムが開いているか, ファイルシステムが拒みました)");
    const std::string taken = AnsiText(u8": 新しい名前をほかのファイルが使っています");
    const std::string log = AnsiText(u8"\n詳しくはログ \"C:\\log.txt\" を見てください.");
    const std::string leftOut = AnsiText(u8"\n対象外 2 個: 文字コードで表せない名前 1 個、ログファイル 1 個");
    const NamedCase cases[] = {
        {1, 0, true, "1 file could not be renamed; the log has the details.\n\"f0.txt\"" + move + log},
        {2, 0, false,
         "2 files could not be renamed, and the log could not be written.\n\"f0.txt\"" + move + "\n\"f1.txt\"" + taken},
        {8, 1, true,
         "7 files could not be renamed; the log has the details.\n\"f0.txt\"" + move + "\n\"f1.txt\"" + taken +
             "\n\"f2.txt\"" + move + "\n\"f3.txt\"" + move + "\n\"f4.txt\"" + move + AnsiText(u8"\nほか 2 個") + log +
             leftOut},
        {1, 1, true, "Completed." + leftOut},
    };
    for (const NamedCase& c : cases) {
        RunOutcome outcome;
        outcome.notRenamed = c.notRenamed;
        outcome.unreachable = c.unreachable;
        outcome.leftOut[LeftOutUnreachable] = c.unreachable;
        outcome.leftOut[LeftOutLog] = c.unreachable;
        for (; outcome.namedNotRenamed < std::min(kNamedNotRenamed, c.notRenamed - c.unreachable);
             ++outcome.namedNotRenamed) {
            NotRenamedFile& file = outcome.notRenamedFiles[outcome.namedNotRenamed];
            std::snprintf(file.name, sizeof file.name, "f%d.txt", outcome.namedNotRenamed);
            file.reason = outcome.namedNotRenamed == 1 ? FailureNewNameTaken : FailureMove;
        }
        outcome.logAsked = true;
        outcome.logComplete = c.logComplete;
        EXPECT_EQ(c.text, RunResultText(true, outcome, false, "C:\\log.txt").Data()) << c.notRenamed;
    }
}

struct UnloggedCase
{
    int notRenamed;
    const char* text;
};

TEST(RunResultTest, ARunGivenNoLogFileSaysThatItWroteNone)
{
    const UnloggedCase cases[] = {
        {0, u8"完了しました. ログファイルの指定がないため, ログは書いていません."},
        {1, u8"1 個のファイルの名前を変えられませんでした. ログファイルの指定がないため, ログは書いていません."},
        {3, u8"3 個のファイルの名前を変えられませんでした. ログファイルの指定がないため, ログは書いていません."},
    };
    for (const UnloggedCase& c : cases) {
        RunOutcome outcome;
        outcome.notRenamed = c.notRenamed;
        EXPECT_EQ(AnsiText(c.text), RunResultText(true, outcome).Data()) << c.notRenamed;
    }
}

struct StoppedCase
{
    int fileCount;
    int unreachable;
    int renamed;
    int leftTemporary;
    bool logComplete;
    const char* text;
    bool logAsked = true;
    bool recordIncomplete = false;
};

TEST(RunResultTest, SaysHowAStoppedRunLeftTheFiles)
{
    const StoppedCase cases[] = {
        {10, 0, 4, 0, true, u8"中止しました. 新しい名前のファイル: 4, 元の名前のファイル: 6."},
        {10, 0, 0, 0, true, u8"中止しました. 新しい名前のファイル: 0, 元の名前のファイル: 10."},
        {10, 1, 4, 2, true,
         u8"中止しました. 新しい名前のファイル: 4, 元の名前のファイル: 5, 一時的な名前のままのファイル: 2 "
         u8"(ログを見てください)."},
        {3, 0, 3, 0, false,
         u8"中止しました. 新しい名前のファイル: 3, 元の名前のファイル: 0. ログを書き込めませんでした."},
        {3, 0, 3, 0, false, u8"中止しました. 新しい名前のファイル: 3, 元の名前のファイル: 0.", false},
        {3, 0, 1, 0, true,
         u8"中止しました. 新しい名前のファイル: 1, 元の名前のファイル: 2.\n"
         u8"名前の変更の記録を最後まで書き込めなかったため, 途中で止めました.",
         true, true},
    };
    for (const StoppedCase& c : cases) {
        RunOutcome outcome;
        outcome.stopped = true;
        outcome.fileCount = c.fileCount;
        outcome.unreachable = c.unreachable;
        outcome.renamed = c.renamed;
        outcome.leftTemporary = c.leftTemporary;
        outcome.notRenamed = c.fileCount + c.unreachable - c.renamed;
        outcome.logAsked = c.logAsked;
        outcome.logComplete = c.logComplete;
        outcome.recordAsked = c.recordIncomplete;
        EXPECT_EQ(AnsiText(c.text), RunResultText(true, outcome).Data());
    }
}

}  // namespace
