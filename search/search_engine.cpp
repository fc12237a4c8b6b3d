#include "search/search_engine.h"

#include "document/edit_positions.h"
#include "document/recovery.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "search/match.h"
#include "state/app_state.h"
#include "state/search_state.h"

#include <cstring>
#include <string>

namespace {

constexpr UINT kNotFoundMessage = 8;
constexpr UINT kNoMemoryMessage = 10;
constexpr char kReplaceWork[] = "文字変換";

// The edit control holds at most this many bytes.
constexpr std::size_t kLargestText = 0x7FFFFFFE;

std::size_t FindLength()
{
    return WholeCharacterLength(SearchState.findText);
}

std::size_t ReplaceLength()
{
    return WholeCharacterLength(SearchState.replaceText);
}

void ReportNoMemory()
{
    ReportError(nullptr, MB_ICONHAND, kNoMemoryMessage, kReplaceWork);
}

void ReportNotFound(std::size_t findLength)
{
    const std::string find(SearchState.findText, findLength);
    // Given no window, the report holds the find or replace dialog that
    // asked, which is the active window then.
    ReportError(nullptr, MB_ICONEXCLAMATION, kNotFoundMessage, find.c_str());
}

// A zero-filled movable block for a rebuilt text, locked while it lives.
class NewText {
public:
    explicit NewText(std::size_t length)
    {
        if (length <= kLargestText) {
            block_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
        }
        if (block_ != nullptr) {
            text_ = static_cast<char*>(GlobalLock(block_));
        }
    }
    ~NewText()
    {
        if (block_ != nullptr) {
            if (text_ != nullptr) {
                GlobalUnlock(block_);
            }
            GlobalFree(block_);
        }
    }
    NewText(const NewText&) = delete;
    NewText& operator=(const NewText&) = delete;

    char* data() const { return text_; }

private:
    HGLOBAL block_ = nullptr;
    char* text_ = nullptr;
};

// Makes text the control's whole text and selects bytes start to end of it.
// False, reported, when the control refuses the text; it then keeps its own.
bool SetWholeText(HWND edit, const char* text, std::size_t start, std::size_t end)
{
    const DWORD from = EditPosition(text, start);
    const DWORD to = EditPosition(text, end);
    if (SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) == FALSE) {
        ReportNoMemory();
        return false;
    }
    SelectAndShow(edit, from, to);
    NoteDocumentChanged(AppState.activeDocument);
    return true;
}

// Replaces bytes start to end of the control's text with the replace string
// and selects the inserted text. The block is unlocked on return.
bool ReplaceSelection(HWND edit, EditText& text, std::size_t start, std::size_t end)
{
    const char* replace = SearchState.replaceText;
    const std::size_t replaceLength = ReplaceLength();
    if (end - start == replaceLength && std::memcmp(text.data() + start, replace, replaceLength) == 0) {
        const DWORD from = EditPosition(text.data(), start);
        const DWORD to = EditPosition(text.data(), end);
        text.Unlock();
        SelectAndShow(edit, from, to);
        return true;
    }
    NewText rebuilt(text.length() - (end - start) + replaceLength);
    if (rebuilt.data() == nullptr) {
        text.Unlock();
        ReportNoMemory();
        return false;
    }
    WriteReplaceSelection(text.data(), text.length(), start, end, replace, replaceLength, rebuilt.data());
    text.Unlock();
    return SetWholeText(edit, rebuilt.data(), start, start + replaceLength);
}

}  // namespace

int FindText(int direction, int replaceFirst)
{
    const std::size_t findLength = FindLength();
    if (findLength == 0) {
        return 0;
    }
    HWND edit = AppState.activeEdit;
    EditText text(edit);
    const ByteSelection selection = SelectionInBytes(edit, text);

    std::size_t from = CharacterAfter(text.data(), text.length(), selection.start);
    if (replaceFirst != 0) {
        if (!ReplaceSelection(edit, text, selection.start, selection.end)) {
            return 0;
        }
        text.Refetch();
        // Searching from the end of the inserted text, so that it is never
        // found itself and nothing right after it is passed over.
        from = selection.start + ReplaceLength();
    }

    const Finder finder(SearchState.findText, findLength);
    const std::size_t found = direction < 0 ? finder.Backward(text.data(), text.length(), selection.start)
                                            : finder.Forward(text.data(), text.length(), from);
    if (found == kNotFound) {
        text.Unlock();
        ReportNotFound(findLength);
        return 0;
    }
    const DWORD start = EditPosition(text.data(), found);
    const DWORD end = EditPosition(text.data(), found + findLength);
    text.Unlock();
    SelectAndShow(edit, start, end);
    return 1;
}

bool ReplaceAll()
{
    const std::size_t findLength = FindLength();
    if (findLength == 0) {
        return false;
    }
    const char* replace = SearchState.replaceText;
    const std::size_t replaceLength = ReplaceLength();
    HWND edit = AppState.activeEdit;
    EditText text(edit);
    const Finder finder(SearchState.findText, findLength);
    const ReplaceAllPlan plan = PlanReplaceAll(finder, text.data(), text.length(), replaceLength);

    if (plan.count == 0) {
        text.Unlock();
        SelectAndShow(edit, 0, 0);
        return true;
    }
    if (findLength == replaceLength && std::memcmp(SearchState.findText, replace, findLength) == 0) {
        // Every occurrence is replaced by itself: the text stays as it is.
        const DWORD start = EditPosition(text.data(), plan.lastStart);
        const DWORD end = EditPosition(text.data(), plan.lastStart + replaceLength);
        text.Unlock();
        SelectAndShow(edit, start, end);
        return true;
    }
    NewText rebuilt(plan.newLength);
    if (rebuilt.data() == nullptr) {
        text.Unlock();
        ReportNoMemory();
        return false;
    }
    WriteReplaceAll(finder, text.data(), text.length(), replace, replaceLength, rebuilt.data());
    text.Unlock();
    return SetWholeText(edit, rebuilt.data(), plan.lastStart, plan.lastStart + replaceLength);
}

void FindPrevious()
{
    FindText(-1, 0);
}
