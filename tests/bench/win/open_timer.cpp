// Times the opening of a file by a program, as a user waits for it: from
// starting the process until its window is up, it waits for input and its
// edit control answers with the text. Prints the milliseconds, then closes
// the program.
//
//   mokure_open_timer WINDOWCLASS COMMANDLINE

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Search {
    const char* className;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    char cls[128] = "";
    GetClassNameA(window, cls, sizeof cls);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && lstrcmpiA(cls, search->className) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindEdit(HWND window, LPARAM lParam)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "edit") == 0) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

// The length of the text in the program's edit control. The answer comes
// only once the program takes messages again, that is after loading; Wine
// may signal the first wait for input before loading has even started.
LRESULT TextLength(HWND top)
{
    HWND edit = nullptr;
    EnumChildWindows(top, FindEdit, reinterpret_cast<LPARAM>(&edit));
    DWORD_PTR length = 0;
    if (edit == nullptr ||
        !SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 600000, &length)) {
        return 0;
    }
    return static_cast<LRESULT>(length);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: mokure_open_timer WINDOWCLASS COMMANDLINE\n", stderr);
        return 2;
    }
    std::string commandLine = argv[2];
    for (int i = 3; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", commandLine.c_str());
        return 1;
    }
    Search search{argv[1], process.dwProcessId, nullptr};
    for (int waited = 0; search.found == nullptr; waited += 5) {
        if (waited > 600000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fputs("the window never appeared\n", stderr);
            return 1;
        }
        Sleep(5);
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    }
    WaitForInputIdle(process.hProcess, INFINITE);
    while (TextLength(search.found) == 0) {
        if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) {
            std::fputs("the program ended without the text\n", stderr);
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.0f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                              static_cast<double>(frequency.QuadPart));
    std::fflush(stdout);

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}
