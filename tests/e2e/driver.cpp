// A small helper for the end-to-end tests: finds the program's windows from
// outside, reads them back and presses buttons, printing UTF-8 lines.
//
//   driver wait-frame [ms]         wait for the frame; print its title
//   driver documents               print the document titles, top first
//   driver wait-dialog [ms]        wait for a dialog (or, before the frame, the start-up
//                                  box); print its caption and texts
//   driver wait-class CLASS [ms]   wait for a top-level window of that class; print its title
//   driver wait-idle [ms]          wait until the program waits for input; print "idle"
//   driver edit-form               print the active document's form: wrap or scroll
//   driver select ID TEXT          select the first entry beginning with TEXT in combo box ID
//                                  of the dialog in front, as a click in its list does
//   driver press ID                press button ID of the dialog in front
//   driver set-text ID TEXT        put TEXT into control ID of the dialog in front, as typing would
//   driver close                   ask the frame to close
//   driver hold PATH [ms]          keep a file open without sharing, as another program may
//   driver write-hold PATH [ms]    keep a file open for writing, sharing reading, as a log's writer does
//
// Texts and paths are taken from the wide command line, so that they arrive
// whole whatever code page the driver runs on.

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string TextOf(HWND window)
{
    wchar_t buffer[1024] = L"";
    GetWindowTextW(window, buffer, 1024);
    return Utf8(buffer);
}

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

HWND Frame()
{
    return FindWindowA("mkframe", nullptr);
}

struct DialogSearch {
    DWORD process;
    HWND found;
};

struct WindowSearch {
    const char* className;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(cls, search->className) == 0 && process == search->process && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the given class in the program's process.
HWND ProgramWindow(const char* className)
{
    HWND frame = Frame();
    if (frame == nullptr) {
        return nullptr;
    }
    WindowSearch search{className, 0, nullptr};
    GetWindowThreadProcessId(frame, &search.process);
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Before its frame exists the program can show only its start-up box,
// which is found by its caption.
HWND Dialog()
{
    if (Frame() == nullptr) {
        return FindWindowW(L"#32770", L"モクレ");
    }
    return ProgramWindow("#32770");
}

// A dialog whose template makes it visible is shown before its controls are
// made; every dialog of the program has a button, made after its texts.
HWND ReadyDialog()
{
    HWND dialog = Dialog();
    return dialog != nullptr && FindWindowExA(dialog, nullptr, "Button", nullptr) != nullptr ? dialog : nullptr;
}

// 0 when the program came to wait for input within the time.
int WaitIdle(int ms)
{
    HWND frame = Frame();
    if (frame == nullptr) {
        return 1;
    }
    DWORD id = 0;
    GetWindowThreadProcessId(frame, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return 1;
    }
    const DWORD result = WaitForInputIdle(process, static_cast<DWORD>(ms));
    CloseHandle(process);
    if (result != 0) {
        return 1;
    }
    PrintLine("idle");
    return 0;
}

template <typename Find>
HWND WaitFor(Find find, int ms)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        HWND w = find();
        if (w != nullptr && IsWindowVisible(w)) {
            return w;
        }
        Sleep(50);
    }
    return nullptr;
}

BOOL CALLBACK PrintChildText(HWND child, LPARAM)
{
    const std::string text = TextOf(child);
    if (!text.empty()) {
        PrintLine(text);
    }
    return TRUE;
}

int Usage()
{
    std::fputs("usage: driver wait-frame|documents|wait-dialog|wait-class CLASS|wait-idle|edit-form|select ID TEXT|"
               "press ID|set-text ID TEXT|close|hold PATH [ms]|write-hold PATH [ms]\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int wideCount = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (wideArgs == nullptr || wideCount != argc) {
        return Usage();
    }
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    const int ms = argc > 2 ? std::atoi(argv[2]) : 20000;

    if (command == "wait-frame") {
        HWND frame = WaitFor(Frame, ms);
        if (frame == nullptr) {
            return 1;
        }
        PrintLine(TextOf(frame));
        return 0;
    }
    if (command == "documents") {
        HWND frame = Frame();
        HWND client = frame != nullptr ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
        if (client == nullptr) {
            return 1;
        }
        for (HWND w = GetWindow(client, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            if (GetWindow(w, GW_OWNER) == nullptr) {
                PrintLine(TextOf(w));
            }
        }
        return 0;
    }
    if (command == "wait-dialog") {
        HWND dialog = WaitFor(ReadyDialog, ms);
        if (dialog == nullptr) {
            return 1;
        }
        PrintLine(TextOf(dialog));
        EnumChildWindows(dialog, PrintChildText, 0);
        return 0;
    }
    if (command == "wait-class" && argc > 2) {
        const char* className = argv[2];
        const int wait = argc > 3 ? std::atoi(argv[3]) : 20000;
        HWND window = WaitFor([className] { return ProgramWindow(className); }, wait);
        if (window == nullptr) {
            return 1;
        }
        PrintLine(TextOf(window));
        return 0;
    }
    if (command == "wait-idle") {
        return WaitIdle(ms);
    }
    if (command == "edit-form") {
        HWND frame = Frame();
        HWND client = frame != nullptr ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
        HWND active = client != nullptr ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
        HWND edit = active != nullptr ? GetDlgItem(active, 3244) : nullptr;
        if (edit == nullptr) {
            return 1;
        }
        PrintLine((GetWindowLongA(edit, GWL_STYLE) & WS_HSCROLL) != 0 ? "scroll" : "wrap");
        return 0;
    }
    if (command == "select" && argc > 3) {
        HWND dialog = Dialog();
        const int id = std::atoi(argv[2]);
        HWND combo = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
        if (combo == nullptr) {
            return 1;
        }
        const LRESULT index = SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(wideArgs[3]));
        if (index == CB_ERR) {
            return 1;
        }
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return 0;
    }
    if (command == "press" && argc > 2) {
        HWND dialog = Dialog();
        HWND button = dialog != nullptr ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (button == nullptr) {
            return 1;
        }
        PostMessageA(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "set-text" && argc > 3) {
        HWND dialog = Dialog();
        HWND control = dialog != nullptr ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (control == nullptr) {
            return 1;
        }
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideArgs[3]));
        return 0;
    }
    if ((command == "hold" || command == "write-hold") && argc > 2) {
        const bool writing = command == "write-hold";
        // The test looks for the hold by opening the file itself; while its
        // look has the file open, this open is refused for sharing.
        const ULONGLONG deadline = GetTickCount64() + 10000;
        HANDLE file = INVALID_HANDLE_VALUE;
        while ((file = CreateFileW(wideArgs[2], writing ? GENERIC_WRITE : GENERIC_READ,
                                   writing ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr)) == INVALID_HANDLE_VALUE &&
               GetLastError() == ERROR_SHARING_VIOLATION && GetTickCount64() < deadline) {
            Sleep(10);
        }
        if (file == INVALID_HANDLE_VALUE) {
            return 1;
        }
        Sleep(argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 60000);
        CloseHandle(file);
        return 0;
    }
    if (command == "close") {
        HWND frame = Frame();
        if (frame == nullptr) {
            return 1;
        }
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return 0;
    }
    return Usage();
}
