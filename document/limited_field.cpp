#include "document/limited_field.h"

#include "document/document_data.h"
#include "document/edit_units.h"
#include "state/app_state.h"
#include "text/sjis.h"

#include <string>

void LimitFieldBytes(HWND field, std::size_t limit)
{
    SendMessageA(field, EM_LIMITTEXT, limit, 0);
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
