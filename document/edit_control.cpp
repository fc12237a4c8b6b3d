#include "document/edit_control.h"

namespace {

constexpr DWORD kWrappingStyle =
    WS_CHILD | WS_MAXIMIZE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_OEMCONVERT;
constexpr DWORD kScrollingExtra = WS_HSCROLL | ES_AUTOHSCROLL;

}  // namespace

DWORD EditStyleForMode(int wrap)
{
    return wrap != 0 ? kWrappingStyle : kWrappingStyle | kScrollingExtra;
}

void FitToClientArea(HWND document, HWND edit, BOOL repaint)
{
    RECT rc;
    GetClientRect(document, &rc);
    MoveWindow(edit, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, repaint);
}

void RefitToClientArea(HWND document, HWND edit)
{
    FitToClientArea(document, edit, TRUE);
    // A move to the same size sends the control no WM_SIZE of its own.
    RECT rc;
    GetClientRect(edit, &rc);
    SendMessageA(edit, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
}

void GiveTextBlock(HWND edit, HLOCAL block)
{
    HLOCAL previous = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    if (previous != nullptr && previous != block) {
        LocalFree(previous);
    }
}
