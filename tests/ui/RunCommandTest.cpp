#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/FolderFiles.h"
#include "ui/AppObjects.h"

namespace {

// The question in the very bytes of code page 932: the string table must reach the window
// as the ANSI code page, not as UTF-8 or UTF-16.
const std::string kConfirmation = "\x82\xE6\x82\xEB\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9?";
const std::string kDigitWarning = AnsiText(u8"桁数は1から10桁までにしてください.");
const std::string kStartWarning = AnsiText(u8"開始数字は0から2147483647までにしてください.");

class RunCommandTest : public FolderWindowTest
{
protected:
    void SetUp() override
    {
        FolderWindowTest::SetUp();
        SendDlgItemMessageA(dialog, IDC_ORDER, CB_SETCURSEL, 1, 0);
    }

    // Confirms with Yes (or the first press given) and answers the boxes that follow with OK.
    std::vector<SeenBox> Run(std::vector<int> presses = {IDYES, IDOK})
    {
        return Answering(presses, [this] { Command(IDOK); });
    }

    void ExpectSelectedField(int id)
    {
        EXPECT_EQ(Item(id), GetFocus());
        DWORD start = 1;
        DWORD end = 0;
        SendMessageA(Item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(Text(id).size(), end);
    }
};

HICON SystemIcon(LPCSTR id)
{
    return LoadIconA(nullptr, id);
}

HCURSOR Arrow()
{
    return LoadCursorA(nullptr, IDC_ARROW);
}

TEST_F(RunCommandTest, NoLeavesJobAndFolderAlone)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
    renameJob.folder.Assign("before");

    std::vector<SeenBox> seen = Run({IDNO});

    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Quillowby", seen[0].title);
    EXPECT_EQ(kConfirmation, seen[0].text);
    EXPECT_EQ(SystemIcon(IDI_QUESTION), seen[0].icon);
    EXPECT_TRUE(seen[0].hasYes && seen[0].hasNo);
    EXPECT_EQ(IDNO, seen[0].defaultId);
    EXPECT_FALSE(seen[0].ownerEnabled) << "the question must be modal to the main window";
    EXPECT_STREQ("before", renameJob.folder.Data());
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, folder.Names());
    EXPECT_FALSE(LogExists());
}

// A digit count outside 1 to 10, or a start number past the signed range, in its field.
struct BadField
{
    int id;
    const char* text;
    bool padding;
};

TEST_F(RunCommandTest, DigitCountOutsideOneToTenOrStartNumberPastTheSignedRangeIsRefused)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
    const BadField cases[] = {{IDC_DIGITS, "0", true},         {IDC_DIGITS, "11", true},
                              {IDC_DIGITS, "", true},          {IDC_DIGITS, "2147483648", true},
                              {IDC_DIGITS, "0", false},        {IDC_START, "2147483648", true},
                              {IDC_START, "4294967295", true}, {IDC_START, "99999999999", true}};
    for (const BadField& bad : cases) {
        SCOPED_TRACE(std::string("field ") + std::to_string(bad.id) + " \"" + bad.text +
                     (bad.padding ? "\"" : "\", padding off"));
        SetText(IDC_DIGITS, "3");
        SetText(IDC_START, "0");
        SetText(bad.id, bad.text);
        if (!bad.padding)
            Click(IDC_FIX_DIGITS);
        SetFocus(Item(IDC_FOLDER));

        std::vector<SeenBox> seen = Run();

        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(bad.id == IDC_DIGITS ? kDigitWarning : kStartWarning, seen[1].text);
        EXPECT_EQ("Quillowby", seen[1].title);
        EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), seen[1].icon);
        EXPECT_TRUE(seen[1].hasOk && !seen[1].hasYes);
        EXPECT_EQ(Arrow(), seen[1].cursor) << "the wait cursor must be gone when the warning shows";
        EXPECT_EQ(Arrow(), GetCursor());
        if (bad.padding)
            ExpectSelectedField(bad.id);
        else
            Click(IDC_FIX_DIGITS);
        EXPECT_EQ(std::vector<std::string>{"a.txt"}, folder.Names());
        EXPECT_FALSE(LogExists());
    }
}

struct CompletedRun
{
    const char* pattern;
    const char* start;
    const char* digits;
    bool padding;
    std::vector<std::string> before;
    std::vector<std::string> after;
    // Both paths typed as pasted from Explorer, in quotes and with spaces around.
    bool pasted = false;
    // The folder a deep one, of about that many characters.
    size_t folderLength = 0;
};

