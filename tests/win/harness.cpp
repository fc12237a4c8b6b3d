#include "tests/win/harness.h"

#include "app/frame.h"
#include "app/startup.h"
#include "document/copy_files.h"
#include "document/document_data.h"
#include "state/app_state.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace {

DialogAnswers* activeAnswers = nullptr;
std::function<void(HWND, UINT, WPARAM)> sentSeen;

LRESULT CALLBACK SeeSent(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sentSeen) {
        sentSeen(sent->hwnd, sent->message, sent->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsDialogClass(HWND window)
{
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    return std::strcmp(cls, "#32770") == 0;
}

struct DialogHunt {
    HWND found;
};

// The dialog in front: visible and enabled (a dialog under a message box is
// disabled while the box is up).
BOOL CALLBACK HuntDialog(HWND window, LPARAM lParam)
{
    if (IsDialogClass(window) && IsWindowVisible(window) && IsWindowEnabled(window)) {
        reinterpret_cast<DialogHunt*>(lParam)->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(TitleOf(child));
    return TRUE;
}

bool classesRegistered = false;

// The program keeps recovery copies under LOCALAPPDATA. Tests that do not
// look at them point it where no folder is, so that the program keeps none
// and finds none the user's own runs left.
class NoRecoveryFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        SetEnvironmentVariableA("LOCALAPPDATA", (std::string(temp) + "mokure-test-no-folder\\none").c_str());
    }
};

::testing::Environment* const noRecoveryFolder = ::testing::AddGlobalTestEnvironment(new NoRecoveryFolder);

}  // namespace

SentMessages::SentMessages(std::function<void(HWND, UINT, WPARAM)> seen)
{
    sentSeen = std::move(seen);
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, SeeSent, nullptr, GetCurrentThreadId());
}

SentMessages::~SentMessages()
{
    UnhookWindowsHookEx(hook_);
    sentSeen = nullptr;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string TitleOf(HWND window)
{
    return WindowTitle(window);
}

std::vector<HWND> DocumentWindows()
{
    return DocumentWindowsTopDown();
}

std::vector<std::string> DocumentTitles()
{
    std::vector<std::string> titles;
    for (HWND w : DocumentWindows()) {
        titles.push_back(TitleOf(w));
    }
    return titles;
}

DialogAnswers::DialogAnswers()
{
    activeAnswers = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

DialogAnswers::~DialogAnswers()
{
    KillTimer(nullptr, timer_);
    activeAnswers = nullptr;
}

void DialogAnswers::Then(Action action)
{
    actions_.push_back(std::move(action));
}

void DialogAnswers::ThenPress(int id)
{
    Then([id](HWND dialog) { PressButton(dialog, id); });
}

void CALLBACK DialogAnswers::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeAnswers == nullptr) {
        return;
    }
    DialogHunt hunt{nullptr};
    EnumThreadWindows(GetCurrentThreadId(), HuntDialog, reinterpret_cast<LPARAM>(&hunt));
    if (hunt.found != nullptr && hunt.found != activeAnswers->last_) {
        activeAnswers->Answer(hunt.found);
    }
}

void DialogAnswers::Answer(HWND dialog)
{
    last_ = dialog;
    SeenDialog seen;
    seen.caption = TitleOf(dialog);
    EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&seen.texts));
    GetWindowRect(dialog, &seen.rect);
    seen_.push_back(seen);
    if (next_ < actions_.size()) {
        actions_[next_++](dialog);
    } else {
        ADD_FAILURE() << "an unexpected dialog came up: " << seen.caption;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        items.push_back(item);
    }
    return items;
}

