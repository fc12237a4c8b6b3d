// Times the opening of a file by a program, as a user waits for it: from
// starting the process until its window is up and it first waits for input.
// Prints the milliseconds, then closes the program.
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
