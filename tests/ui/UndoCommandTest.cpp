#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/FolderFiles.h"
#include "ui/ShellFolders.h"
#include "ui/UndoResult.h"

namespace {

const char kRedone[] = u8" 個に, 2019/05/01 10:00:00 の名前の変更で付けた新しい名前をもう一度付けます.";

class UndoCommandTest : public FolderWindowTest
{
protected:
    // Answers each box that appears with the next press; sends the command, or presses the
    // shortcut (Ctrl with the letter) outside the text fields: in a field Ctrl+Z takes back
    // the typing there.
    std::vector<SeenBox> Answer(int command, std::vector<int> presses, char shortcut = 0)
    {
        return Answering(presses, [&] {
            if (shortcut) {
                SetFocus(Item(IDC_ORDER));
                CtrlKey(static_cast<UINT>(shortcut));
            } else {
                Command(command);
            }
        });
    }

    // The undo's question of the record DateTheRecord dated, unless the rest says otherwise.
    std::string Question(int count,
                         const char* rest = u8" 個を, 2019/05/01 10:00:00 の名前の変更の前の名前に戻します.") const
    {
        return AnsiText(u8"フォルダ \"") + Text(IDC_FOLDER) + AnsiText(u8"\" のファイル ") + std::to_string(count) +
               AnsiText(rest) + AnsiText(u8" よろしいですか?");
    }
};

TEST_F(UndoCommandTest, UndoPutsTheFolderBackAndRedoBringsTheRunBack)
{
    ASSERT_TRUE(AddFiles(folder, {"b.jpg", "a.txt", "001.jpg"}));
    const Contents before = ContentsOf(folder);
    Answer(IDOK, {IDYES, IDOK});
    DateTheRecord();
    const Contents afterRun = ContentsOf(folder);
    ASSERT_NE(before, afterRun);

    std::vector<SeenBox> seen = Answer(IDM_UNDO, {IDYES, IDOK});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(Question(3), seen[0].text);
    EXPECT_TRUE(seen[0].hasYes && seen[0].hasNo);
    EXPECT_EQ(IDNO, seen[0].defaultId);
    EXPECT_FALSE(seen[0].ownerEnabled);
    EXPECT_EQ("Completed.", seen[1].text);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), seen[1].cursor);
    EXPECT_EQ(before, ContentsOf(folder));

    for (int command : {IDM_REDO, IDM_UNDO, IDM_REDO}) {
        seen = Answer(command, {IDYES, IDOK}, command == IDM_REDO ? 'Y' : 'Z');
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(command == IDM_UNDO ? Question(3) : Question(3, kRedone), seen[0].text);
        EXPECT_EQ(IDNO, seen[0].defaultId);
        EXPECT_EQ("Completed.", seen[1].text);
        EXPECT_EQ(command == IDM_REDO ? afterRun : before, ContentsOf(folder));
    }
    seen = Answer(IDM_REDO, {IDOK});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(AnsiText(u8"やり直せる名前の変更はありません."), seen[0].text);
}

TEST_F(UndoCommandTest, NoChangesNothing)
{
    ASSERT_TRUE(AddFiles(folder, {"b.jpg", "a.txt"}));
    Answer(IDOK, {IDYES, IDOK});
    const std::string record = DateTheRecord();
    const Contents afterRun = ContentsOf(folder);
    const std::string log = ReadWholeFile(LogPath());

    // Without its record, the run is the log's.
    for (bool inHistory : {true, false}) {
        if (!inHistory) {
            ASSERT_TRUE(DeleteFileA(record.c_str()));
        }
        std::vector<SeenBox> seen = Answer(IDM_UNDO, {IDNO});
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(inHistory ? Question(2) : Question(2, u8" 個を元の名前に戻します."), seen[0].text);
        EXPECT_EQ(afterRun, ContentsOf(folder));
        EXPECT_EQ(log, ReadWholeFile(LogPath()));
    }
}

TEST_F(UndoCommandTest, AFileMovedAwayByHandIsReportedAndTheRestComesBack)
{
    ASSERT_TRUE(AddFiles(folder, {"c.txt", "a.txt", "b.txt"}));
    Answer(IDOK, {IDYES, IDOK});
    const std::string record = DateTheRecord();
    ASSERT_TRUE(MoveFileA(folder.PathOf("001.txt").c_str(), logs.PathOf("kept.txt").c_str()));

    std::vector<SeenBox> seen = Answer(IDM_UNDO, {IDYES, IDOK});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(AnsiText(u8"1 個のファイルを元に戻せませんでした. 詳しくはログ \"") + record +
                  AnsiText(u8"\" を見てください."),
              seen[1].text);
    EXPECT_EQ((Contents{{"a.txt", "a.txt"}, {"c.txt", "c.txt"}}), ContentsOf(folder));
    EXPECT_EQ("b.txt", logs.Read("kept.txt"));
}