void Notify(HWND dialog, int id, int code)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressEscape(HWND dialog)
{
    HWND focus = GetFocus();
    HWND target = focus != nullptr && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void FrameTest::SetUp()
{
    AppState = AppStateRecord();
    AppState.instance = GetModuleHandleA(nullptr);
    if (!classesRegistered) {
        ASSERT_TRUE(RegisterWindowClasses());
        classesRegistered = true;
    }
    ASSERT_TRUE(CreateFrameWindow("", SW_SHOWNORMAL));
    PumpMessages();
}

void FrameTest::TearDown()
{
    if (AppState.frameWindow != nullptr && IsWindow(AppState.frameWindow)) {
        DestroyAllDocuments();
        DestroyWindow(AppState.frameWindow);
    }
    PumpMessages();
    // The frame's destruction posts the quit message; it is not for us.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    AppState = AppStateRecord();
}

HWND FrameTest::frame() const
{
    return AppState.frameWindow;
}

void FrameTest::Command(UINT id)
{
    SendMessageA(AppState.frameWindow, WM_COMMAND, id, 0);
    PumpMessages();
}

UINT FrameTest::MenuState(UINT id)
{
    HMENU menu = GetMenu(AppState.frameWindow);
    SendMessageA(AppState.frameWindow, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

HeldByAnotherProcess::HeldByAnotherProcess(const std::string& path, bool writing)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string driver(self);
    driver = driver.substr(0, driver.find_last_of('\\') + 1) + "mokure_driver.exe";
    std::string commandLine = "\"" + driver + "\" " + (writing ? "write-hold" : "hold") + " \"" + path + "\" 30000";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(driver.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        return;
    }
    // Held once an open that shares nothing is refused. Starting a program
    // under Wine beside a build can take seconds; the hold lasts 30.
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (!holding_ && GetTickCount64() < deadline &&
           WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        HANDLE probe = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        holding_ = probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
        }
        if (!holding_) {
            Sleep(25);
        }
    }
}

HeldByAnotherProcess::~HeldByAnotherProcess()
{
    if (process_.hProcess != nullptr) {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

TempDirectory::TempDirectory()
{
    char base[MAX_PATH] = "";
    GetTempPathA(sizeof base, base);
    static unsigned serial = 0;
    std::ostringstream name;
    name << base << "mokure-test-" << GetCurrentProcessId() << "-" << ++serial;
    path_ = name.str();
    CreateDirectoryA(path_.c_str(), nullptr);
}

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string item = folder + "\\" + found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                SetFileAttributesA(item.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(item.c_str());
            } else if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
                RemoveTree(item);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempDirectory::~TempDirectory()
{
    RemoveTree(path_);
}

void TempDirectory::MakeFolder(const std::string& name) const
{
    CreateDirectoryA(File(name).c_str(), nullptr);
}

std::string CurrentFolderPath()
{
    char folder[2 * MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

CurrentFolder::CurrentFolder(const std::string& folder) : previous_(CurrentFolderPath())
{
    SetCurrentDirectoryA(folder.c_str());
}

CurrentFolder::~CurrentFolder()
{
    SetCurrentDirectoryA(previous_.c_str());
}

std::string TempDirectory::File(const std::string& name) const
{
    return path_ + "\\" + name;
}

void TempDirectory::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(File(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string TempDirectory::Read(const std::string& name) const
{
    return ReadBytes(File(name));
}

bool TempDirectory::Exists(const std::string& name) const
{
    return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string EditText(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring ShownText(HWND edit)
{
    std::wstring text(static_cast<std::size_t>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

HDROP MakeDrop(const std::vector<std::string>& names)
{
    std::size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& n : names) {
        bytes += n.size() + 1;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& n : names) {
        std::memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

HWND OpenDocument(const std::string& path)
{
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    return CreateDocumentWindow(name.data());
}

std::string Environment(const char* name)
{
    const std::wstring wideName = WideName(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    std::wstring value(size, L'\0');
    const DWORD length = size > 0 ? GetEnvironmentVariableW(wideName.c_str(), value.data(), size) : 0;
    value.resize(length < size ? length : 0);
    return NarrowName(value);
}

std::string UpperCase(std::string name)
{
    CharUpperA(name.data());
    return name;
}
