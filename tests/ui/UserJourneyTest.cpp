#include "tests/ui/UiTestSupport.h"

#include "res/resource.h"
#include "tests/support/TempFolder.h"

#include <cstdio>

namespace {

// Deletes the named files of a folder when it goes, whatever became of them.
class Cleanup
{
public:
    explicit Cleanup(std::string folder) : folder(folder) {}
    ~Cleanup()
    {
        for (const std::string& name : names)
            DeleteFileA((folder + "\\" + name).c_str());
    }
    std::vector<std::string> names;

private:
    std::string folder;
};

bool FolderIsEmpty(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            empty = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

// Start, pick the desktop with its button, run with the defaults, read the log that the
// window proposed.
TEST_F(MainWindowTest, DesktopButtonRunAndLogAsANewUserWould)
{
    const std::string desktop = DesktopPath();
    if (!FolderIsEmpty(desktop))
        GTEST_SKIP() << "the desktop of this Wine prefix holds files that are not the test's";
    Cleanup cleanup(desktop);
    cleanup.names = {"b.jpg", "a.txt", "000.jpg", "001.txt", "log.txt"};
    for (const char* name : {"b.jpg", "a.txt"}) {
        FILE* file = std::fopen((desktop + "\\" + name).c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fputs(name, file);
        std::fclose(file);
    }

    Click(IDC_DESKTOP);
    Pump();
    std::vector<SeenBox> seen = RunAnsweringYes();

    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Completed.", seen[1].text);
    EXPECT_EQ("b.jpg", ReadWholeFile(desktop + "\\000.jpg"));
    EXPECT_EQ("a.txt", ReadWholeFile(desktop + "\\001.txt"));
    const std::string log = ReadWholeFile(Text(IDC_LOG_PATH));
    EXPECT_EQ(Text(IDC_FOLDER) + "\r\nb.jpg\t->\t000.jpg\r\na.txt\t->\t001.txt\r\n", log);
}

}  // namespace
