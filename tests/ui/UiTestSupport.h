#ifndef QUILLOWBY_TESTS_UI_TEST_SUPPORT_H
#define QUILLOWBY_TESTS_UI_TEST_SUPPORT_H

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// What a modal window (a message box, the about box, a common dialog) showed when it was
// answered.
struct SeenBox
{
    std::string title;
    // A message box's text; empty for other dialogs.
    std::string text;
    HICON icon;
    bool hasYes;
    bool hasNo;
    bool hasOk;
    // The button drawn as the default one, 0 when none is.
    int defaultId;
    HCURSOR cursor;
    bool ownerEnabled;
};

// Answers the modal windows that the code under test opens, one queued answer per window,
// from a thread timer: the modal loops dispatch its ticks while they wait. A window that
// finds no answer queued is cancelled and counted as unexpected.
class BoxAnswerer
{
public:
    typedef std::function<void(HWND box)> Answer;

    explicit BoxAnswerer(HWND owner);
    ~BoxAnswerer();

    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    void Queue(Answer answer) { answers.push_back(answer); }
    // Presses a message box's button (IDYES, IDNO, IDOK).
    void QueuePress(int buttonId);

    std::vector<SeenBox> seen;
    int unexpected;
    size_t Pending() const { return answers.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void AnswerOpenBoxes();

    HWND owner;
    UINT_PTR timer;
    std::deque<Answer> answers;
    std::set<HWND> handled;
    static BoxAnswerer* current;
};

SeenBox DescribeBox(HWND box, HWND owner);
std::string WindowText(HWND window);
// A text of the tests' UTF-8 sources as the program sees it: in the ANSI code page.
std::string AnsiText(const char* utf8);

// Runs the main window as the program does, created from the program's own resources, with a
// history of runs of the test's own.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::string Text(int id) const { return WindowText(Item(id)); }
    void SetText(int id, const std::string& text) const { SetDlgItemTextA(dialog, id, text.c_str()); }
    // Empties the field and types text into it key by key, as the user would.
    void Type(int id, const std::string& text) const;
    void Command(int id) const { SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // Hands a key press to the dialog manager, as the program's message loop does.
    void Key(UINT key) const;
    // The key pressed with Ctrl held.
    void CtrlKey(UINT key) const;
    // Answers each box that appears while act runs with the next of presses (IDYES, IDNO,
    // IDOK); the boxes seen. A box the presses did not foresee, or a press left over, fails.
    std::vector<SeenBox> Answering(const std::vector<int>& presses, const std::function<void()>& act);
    // Handles what is waiting in the queue, as the program's loop would.
    void Pump();
    // The command messages waiting for the dialog (removed from the queue, not handled).
    std::vector<WPARAM> TakeCommands();
    // The centre of a control, in the dialog's client coordinates.
    POINT CentreOf(int id) const;
    RECT ClientRectOf(int id) const;
    bool QuitPosted() const { return quitSeen; }
    // Starts a run, says Yes to its question and closes its result box; the boxes seen.
    std::vector<SeenBox> RunAnsweringYes();
    // Dates the record of the test's one run 2019/05/01 10:00:00; with unfinished, it loses its
    // finishing line, as when the run did not live to its end. The record's path.
    std::string DateTheRecord(bool unfinished = false) const;

    HWND dialog = nullptr;
    bool quitSeen = false;
    TempFolder history;
};

// The main window with its folder field on a fresh folder and its log field on "log.txt" in
// another fresh folder.
class FolderWindowTest : public MainWindowTest
{
protected:
    void SetUp() override;

    std::string LogPath() const { return logs.PathOf("log.txt"); }
    bool LogExists() const { return GetFileAttributesA(LogPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

    TempFolder folder;
    TempFolder logs;
};

LPARAM PointParam(POINT point);
std::string Lower(std::string text);
std::string DesktopPath();
// Makes a file whose name, each of its 40 characters outside the ANSI code page escaped, is
// longer than 255 bytes, which the run leaves alone; returns that name.
std::string AddTooLongFile(const TempFolder& folder);

#endif