TEST_F(RunCommandTest, CompletedRunRenamesEveryFileAndSaysSo)
{
    const CompletedRun runs[] = {
        {"img?", "0", "3", true, {"b.txt", "a.txt"}, {"img000.txt", "img001.txt"}},
        {"?", "7", "1", true, {"a.txt"}, {"7.txt"}},
        {"?", "7", "10", true, {"a.txt"}, {"0000000007.txt"}},
        {"?", "7", "3", false, {"a.txt"}, {"7.txt"}},
        {"x?y", "", "3", true, {"a.jpg"}, {"x000y.jpg"}},
        {"?", "2147483647", "3", true, {"a.txt"}, {"2147483647.txt"}},
        {"?", "0", "3", true, {"a.txt"}, {"000.txt"}, true},
        {"?", "0", "3", true, {"a.txt"}, {"000.txt"}, false, 1000},
    };
    for (const CompletedRun& run : runs) {
        SCOPED_TRACE(std::string(run.pattern) + " start " + run.start + " digits " + run.digits);
        TempFolder here(run.folderLength);
        ASSERT_TRUE(AddFiles(here, run.before));
        Type(IDC_FOLDER, run.pasted ? " \"" + here.Path() + "\" " : here.Path());
        if (run.pasted)
            SetText(IDC_LOG_PATH, "\"" + LogPath() + "\" ");
        SetText(IDC_PATTERN, run.pattern);
        SetText(IDC_START, run.start);
        SetText(IDC_DIGITS, run.digits);
        if (!run.padding)
            Click(IDC_FIX_DIGITS);

        std::vector<SeenBox> seen = Run();

        if (!run.padding)
            Click(IDC_FIX_DIGITS);
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ("Completed.", seen[1].text);
        EXPECT_EQ("Quillowby", seen[1].title);
        EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), seen[1].icon);
        EXPECT_EQ(Arrow(), seen[1].cursor);
        EXPECT_EQ(run.after, here.Names());
        EXPECT_NE("", ReadWholeFile(LogPath()));
        EXPECT_EQ(Arrow(), GetCursor());
        EXPECT_EQ(Lower(here.Path()), Text(IDC_FOLDER)) << "the field shows the folder used";
        EXPECT_EQ(Lower(LogPath()), Text(IDC_LOG_PATH));
    }
}

TEST_F(RunCommandTest, RunThatCannotStartSaysFailed)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
    const std::pair<std::string, std::string> cases[] = {
        {std::string(), u8"フォルダが指定されていません."},
        {folder.PathOf("missing"), u8"フォルダがありません."},
        {folder.PathOf("a.txt"), u8"フォルダの中を見られません. フォルダではないか, 見る権限がありません."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("folder \"" + c.first + "\"");
        SetText(IDC_FOLDER, c.first);

        std::vector<SeenBox> seen = Run();

        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ("Failed.\n" + AnsiText(c.second.c_str()), seen[1].text);
        EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), seen[1].icon);
        EXPECT_EQ(Arrow(), seen[1].cursor);
        EXPECT_FALSE(LogExists());
    }
}

TEST_F(RunCommandTest, PartlyDoneRunSaysHowManyAndPointsToTheLog)
{
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt"}));
    AddTooLongFile(folder);
    // Held open by another program, which lets no one move it.
    HANDLE held = CreateFileA(folder.PathOf("b.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    std::vector<SeenBox> seen = Run();
    CloseHandle(held);

    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(
        "1 file could not be renamed; the log has the details." +
            AnsiText(
                u8"\n\"b.txt\": 移動できませんでした (ほかのプログラムが開いているか, ファイルシステムが拒みました)"
                u8"\n詳しくはログ \"") +
            Text(IDC_LOG_PATH) + AnsiText(u8"\" を見てください.\n対象外 1 個: 長すぎる名前 1 個"),
        seen[1].text);
    EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), seen[1].icon);
    EXPECT_EQ(Arrow(), seen[1].cursor);
    EXPECT_TRUE(folder.Exists("000.txt"));
    EXPECT_TRUE(LogExists());
}

struct FileAtLogPath
{
    const char* name;
    std::string content;
    std::vector<int> presses;
    bool asked;
    bool renamed;
};

TEST_F(RunCommandTest, AFileNoRunWroteIsReplacedOnlyWhenTheUserSaysSo)
{
    const std::string earlierLog = "C:\\photos\r\na.txt\t->\t000.txt\r\n";
    const FileAtLogPath cases[] = {
        {"user's file, No", "shopping\r\nmilk\r\n", {IDYES, IDNO}, true, false},
        {"user's file, Yes", "shopping\r\nmilk\r\n", {IDYES, IDYES, IDOK}, true, true},
        {"earlier log", earlierLog, {IDYES, IDOK}, false, true},
        {"empty file", "", {IDYES, IDOK}, false, true},
    };
    for (const FileAtLogPath& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder here;
        ASSERT_TRUE(here.Write("a.txt", "a"));
        ASSERT_TRUE(logs.Write("log.txt", c.content));
        SetText(IDC_FOLDER, here.Path());

        std::vector<SeenBox> seen = Run(c.presses);

        ASSERT_EQ(c.presses.size(), seen.size());
        if (c.asked) {
            EXPECT_EQ("Quillowby", seen[1].title);
            EXPECT_NE(std::string::npos, Lower(seen[1].text).find(Lower(LogPath()))) << "the question names the file";
            EXPECT_TRUE(seen[1].hasYes && seen[1].hasNo);
            EXPECT_EQ(IDNO, seen[1].defaultId);
            EXPECT_FALSE(seen[1].ownerEnabled);
            EXPECT_EQ(Arrow(), seen[1].cursor);
        }
        if (c.renamed) {
            EXPECT_EQ("Completed.", seen.back().text);
            EXPECT_EQ(std::vector<std::string>{"000.txt"}, here.Names());
            EXPECT_EQ(Lower(here.Path()) + "\r\na.txt\t->\t000.txt\r\n", logs.Read("log.txt"));
        } else {
            EXPECT_EQ(std::vector<std::string>{"a.txt"}, here.Names());
            EXPECT_EQ(c.content, logs.Read("log.txt"));
        }
        EXPECT_EQ(Arrow(), GetCursor());
    }
}

