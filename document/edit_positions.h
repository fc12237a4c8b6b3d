#pragma once
// The edit control's own text block, read in place, and selections in byte
// offsets of it, whatever unit the control counts positions in.

#include <windows.h>

#include <cstddef>

// Finds out once whether the edit control counts positions in bytes or in
// characters, and records it in AppState.
void ProbeEditPositions();

// The control's text, locked for one command: its own block where that is
// the text, else a copy. No message may reach the control while its block is
// locked (EM_GETHANDLE's rule): what the command needs of the control is
// asked first, and the text is unlocked before the next message and fetched
// again after it.
class EditText {
public:
    explicit EditText(HWND edit);
    ~EditText();
    EditText(const EditText&) = delete;
    EditText& operator=(const EditText&) = delete;

    void Unlock();
    // Unlocks, then fetches and locks the control's block again.
    void Refetch();

    const char* data() const { return text_; }
    std::size_t length() const { return length_; }
    // False when the text could not be had (no memory for the copy).
    bool valid() const { return block_ != nullptr; }

private:
    void Lock();
    void Release();

    HWND edit_;
    HLOCAL block_ = nullptr;
    bool copied_ = false;
    const char* text_ = "";
    std::size_t length_ = 0;
};

// The control's selection in the control's own positions.
struct EditSelection {
    DWORD start;
    DWORD end;
};
EditSelection SelectionOf(HWND edit);

struct ByteSelection {
    std::size_t start;
    std::size_t end;
};

// A selection of the control as byte offsets into text, the text it holds.
ByteSelection SelectionInBytes(const EditSelection& selection, const EditText& text);

// The control's position of byte offset bytes of text, a text it holds or
// is about to hold.
DWORD EditPosition(const char* text, std::size_t bytes);

// Selects from start to end (control positions) and scrolls the caret into view.
void SelectAndShow(HWND edit, DWORD start, DWORD end);
