// The floor for opening a file and typing in it: one top-level window of the
// default size with one edit control of the document's wrapping style and
// font, given the file by one read and one EM_SETHANDLE, or, built with
// MOKURE_BARE_SETTEXT, one WM_SETTEXT (as Wine's notepad does). The
// benchmarks time the program against both.
//
//   mokure_bare_loader FILE
//   mokure_bare_settext FILE

#include <windows.h>

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_MAXIMIZE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                             ES_NOHIDESEL | ES_OEMCONVERT;

HWND edit = nullptr;

void LoadInto(HWND control, const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const DWORD size = GetFileSize(file, nullptr);
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size + 1);
    DWORD read = 0;
    char* text = static_cast<char*>(LocalLock(block));
    ReadFile(file, text, size, &read, nullptr);
    CloseHandle(file);
#ifdef MOKURE_BARE_SETTEXT
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    LocalUnlock(block);
    LocalFree(block);
#else
    LocalUnlock(block);
    SendMessageA(control, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
#endif
}

LRESULT CALLBACK BareWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        edit = CreateWindowExA(0, "edit", nullptr, kEditStyle, 0, 0, 0, 0, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), FALSE);
        SendMessageA(edit, EM_LIMITTEXT, 0, 0);
        return 0;
    case WM_SIZE:
        MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "bareloader";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "bareloader", "bare loader", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    LoadInto(edit, commandLine);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