// A history folder under a file cannot be made.
TEST_F(RunCommandTest, ALogOrRecordThatCannotBeKeptIsAskedAboutBeforeAnyMove)
{
    const std::string noHistory = history.PathOf("file\\Quillowby");
    ASSERT_TRUE(history.Write("file", ""));
    for (bool log : {true, false}) {
        SetText(IDC_LOG_PATH, log ? logs.PathOf("missing\\log.txt") : LogPath());
        SetEnvironmentVariableA("QUILLOWBY_HISTORY_DIR", log ? history.Path().c_str() : noHistory.c_str());
        const std::string question =
            log ? AnsiText(u8"ログファイル \"") + Text(IDC_LOG_PATH) +
                      AnsiText(u8"\" を作れません. ログがないと, この名前の変更は元に戻せません. 続けますか?")
                : AnsiText(u8"名前の変更の記録をフォルダ \"") + noHistory +
                      AnsiText(
                          u8"\" に残せません. 記録がないと, この名前の変更は「元に戻す」で戻せません. 続けますか?");
        for (bool goOn : {false, true}) {
            DeleteFileA(folder.PathOf("000.txt").c_str());
            ASSERT_TRUE(AddFiles(folder, {"a.txt"}));
            std::vector<SeenBox> seen =
                Run(goOn ? std::vector<int>{IDYES, IDYES, IDOK} : std::vector<int>{IDYES, IDNO});
            EXPECT_EQ(question, seen[1].text);
            EXPECT_EQ(IDNO, seen[1].defaultId);
            EXPECT_EQ(Arrow(), seen[1].cursor);
            EXPECT_EQ(std::vector<std::string>{goOn ? "000.txt" : "a.txt"}, folder.Names());
            const std::string completed = log ? "Completed, but the log could not be written." : "Completed.";
            EXPECT_EQ(goOn ? completed : question, seen.back().text);
        }
    }
}

// Its files may be under temporary names: the run goes only once that run is taken back.
TEST_F(RunCommandTest, ARunThatDidNotFinishIsTakenBackWhenTheUserSaysSoAndNothingRuns)
{
    ASSERT_TRUE(AddFiles(folder, {"b.txt", "a.txt"}));
    const Contents before = ContentsOf(folder);
    Run();
    DateTheRecord(true);
    const Contents afterRun = ContentsOf(folder);
    const std::string question =
        AnsiText(u8"フォルダ \"") + Text(IDC_FOLDER) +
        AnsiText(u8"\" で 2019/05/01 10:00:00 に行った名前の変更が途中で終わっています. "
                 u8"一時的な名前のままのファイルがあるかもしれません. 先にこの変更を元に戻しますか?");
    for (bool takeBack : {false, true}) {
        std::vector<SeenBox> seen =
            Run(takeBack ? std::vector<int>{IDYES, IDYES, IDOK} : std::vector<int>{IDYES, IDNO});
        EXPECT_EQ(question, seen[1].text);
        EXPECT_EQ(IDNO, seen[1].defaultId);
        EXPECT_EQ(takeBack ? "Completed." : question, seen.back().text);
        EXPECT_EQ(takeBack ? before : afterRun, ContentsOf(folder));
    }
}

struct Refusal
{
    std::string pattern;
    const char* start;
    std::string message;
};

TEST_F(RunCommandTest, RunRefusedBeforeAnyMoveSaysWhyAndWhichFile)
{
    const Refusal refusals[] = {
        {"?", "2147483647", "Nothing was renamed: the number of \"b.txt\" would pass 2147483647."},
        {std::string(250, 'n') + "?", "0",
         "Nothing was renamed: the new name of \"a.txt\" would be longer than 255 bytes."},
    };
    ASSERT_TRUE(AddFiles(folder, {"a.txt", "b.txt"}));
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message);
        SetText(IDC_PATTERN, refusal.pattern);
        SetText(IDC_START, refusal.start);

        std::vector<SeenBox> seen = Run();

        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(refusal.message, seen[1].text);
        EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), folder.Names());
    }
}

}  // namespace
