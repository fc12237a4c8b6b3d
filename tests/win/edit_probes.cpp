#include "tests/win/edit_probes.h"

#include "res/resource.h"

#include <cstring>

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string ControlText(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

void GiveText(HWND edit, const std::string& bytes)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes.size() + 1);
    std::memcpy(LocalLock(block), bytes.data(), bytes.size());
    LocalUnlock(block);
    HLOCAL previous = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    if (previous != nullptr && previous != block) {
        LocalFree(previous);
    }
}

int EditControlsIn(HWND document)
{
    int count = 0;
    for (HWND child = GetWindow(document, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        count += GetDlgCtrlID(child) == IDC_EDIT ? 1 : 0;
    }
    return count;
}

bool FillsClientArea(HWND document, HWND edit)
{
    RECT rect;
    RECT client;
    GetWindowRect(edit, &rect);
    MapWindowPoints(nullptr, document, reinterpret_cast<POINT*>(&rect), 2);
    GetClientRect(document, &client);
    return EqualRect(&rect, &client) != FALSE;
}
