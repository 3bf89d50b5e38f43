#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/TempFolder.h"
#include "ui/AppObjects.h"

namespace {

// Control ids of the common file dialog's template.
const int kFilterList = 0x470;
const int kNameCombo = 0x47c;
const int kNameEdit = 0x480;

struct ChooserView
{
    std::string title;
    std::string name = "unread";
    std::string folder;
    std::string filter;
    int filterCount = -1;
};

HWND NameField(HWND box)
{
    HWND field = GetDlgItem(box, kNameCombo);
    return field ? field : GetDlgItem(box, kNameEdit);
}

ChooserView Describe(HWND box)
{
    ChooserView view;
    view.title = WindowText(box);
    view.name = WindowText(NameField(box));
    char folder[MAX_PATH] = "";
    SendMessageA(box, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    view.folder = folder;
    HWND filters = GetDlgItem(box, kFilterList);
    view.filterCount = static_cast<int>(SendMessageA(filters, CB_GETCOUNT, 0, 0));
    view.filter = WindowText(filters);
    return view;
}

// Types a name into the dialog and presses its OK button.
BoxAnswerer::Answer Choose(std::string path, ChooserView* view)
{
    return [path, view](HWND box) {
        *view = Describe(box);
        SetWindowTextA(NameField(box), path.c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
}

BoxAnswerer::Answer Cancel(ChooserView* view)
{
    return [view](HWND box) {
        *view = Describe(box);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    };
}

TEST_F(MainWindowTest, CancelledChooserChangesNothing)
{
    const std::string before = Text(IDC_LOG_PATH);
    ChooserView view;
    BoxAnswerer answerer(dialog);
    answerer.Queue(Cancel(&view));

    Click(IDC_LOG_BROWSE);

    EXPECT_EQ(0u, answerer.Pending());
    EXPECT_EQ(AnsiText(u8"名前をつけて保存"), view.title);
    EXPECT_EQ("", view.name);
    EXPECT_EQ(1, view.filterCount);
    EXPECT_EQ("Text Files (*txt)", view.filter);
    EXPECT_EQ(Lower(DesktopPath()), Lower(view.folder)) << "the first dialog starts on the desktop";
    EXPECT_EQ(before, Text(IDC_LOG_PATH));
    EXPECT_EQ(1, fileDialogSettings.filterIndex);
    EXPECT_STREQ(DesktopPath().c_str(), fileDialogSettings.initialDir.Data());
}

TEST_F(MainWindowTest, ChosenFileBecomesTheLogPathAndTheNextStart)
{
    TempFolder chosen;
    ChooserView first;
    ChooserView second;
    BoxAnswerer answerer(dialog);
    answerer.Queue(Choose(chosen.PathOf("run"), &first));

    Click(IDC_LOG_BROWSE);

    const std::string expected = chosen.PathOf("run.txt");
    EXPECT_EQ(0u, answerer.Pending());
    EXPECT_EQ(Lower(expected), Lower(Text(IDC_LOG_PATH))) << "a name without extension gets .txt";
    EXPECT_EQ(Lower(expected), Lower(fileDialogSettings.initialDir.Data()));
    EXPECT_EQ(1, fileDialogSettings.filterIndex);

    answerer.Queue(Cancel(&second));
    Click(IDC_LOG_BROWSE);
    EXPECT_EQ(0u, answerer.Pending());
    EXPECT_EQ("", second.name) << "the name box starts empty again";
    EXPECT_EQ(Lower(chosen.Path()), Lower(second.folder)) << "the next dialog starts where the last choice was";
    EXPECT_EQ(Lower(expected), Lower(Text(IDC_LOG_PATH)));
}

TEST_F(MainWindowTest, ChoosingAnExistingFileAsksFirst)
{
    TempFolder chosen;
    ASSERT_TRUE(chosen.Write("old.txt", "kept"));
    ChooserView view;
    BoxAnswerer answerer(dialog);
    answerer.Queue(Choose(chosen.PathOf("old.txt"), &view));
    answerer.QueuePress(IDYES);

    Click(IDC_LOG_BROWSE);

    EXPECT_EQ(0u, answerer.Pending()) << "the overwrite question must come";
    EXPECT_EQ(Lower(chosen.PathOf("old.txt")), Lower(Text(IDC_LOG_PATH)));
    EXPECT_EQ("kept", chosen.Read("old.txt")) << "choosing a log file does not write it";
}

// Puts the process into a folder for the test and back where it was after it.
class CurrentFolder
{
public:
    explicit CurrentFolder(const std::string& path)
    {
        GetCurrentDirectoryA(MAX_PATH, before);
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(before); }

private:
    char before[MAX_PATH] = "";
};

TEST_F(MainWindowTest, RelativeTextsNameTheSameFoldersAfterTheChooser)
{
    for (const char* typed : {"photos", ".\\photos"}) {
        SCOPED_TRACE(typed);
        TempFolder start;
        TempFolder chosen;
        for (const TempFolder* folder : {&start, &chosen}) {
            ASSERT_TRUE(folder->MakeFolder("photos"));
            ASSERT_TRUE(folder->Write("photos\\a.txt", "a"));
        }
        CurrentFolder inStart(start.Path());
        ChooserView view;
        BoxAnswerer answerer(dialog);
        answerer.Queue(Choose(chosen.PathOf("chosen.txt"), &view));
        Click(IDC_LOG_BROWSE);
        ASSERT_EQ(0u, answerer.Pending());

        SetText(IDC_FOLDER, typed);
        SetText(IDC_LOG_PATH, "rel.txt");
        answerer.QueuePress(IDYES);
        answerer.QueuePress(IDOK);
        Command(IDOK);

        EXPECT_EQ(0u, answerer.Pending());
        EXPECT_TRUE(start.Exists("photos\\000.txt")) << "the folder named before the chooser is renamed";
        EXPECT_TRUE(chosen.Exists("photos\\a.txt")) << "the chosen log's folder is not";
        EXPECT_TRUE(start.Exists("rel.txt"));
        EXPECT_FALSE(chosen.Exists("rel.txt"));
    }
}

}  // namespace
