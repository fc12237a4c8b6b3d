#include "search/search_engine.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/edit_positions.h"
#include "document/recovery.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "search/match.h"
#include "state/app_state.h"
#include "state/search_state.h"

#include <cstring>
#include <new>
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

// The control position of the first units of a UTF-16 text.
DWORD PositionOfUnits(const std::wstring& text, std::size_t units)
{
    if (!AppState.editCountsBytes || units == 0) {
        return static_cast<DWORD>(units);
    }
    return static_cast<DWORD>(
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(units), nullptr, 0, nullptr, nullptr));
}

// Shows the rebuilt text with the last replacement selected, the document
// changed; false, reported, when the control refused the text and kept its own.
bool ShowRebuilt(HWND edit, bool taken, DWORD from, DWORD to)
{
    if (!taken) {
        ReportNoMemory();
        return false;
    }
    SelectAndShow(edit, from, to);
    NoteDocumentChanged(AppState.activeDocument);
    return true;
}

// Replace-all where the control holds UTF-16 (Wine): the text is rebuilt
// from what the control shows, so that every character outside the
// occurrences, one that code page 932 lacks too, stays as it is. Each code
// page 932 character of the text is one unit of what the control shows.
// False when that does not hold, so that the caller rebuilds from bytes.
bool ReplaceAllInShownText(HWND edit, const ReplaceAllSpans& spans, const char* replace, std::size_t replaceLength,
                           bool* replaced)
{
    std::wstring shown;
    if (!ShownTextOf(edit, shown) || shown.size() != spans.totalCharacters) {
        return false;
    }
    const int units = replaceLength == 0 ? 0
                                         : MultiByteToWideChar(CP_ACP, 0, replace, static_cast<int>(replaceLength),
                                                               nullptr, 0);
    std::wstring wideReplace(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) {
        MultiByteToWideChar(CP_ACP, 0, replace, static_cast<int>(replaceLength), wideReplace.data(), units);
    }
    std::wstring rebuilt;
    std::size_t copied = 0;
    std::size_t lastStart = 0;
    try {
        rebuilt.reserve(shown.size() + spans.gaps.size() * wideReplace.size());
        for (std::size_t gap : spans.gaps) {
            rebuilt.append(shown, copied, gap);
            lastStart = rebuilt.size();
            rebuilt += wideReplace;
            copied += gap + spans.findCharacters;
        }
        rebuilt.append(shown, copied, std::wstring::npos);
    } catch (const std::bad_alloc&) {
        ReportNoMemory();
        *replaced = false;
        return true;
    }
    *replaced = ShowRebuilt(edit, SetShownText(edit, rebuilt), PositionOfUnits(rebuilt, lastStart),
                            PositionOfUnits(rebuilt, lastStart + wideReplace.size()));
    return true;
}

// Replaces bytes start to end of the control's text with the replace string
// and selects the inserted text: only the occurrence changes, and the
// control's undo takes it back. The block is unlocked on return.
bool ReplaceSelection(HWND edit, EditText& text, std::size_t start, std::size_t end)
{
    const char* replace = SearchState.replaceText;
    const std::size_t replaceLength = ReplaceLength();
    const DWORD from = EditPosition(text.data(), start);
    const DWORD to = EditPosition(text.data(), end);
    const bool same = end - start == replaceLength && std::memcmp(text.data() + start, replace, replaceLength) == 0;
    text.Unlock();
    if (!same) {
        const std::string inserted(replace, replaceLength);
        SendMessageA(edit, EM_SETSEL, from, static_cast<LPARAM>(to));
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
        NoteDocumentChanged(AppState.activeDocument);
    }
    text.Refetch();
    const DWORD insertedEnd = EditPosition(text.data(), start + replaceLength);
    text.Unlock();
    SelectAndShow(edit, from, insertedEnd);
    return true;
}

}  // namespace

int FindText(int direction, int replaceFirst)
{
    const std::size_t findLength = FindLength();
    if (findLength == 0) {
        return 0;
    }
    HWND edit = AppState.activeEdit;
    const EditSelection asked = SelectionOf(edit);
    EditText text(edit);
    const ByteSelection selection = SelectionInBytes(asked, text);

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
    if (!AppState.editBlockIsItsText) {
        const ReplaceAllSpans spans = PlanReplaceAllSpans(finder, text.data(), text.length());
        text.Unlock();
        bool replaced = false;
        if (ReplaceAllInShownText(edit, spans, replace, replaceLength, &replaced)) {
            return replaced;
        }
        text.Refetch();
    }
    NewText rebuilt(plan.newLength);
    if (rebuilt.data() == nullptr) {
        text.Unlock();
        ReportNoMemory();
        return false;
    }
    WriteReplaceAll(finder, text.data(), text.length(), replace, replaceLength, rebuilt.data());
    text.Unlock();
    return ShowRebuilt(edit, SetTextChecked(edit, rebuilt.data()), EditPosition(rebuilt.data(), plan.lastStart),
                       EditPosition(rebuilt.data(), plan.lastStart + replaceLength));
}

void FindPrevious()
{
    FindText(-1, 0);
}
