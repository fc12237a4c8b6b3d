#include "document/edit_positions.h"

#include "document/edit_control.h"
#include "document/edit_units.h"
#include "state/app_state.h"

#include <cstring>

void ProbeEditPositions()
{
    // One double-byte character: two positions where the control counts
    // bytes, one where it counts characters.
    HWND probe = CreateWindowExA(0, "edit", "\x95\x5c", WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr,
                                 AppState.instance, nullptr);
    if (probe == nullptr) {
        return;
    }
    SendMessageA(probe, EM_SETSEL, 0, -1);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(probe, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    DestroyWindow(probe);
    AppState.editCountsBytes = end == 2;
}

EditText::EditText(HWND edit) : edit_(edit)
{
    Lock();
}

EditText::~EditText()
{
    Unlock();
}

void EditText::Lock()
{
    // Where the control's block is a copy it keeps converting, borrowing it
    // would make every later message convert the whole text, and turn what
    // the control shows into code page 932: the text is read as a copy.
    copied_ = !AppState.editBlockIsItsText;
    block_ = copied_ ? CopyOfText(edit_) : reinterpret_cast<HLOCAL>(SendMessageA(edit_, EM_GETHANDLE, 0, 0));
    const char* locked = block_ != nullptr ? static_cast<const char*>(LocalLock(block_)) : nullptr;
    if (locked == nullptr) {
        Release();
        return;
    }
    text_ = locked;
    // The text ends at its terminator, and never past the block.
    length_ = strnlen(locked, LocalSize(block_));
}

void EditText::Release()
{
    if (copied_ && block_ != nullptr) {
        LocalFree(block_);
    }
    block_ = nullptr;
    text_ = "";
    length_ = 0;
}

void EditText::Unlock()
{
    if (block_ != nullptr) {
        LocalUnlock(block_);
    }
    Release();
}

void EditText::Refetch()
{
    Unlock();
    Lock();
}

EditSelection SelectionOf(HWND edit)
{
    EditSelection selection = {0, 0};
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

ByteSelection SelectionInBytes(const EditSelection& selection, const EditText& text)
{
    const bool bytes = AppState.editCountsBytes;
    return {BytesOfEditPosition(text.data(), text.length(), selection.start, bytes),
            BytesOfEditPosition(text.data(), text.length(), selection.end, bytes)};
}

DWORD EditPosition(const char* text, std::size_t bytes)
{
    return static_cast<DWORD>(EditPositionOfBytes(text, bytes, AppState.editCountsBytes));
}

void SelectAndShow(HWND edit, DWORD start, DWORD end)
{
    SendMessageA(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}
