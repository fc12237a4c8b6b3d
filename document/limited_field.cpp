#include "document/limited_field.h"

#include "document/document_data.h"
#include "document/edit_units.h"
#include "state/app_state.h"
#include "text/sjis.h"

#include <imm.h>

#include <string>

namespace {

const char kLimitProperty[] = "上限";
const char kProcedureProperty[] = "元の手続き";
const char kSkipTrailProperty[] = "後のバイトを捨てる";

std::size_t LimitOf(HWND field)
{
    return reinterpret_cast<std::size_t>(GetPropA(field, kLimitProperty));
}

// Bytes the field has room for in place of its selection.
std::size_t Room(HWND field)
{
    const std::string text = WindowTitle(field);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool bytes = AppState.editCountsBytes;
    const std::size_t from = BytesOfEditPosition(text.c_str(), text.size(), start, bytes);
    const std::size_t to = BytesOfEditPosition(text.c_str(), text.size(), end, bytes);
    const std::size_t kept = text.size() - (to > from ? to - from : 0);
    const std::size_t limit = LimitOf(field);
    return kept < limit ? limit - kept : 0;
}

// The bytes of one character, a surrogate pair whole, in code page 932.
std::size_t CharacterBytes(const wchar_t* at, int units)
{
    char out[8];
    const int bytes = WideCharToMultiByte(CP_ACP, 0, at, units, out, sizeof out, nullptr, nullptr);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 1;
}

// Puts as much of the input as fits into the field in place of its
// selection, as one change that undo takes back; a single-line field takes
// the input up to its first line end, as a paste into it does. Beeps when
// anything was left out.
void InsertWithin(HWND field, const std::wstring& input)
{
    std::size_t room = Room(field);
    std::size_t units = 0;
    while (units < input.size() && input[units] != L'\r' && input[units] != L'\n') {
        const int step = IS_HIGH_SURROGATE(input[units]) && units + 1 < input.size() ? 2 : 1;
        const std::size_t bytes = CharacterBytes(input.c_str() + units, step);
        if (bytes > room) {
            break;
        }
        room -= bytes;
        units += static_cast<std::size_t>(step);
    }
    const std::wstring kept = input.substr(0, units);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    if (units < input.size() && input[units] != L'\r' && input[units] != L'\n') {
        MessageBeep(0);
    }
}

// The clipboard's text, cut to fit before it reaches the field. False when
// there is no text: the field then does what it does with the clipboard.
bool PasteWithin(HWND field)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(field)) {
        return false;
    }
    std::wstring text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* locked = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (locked != nullptr) {
        text.assign(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (locked == nullptr) {
        return false;
    }
    InsertWithin(field, text);
    return true;
}

// What an IME commits, cut to fit; an unfinished composition is never cut.
// True when the field took the committed text here.
bool CommitWithin(HWND field)
{
    HIMC context = ImmGetContext(field);
    if (context == nullptr) {
        return false;
    }
    const LONG size = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    std::wstring result(size > 0 ? static_cast<std::size_t>(size) / sizeof(wchar_t) : 0, L'\0');
    if (size > 0) {
        ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), static_cast<DWORD>(size));
    }
    ImmReleaseContext(field, context);
    const int units = static_cast<int>(result.size());
    const int bytes = units > 0 ? WideCharToMultiByte(CP_ACP, 0, result.c_str(), units, nullptr, 0, nullptr, nullptr) : 0;
    if (units == 0 || static_cast<std::size_t>(bytes) <= Room(field)) {
        return false;
    }
    InsertWithin(field, result);
    return true;
}

// A typed character goes in only when it fits whole. A double-byte
// character reaches an ANSI window as its lead byte, then its trail byte.
bool CharacterFits(HWND field, WPARAM character)
{
    if (RemovePropA(field, kSkipTrailProperty) != nullptr) {
        return false;
    }
    if (character < 0x20) {
        return true;
    }
    const bool lead = character <= 0xFF && IsLeadByte932(static_cast<unsigned char>(character));
    const std::size_t bytes = character > 0xFF || lead ? 2 : 1;
    if (bytes <= Room(field)) {
        return true;
    }
    if (lead) {
        SetPropA(field, kSkipTrailProperty, reinterpret_cast<HANDLE>(1));
    }
    MessageBeep(0);
    return false;
}

LRESULT CALLBACK LimitedFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(field, kProcedureProperty));
    switch (message) {
    case WM_PASTE:
        if (PasteWithin(field)) {
            return 0;
        }
        break;
    case WM_CHAR:
    case WM_IME_CHAR:
        if (!CharacterFits(field, wParam)) {
            return 0;
        }
        break;
    case WM_IME_COMPOSITION:
        if ((lParam & GCS_RESULTSTR) != 0 && CommitWithin(field)) {
            lParam &= ~static_cast<LPARAM>(GCS_RESULTSTR | GCS_RESULTCLAUSE | GCS_RESULTREADSTR | GCS_RESULTREADCLAUSE);
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(field, kProcedureProperty);
        RemovePropA(field, kLimitProperty);
        RemovePropA(field, kSkipTrailProperty);
        break;
    default:
        break;
    }
    return CallWindowProcA(original, field, message, wParam, lParam);
}

}  // namespace

void LimitFieldBytes(HWND field, std::size_t limit)
{
    SendMessageA(field, EM_LIMITTEXT, limit, 0);
    SetPropA(field, kLimitProperty, reinterpret_cast<HANDLE>(limit));
    if (GetPropA(field, kProcedureProperty) == nullptr) {
        const LONG_PTR original =
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LimitedFieldProc));
        SetPropA(field, kProcedureProperty, reinterpret_cast<HANDLE>(original));
    }
}

void KeepFieldWithin(HWND field, std::size_t limit)
{
    const std::string text = WindowTitle(field);
    if (text.size() <= limit) {
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool bytes = AppState.editCountsBytes;
    const std::size_t caret = BytesOfEditPosition(text.c_str(), text.size(), end, bytes);
    const std::size_t kept = InputKeptWithin(text.c_str(), caret, limit);
    std::string within = text.substr(0, kept) + text.substr(caret);
    within.resize(CutOnCharBoundary(within.c_str(), limit));
    SetWindowTextA(field, within.c_str());
    const DWORD at = static_cast<DWORD>(EditPositionOfBytes(within.c_str(), kept, bytes));
    SendMessageA(field, EM_SETSEL, at, static_cast<LPARAM>(at));
    MessageBeep(0);
}
