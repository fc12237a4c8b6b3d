// Times the opening of a file by a program, as a user waits for it: from
// starting the process until its window is up, it waits for input and its
// edit control answers with the text. Prints the milliseconds, then closes
// the program.
//
// With --keys it then times one typed character with its repaint, at the
// end of the text and at its start (the median of five each); with --save
// also the save command (1003) sent to the window; with --copy, once the
// program has written the recovery copy the typing called for, the longest
// time its window's thread spent on a copy and the time the copy took whole,
// as the program measured them. All on one line. With --yes every question
// the program asks while opening is answered Yes.
//
//   mokure_open_timer [--keys] [--save] [--copy] [--yes] WINDOWCLASS COMMANDLINE

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

HWND EditOf(HWND top)
{
    HWND edit = nullptr;
    EnumChildWindows(top, FindEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 600000, &answer) != 0;
}

// Until the control has painted what the last message changed: the program
// paints when it next waits for input.
void WaitPainted(HWND edit)
{
    while (GetUpdateRect(edit, nullptr, FALSE)) {
        Sleep(0);
    }
}

// One character as typed: key down, the character, key up, and the repaint.
double TypeOne(HWND edit)
{
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    Send(edit, WM_KEYDOWN, 'X', 0x002D0001);
    Send(edit, WM_CHAR, 'x', 0x002D0001);
    Send(edit, WM_KEYUP, 'X', 0xC02D0001);
    WaitPainted(edit);
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

// The median time of five characters typed at the caret, put first at
// position where (clamped to the end of the text by the control).
double TimeKeys(HWND edit, WPARAM where)
{
    Send(edit, EM_SETSEL, where, static_cast<LPARAM>(where));
    Send(edit, EM_SCROLLCARET, 0, 0);
    WaitPainted(edit);
    double times[5];
    for (double& t : times) {
        t = TypeOne(edit);
    }
    for (int i = 0; i < 5; ++i) {
        for (int j = i + 1; j < 5; ++j) {
            if (times[j] < times[i]) {
                const double swap = times[i];
                times[i] = times[j];
                times[j] = swap;
            }
        }
    }
    return times[2];
}

// The program answers its copies' timings to a message of its own: 0 the
// number written, 1 the longest pause of its window's thread, 2 the last
// copy whole, in microseconds. Waits for the first copy.
bool CopyTimes(HWND top, double* pauseMs, double* wholeMs)
{
    const UINT message = RegisterWindowMessageA("MokureRecoveryCopyTimes");
    DWORD_PTR answer = 0;
    for (int waited = 0; answer == 0; waited += 50) {
        if (waited > 60000 || !SendMessageTimeoutA(top, message, 0, 0, SMTO_NORMAL, 600000, &answer)) {
            return false;
        }
        Sleep(answer == 0 ? 50 : 0);
    }
    SendMessageTimeoutA(top, message, 1, 0, SMTO_NORMAL, 600000, &answer);
    *pauseMs = static_cast<double>(answer) / 1000.0;
    SendMessageTimeoutA(top, message, 2, 0, SMTO_NORMAL, 600000, &answer);
    *wholeMs = static_cast<double>(answer) / 1000.0;
    return true;
}

double TimeSave(HWND top)
{
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    Send(top, WM_COMMAND, 1003, 0);
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

}  // namespace

int main(int argc, char** argv)
{
    bool keys = false;
    bool save = false;
    bool copy = false;
    bool yes = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        keys = keys || std::strcmp(argv[first], "--keys") == 0;
        save = save || std::strcmp(argv[first], "--save") == 0;
        copy = copy || std::strcmp(argv[first], "--copy") == 0;
        yes = yes || std::strcmp(argv[first], "--yes") == 0;
    }
    if (argc - first < 2) {
        std::fputs("usage: mokure_open_timer [--keys] [--save] [--copy] [--yes] WINDOWCLASS COMMANDLINE\n", stderr);
        return 2;
    }
    std::string commandLine = argv[first + 1];
    for (int i = first + 2; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", commandLine.c_str());
        return 1;
    }
    Search search{argv[first], process.dwProcessId, nullptr};
    for (int waited = 0; search.found == nullptr; waited += 5) {
        if (waited > 600000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fputs("the window never appeared\n", stderr);
            return 1;
        }
        Sleep(5);
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    }
    WaitForInputIdle(process.hProcess, INFINITE);
    // The time a question stands on the screen is the user's, not the
    // program's: from when it is up and drawn to when it is answered.
    double asking = 0;
    while (TextLength(search.found) == 0) {
        Search question{"#32770", process.dwProcessId, nullptr};
        if (yes && (EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&question)), question.found != nullptr)) {
            LARGE_INTEGER shown;
            LARGE_INTEGER answered;
            QueryPerformanceCounter(&shown);
            WaitPainted(question.found);
            Send(question.found, WM_COMMAND, IDYES, 0);
            QueryPerformanceCounter(&answered);
            asking += Milliseconds(shown, answered);
        }
        if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) {
            std::fputs("the program ended without the text\n", stderr);
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("%.0f", Milliseconds(start, end) - asking);
    if (keys || save) {
        HWND edit = EditOf(search.found);
        std::printf(" %.1f", TimeKeys(edit, 0x7FFFFFFE));
        std::printf(" %.1f", TimeKeys(edit, 0));
    }
    // The copy is taken before the save, which removes it.
    double pause = 0;
    double whole = 0;
    if (copy && !CopyTimes(search.found, &pause, &whole)) {
        std::fputs("no recovery copy was written\n", stderr);
        return 1;
    }
    if (save) {
        std::printf(" %.1f", TimeSave(search.found));
    }
    if (copy) {
        std::printf(" %.1f %.1f", pause, whole);
    }
    std::printf("\n");
    std::fflush(stdout);

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}
