#include "document/edit_control.h"

#include "state/app_state.h"

#include <cstring>

namespace {

constexpr DWORD kWrappingStyle =
    WS_CHILD | WS_MAXIMIZE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_OEMCONVERT;
constexpr DWORD kScrollingExtra = WS_HSCROLL | ES_AUTOHSCROLL;

HLOCAL BlockOf(HWND edit)
{
    return reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
}

// At least the terminator: the control reads its block as a text.
HLOCAL EmptyText()
{
    return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 1);
}

// The answer to WM_SETTEXT, checked by the length the control then holds:
// Windows answers FALSE when it has no room, Wine keeps its old text and
// answers TRUE. A text taken starts with empty undo.
bool TookText(HWND edit, LRESULT answer, std::size_t wideLength)
{
    if (answer == FALSE || static_cast<std::size_t>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) != wideLength) {
        return false;
    }
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    return true;
}

bool SetTextByMessage(HWND edit, const char* text)
{
    const int length = static_cast<int>(std::strlen(text));
    const int wide = length > 0 ? MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0) : 0;
    return TookText(edit, SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)),
                    static_cast<std::size_t>(wide));
}

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

void ProbeEditTextBlock()
{
    // A control that keeps the euro sign, which code page 932 lacks, keeps
    // its text as UTF-16, so the block it hands out can only be a copy.
    HWND probe = CreateWindowExA(0, "edit", nullptr, WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr,
                                 AppState.instance, nullptr);
    if (probe == nullptr) {
        return;
    }
    const wchar_t euro[] = L"\u20ac";
    SendMessageW(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(euro));
    wchar_t answer[4] = L"";
    SendMessageW(probe, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(answer));
    AppState.editBlockIsItsText = answer[0] != euro[0];
    DestroyWindow(probe);
}

bool GiveTextBlock(HWND edit, HLOCAL block)
{
    HLOCAL previous = BlockOf(edit);
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    if (BlockOf(edit) != block) {
        return false;
    }
    if (previous != nullptr && previous != block) {
        LocalFree(previous);
    }
    return true;
}

bool GiveText(HWND edit, HLOCAL block)
{
    if (AppState.editBlockIsItsText) {
        if (!GiveTextBlock(edit, block)) {
            LocalFree(block);
            return false;
        }
        return true;
    }
    const char* text = static_cast<const char*>(LocalLock(block));
    const bool taken = text != nullptr && SetTextByMessage(edit, text);
    if (text != nullptr) {
        LocalUnlock(block);
    }
    LocalFree(block);
    return taken;
}

bool GiveWideText(HWND edit, const wchar_t* text, std::size_t length)
{
    return TookText(edit, SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)), length);
}

HLOCAL CopyOfText(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    if (length < 0) {
        return nullptr;
    }
    const SIZE_T size = static_cast<SIZE_T>(length) + 1;
    HLOCAL copy = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size);
    char* text = copy != nullptr ? static_cast<char*>(LocalLock(copy)) : nullptr;
    if (text == nullptr) {
        if (copy != nullptr) {
            LocalFree(copy);
        }
        return nullptr;
    }
    SendMessageA(edit, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text));
    LocalUnlock(copy);
    return copy;
}

void ReleaseTextBlock(HWND edit)
{
    // A one-byte block asks the control for no room, so the hand-over is
    // not refused; asking again would lend the placeholder out in turn.
    HLOCAL placeholder = EmptyText();
    if (placeholder == nullptr) {
        return;
    }
    HLOCAL borrowed = BlockOf(edit);
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(placeholder), 0);
    if (borrowed != nullptr && borrowed != placeholder) {
        LocalFree(borrowed);
    }
}
