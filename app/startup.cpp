#include "app/startup.h"

#include "app/code_page_check.h"
#include "app/command_line.h"
#include "app/frame.h"
#include "app/take_back.h"
#include "document/document_data.h"
#include "document/document_window.h"
#include "document/edit_control.h"
#include "document/edit_positions.h"
#include "document/recovery.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

#include <shellapi.h>

#include <vector>

namespace {

bool RegisterOneClass(const char* name, WNDPROC procedure, int windowExtra, int icon, const char* menu)
{
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = procedure;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = windowExtra;
    wc.hInstance = AppState.instance;
    wc.hIcon = LoadIconA(AppState.instance, MAKEINTRESOURCEA(icon));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = menu;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

// A document's title is the path it is saved to, so a name relative to
// the current folder is made whole before the folder can change.
std::vector<char> FullPathOf(const std::string& name)
{
    const DWORD needed = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::vector<char> full(needed + 1, '\0');
        const DWORD got = GetFullPathNameA(name.c_str(), needed + 1, full.data(), nullptr);
        if (got != 0 && got <= needed) {
            return full;
        }
    }
    std::vector<char> copy(name.begin(), name.end());
    copy.push_back('\0');
    return copy;
}

// The stock fixed-pitch system font where it shows Shift-JIS, else a
// Shift-JIS font of its size, made once and kept as the stock one is.
HFONT DefaultDocumentFont()
{
    HGDIOBJ stock = GetStockObject(SYSTEM_FIXED_FONT);
    if (SystemFontsShowShiftJis()) {
        return static_cast<HFONT>(stock);
    }
    static HFONT made = nullptr;
    if (made == nullptr) {
        HDC screen = GetDC(nullptr);
        made = screen != nullptr ? CreateShiftJisFontLike(screen, stock) : nullptr;
        if (screen != nullptr) {
            ReleaseDC(nullptr, screen);
        }
    }
    return made != nullptr ? made : static_cast<HFONT>(stock);
}

}  // namespace

bool RegisterWindowClasses()
{
    return RegisterOneClass(kFrameClassName, FrameWndProc, 0, IDI_PROGRAM, MAKEINTRESOURCEA(1)) &&
           RegisterOneClass(kDocumentClassName, DocumentWndProc, kDocumentWindowExtraBytes, IDI_DOCUMENT,
                            nullptr);
}

std::string ParseCommandLine()
{
    const char* commandLine = GetCommandLineA();
    const CommandLineName name = LocateCommandLineName(commandLine);
    return std::string(commandLine + name.offset, name.length);
}

bool CreateFrameWindow(const std::string& name, int showCommand)
{
    char title[80] = "";
    LoadStringA(AppState.instance, 18, title, sizeof title);

    AppState.frameWindow = CreateWindowExA(0, kFrameClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                           CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr,
                                           AppState.instance, nullptr);
    if (AppState.frameWindow == nullptr || AppState.mdiClient == nullptr) {
        return false;
    }
    AppState.accelerators = LoadAcceleratorsA(AppState.instance, MAKEINTRESOURCEA(1));
    if (AppState.accelerators == nullptr) {
        return false;
    }
    ShowWindow(AppState.frameWindow, showCommand);
    UpdateWindow(AppState.frameWindow);
    AppState.defaultFont = DefaultDocumentFont();
    ProbeEditPositions();
    ProbeEditTextBlock();

    // Documents taken back stand in for the empty one; a named file that
    // one of them holds is brought forward.
    const int takenBack = OfferLeftCopies();
    if (name.empty()) {
        if (takenBack == 0) {
            CreateDocumentWindow(nullptr);
        }
    } else {
        // A copy, because opening a document upper-cases its name in place.
        std::vector<char> copy = FullPathOf(name);
        OpenOrBringForward(copy.data());
    }
    DragAcceptFiles(AppState.frameWindow, TRUE);
    return true;
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMDISysAccel(AppState.mdiClient, &msg)) {
            continue;
        }
        if (TranslateAcceleratorA(AppState.frameWindow, AppState.accelerators, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int MokureMain(HINSTANCE instance, HINSTANCE previousInstance, int showCommand)
{
    // Every DLL loaded later, by the program or by the system's DLLs on its
    // behalf, comes from System32 and never from the program's folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    AppState.instance = instance;
    if (!ConfirmCodePage()) {
        return 1;
    }
    if (previousInstance == nullptr && !RegisterWindowClasses()) {
        return 0;
    }
    // After a restart for updates the system starts the program again,
    // which then offers the copies the session's end left.
    if (StartRecovery()) {
        RegisterApplicationRestart(nullptr, 0);
    }
    const std::string name = ParseCommandLine();
    const bool started = CreateFrameWindow(name, showCommand);
    if (started) {
        RunMessageLoop();
    }
    EndRecovery();
    return 0;
}