TEST_F(UndoCommandTest, NothingToUndoIsSaidAndNothingChanges)
{
    const struct
    {
        const char* name;
        const char* log;
        std::string text;
    } cases[] = {
        {"no log", nullptr, AnsiText(u8"元に戻せる名前の変更はありません.")},
        {"not a rename log", "shopping\r\nmilk\r\n",
         AnsiText(u8"ログ欄のファイルは名前変更のログではありません. 何も元に戻していません.")},
        {"no step that moved a file", "C:\\photos\r\na.txt\t->\t000.txt\tmove failed (error 5)\r\n",
         AnsiText(u8"元に戻せる名前の変更はありません.")},
        {"one line of text", "C:\\photos\r\n",
         AnsiText(u8"ログ欄のファイルは名前変更のログではありません. 何も元に戻していません.")},
        {"a folder that is gone", "C:\\qb-gone\r\na.txt\t->\t000.txt\r\n",
         AnsiText(u8"フォルダ \"C:\\qb-gone\" がありません. 何も元に戻していません.")},
    };
    ASSERT_TRUE(folder.Write("a.txt", "a.txt"));
    for (const auto& c : cases) {
        DeleteFileA(LogPath().c_str());
        if (c.log) {
            ASSERT_TRUE(logs.Write("log.txt", c.log));
        }
        std::vector<SeenBox> seen = Answer(IDM_UNDO, {IDOK});
        ASSERT_EQ(1u, seen.size()) << c.name;
        EXPECT_EQ(c.text, seen[0].text) << c.name;
        EXPECT_EQ((Contents{{"a.txt", "a.txt"}}), ContentsOf(folder)) << c.name;
    }
}

// Unless the tests name another, the program's own folder of local application data.
TEST(HistoryFolderTest, IsQuillowbyInTheLocalApplicationData)
{
    char local[MAX_PATH] = "";
    ASSERT_NE(0u, GetEnvironmentVariableA("LOCALAPPDATA", local, sizeof local));
    EXPECT_EQ(std::string(local) + "\\Quillowby", HistoryFolder());
}

TEST(UndoTexts, SayWhatIsTrue)
{
    const struct
    {
        bool stopped;
        int notBack;
        bool unaccounted;
        bool logComplete;
        const char* text;
        bool redo = false;
    } cases[] = {
        {true, 2, false, true,
         u8"元に戻す作業を途中で止めました. 2 個のファイルはまだ元の名前に戻っていません. "
         u8"もう一度元に戻すと続きから戻します."},
        {true, 2, false, true,
         u8"やり直しを途中で止めました. 2 個のファイルはまだ新しい名前になっていません. "
         u8"もう一度やり直すと続きから付けます.",
         true},
        {false, 0, true, true,
         u8"1 個のファイルを元に戻せませんでした. 詳しくはログ \"L\" を見てください.\n"
         u8"ログにない一時ファイル \"~ren0003.tmp\" など 1 個はそのままにしました."},
        {false, 1, false, false,
         u8"1 個のファイルを元に戻せませんでした. ログに書き込めなかったため, "
         u8"ログにはその一部しか書かれていないことがあります."},
    };
    for (const auto& c : cases) {
        UndoOutcome outcome;
        outcome.stopped = c.stopped;
        outcome.notBack = c.notBack;
        outcome.logComplete = c.logComplete;
        if (c.unaccounted)
            outcome.unaccounted.push_back("~ren0003.tmp");
        EXPECT_EQ(AnsiText(c.text), UndoResultText(outcome, "L", c.redo).Data());
    }
    UndoOutcome plan;
    plan.folder = "F";
    plan.finishing = true;
    plan.fileCount = 2;
    EXPECT_EQ(
        AnsiText(
            u8"途中で止まった元に戻す作業を続け, フォルダ \"F\" のファイル 2 個を元の名前に戻します. よろしいですか?"),
        UndoQuestionText(plan).Data());
    plan.fileCount = 0;
    EXPECT_EQ(AnsiText(u8"フォルダ \"F\" で途中で止まった元に戻す作業は, ファイルをすべて戻し終えていました. "
                       u8"そのことをログに書き込みます. よろしいですか?"),
              UndoQuestionText(plan).Data());
}

}  // namespace
