#include "document/edit_control.h"

#include "state/app_state.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr DWORD kWrappingStyle = WS_CHILD | WS_MAXIMIZE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
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

// Whether the control holds exactly the UTF-16 text given, by what
// WM_GETTEXT copies: room for one more unit shows a longer text.
// WM_GETTEXTLENGTH cannot tell, for an ANSI window may count more than it
// holds of a double-byte text; and a text kept from before may have the
// same length.
bool Holds(HWND edit, const wchar_t* expected, std::size_t units)
{
    const std::size_t room = units + 2;
    std::unique_ptr<wchar_t[]> readBack(new (std::nothrow) wchar_t[room]);
    return readBack != nullptr &&
           SendMessageW(edit, WM_GETTEXT, room, reinterpret_cast<LPARAM>(readBack.get())) ==
               static_cast<LRESULT>(units) &&
           std::wmemcmp(readBack.get(), expected, units) == 0;
}

// The answer to WM_SETTEXT, checked by the text the control then holds:
// Windows answers FALSE when it has no room, Wine keeps its old text and
// answers TRUE. A text taken starts a fresh undo.
bool TakenWhole(HWND edit, LRESULT answer, const wchar_t* expected, std::size_t units)
{
    if (answer == FALSE || !Holds(edit, expected, units)) {
        return false;
    }
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    return true;
}

}  // namespace

bool SetTextChecked(HWND edit, const char* text)
{
    const int length = static_cast<int>(std::strlen(text));
    const int units = length > 0 ? MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0) : 0;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<std::size_t>(units) + 1]);
    if (wide == nullptr || (length > 0 && units <= 0)) {
        return false;
    }
    if (units > 0) {
        MultiByteToWideChar(CP_ACP, 0, text, length, wide.get(), units);
    }
    const LRESULT answer = SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return TakenWhole(edit, answer, wide.get(), static_cast<std::size_t>(units));
}

DWORD EditStyleForMode(int wrap)
{
    // The control sends typed text through the OEM code page and back: on
    // any other than 932 a Japanese character would come back as "?".
    const DWORD oem = GetOEMCP() == 932 ? ES_OEMCONVERT : 0;
    return (wrap != 0 ? kWrappingStyle : kWrappingStyle | kScrollingExtra) | oem;
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
    const bool taken = text != nullptr && SetTextChecked(edit, text);
    if (text != nullptr) {
        LocalUnlock(block);
    }
    LocalFree(block);
    return taken;
}

bool ShownTextOf(HWND edit, std::wstring& text)
{
    const LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    try {
        text.assign(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    const LRESULT got = SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return got > 0 || length <= 0;
}

bool SetShownText(HWND edit, const std::wstring& text)
{
    const LRESULT answer = SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return TakenWhole(edit, answer, text.c_str(), text.size());
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
