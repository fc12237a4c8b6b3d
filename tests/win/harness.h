#pragma once
// In-process harness for the Wine tests: a real frame with its MDI client,
// message pumping, and a timer that answers modal dialogs and message boxes
// as a user would.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Processes every message waiting for this thread.
void PumpMessages();

// The title of a window, in code page 932.
std::string TitleOf(HWND window);

// True under Wine, where some behaviours of the platform differ.
bool RunningUnderWine();

// The whole text of an edit control, in code page 932.
std::string EditText(HWND edit);
// The same as the control shows it, in UTF-16.
std::wstring ShownText(HWND edit);

// Opens the file in a new document as the open command and drops do.
HWND OpenDocument(const std::string& path);

// The document windows in z-order, top first.
std::vector<HWND> DocumentWindows();

// A drop of files as the shell makes it, for WM_DROPFILES.
HDROP MakeDrop(const std::vector<std::string>& names);
std::vector<std::string> DocumentTitles();

// What a box or dialog showed when it was answered.
struct SeenDialog {
    std::string caption;
    std::vector<std::string> texts;  // the texts of its controls, in order
    RECT rect;
};

// Answers the modal dialogs that come up on this thread, in order, each with
// the next action. A dialog that comes up when no action is left is
// cancelled, so that a test never hangs.
class DialogAnswers {
public:
    using Action = std::function<void(HWND dialog)>;
    DialogAnswers();
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    void Then(Action action);
    void ThenPress(int id);
    const std::vector<SeenDialog>& Seen() const { return seen_; }
    std::size_t Pending() const { return actions_.size() - next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND dialog);

    std::vector<Action> actions_;
    std::size_t next_ = 0;
    std::vector<SeenDialog> seen_;
    HWND last_ = nullptr;
    UINT_PTR timer_ = 0;
};

// Shows every message sent to a window of this thread, before its window
// procedure sees it, while the object lives. One at a time.
class SentMessages {
public:
    explicit SentMessages(std::function<void(HWND window, UINT message, WPARAM wParam)> seen);
    ~SentMessages();
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;

private:
    HHOOK hook_ = nullptr;
};

// The items of a list box, in order.
std::vector<std::string> ListItems(HWND list);
// Sends a dialog the notification that control id gives, and waits for it
// to be handled.
void Notify(HWND dialog, int id, int code);

// Presses a button of a dialog as a click does.
void PressButton(HWND dialog, int id);
// The Escape key in a dialog.
void PressEscape(HWND dialog);

// A started program: classes registered, frame made with its first
// untitled document. Torn down without asking anything.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND frame() const;
    // Sends a menu command to the frame as the menu or an accelerator does.
    void Command(UINT id);
    // The state flags of a menu item after the menu was opened.
    UINT MenuState(UINT id);
};

// A file kept open by another process for the life of this object: without
// sharing, as an editor or a virus scanner may keep it; or, writing, for
// writing with others allowed to read, as a log's writer keeps it.
class HeldByAnotherProcess {
public:
    explicit HeldByAnotherProcess(const std::string& path, bool writing = false);
    ~HeldByAnotherProcess();
    HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;
    bool Holding() const { return holding_; }

private:
    PROCESS_INFORMATION process_ = {};
    bool holding_ = false;
};

// The whole file at path; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// A fresh, empty directory for files of one test; removed afterwards with
// every folder made in it.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Makes a folder; name may lie in a folder made before.
    void MakeFolder(const std::string& name) const;

private:
    std::string path_;
};

// Makes folder the process's current folder for the life of this object,
// and then goes back to the folder that was current before.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string previous_;
};

// The process's current folder.
std::string CurrentFolderPath();

// An environment variable's value in code page 932, empty when unset. Read
// wide: Wine's ANSI form cuts a Japanese value (a checkout's path) short.
std::string Environment(const char* name);

// The name with its single-byte letters upper-cased, as document titles are.
std::string UpperCase(std::string name);
