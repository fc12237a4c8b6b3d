#include "file/load_file.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/oem_conversion.h"
#include "file/line_ends.h"
#include "file/round_trip.h"
#include "msg/message_box.h"
#include "state/app_state.h"
#include "text/format.h"

#include <cstring>

#include <string>

namespace {

constexpr UINT kCannotOpen = 1;
constexpr UINT kCannotRead = 2;
constexpr UINT kNoMemory = 10;
constexpr UINT kSizeUnknown = 11;
constexpr char kConversionWork[] = "変換作業場所";
constexpr char kLineEndQuestion[] = "この「モクレ」で使用出来る為に\r改行記号を変換して宜しいですか";
constexpr char kProgramName[] = "モクレ";
constexpr char kCharacterConversion[] = "文字変換";
constexpr char kChangedOnSaveQuestion[] =
    "「%s」の%lu行目の文字は、保管すると別の文字として書き込まれます。\rそれでも読み込みますか";

// The edit control holds at most this many bytes.
constexpr ULONGLONG kLargestText = 0x7FFFFFFE;

// The edit control takes over text blocks only when they come from the
// local heap, so every block that may be handed to it is taken there.
HLOCAL AllocateText(SIZE_T bytes)
{
    return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char* path)
        : handle_(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ReadOnlyFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Opening a file larger than this shows the wait cursor: laying out a few
// megabytes takes the edit control seconds.
constexpr ULONGLONG kLargeFile = 1024 * 1024;

// The wait cursor for the life of this object when asked for, then the
// cursor from before, whichever way loading ends.
class WaitCursor {
public:
    explicit WaitCursor(bool show) : shown_(show), previous_(show ? SetCursor(LoadCursor(nullptr, IDC_WAIT)) : nullptr)
    {
    }
    ~WaitCursor()
    {
        if (shown_) {
            SetCursor(previous_);
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool shown_;
    HCURSOR previous_;
};

// The size of an open file; false (reported) when it cannot be learnt.
bool FileSize(HANDLE file, const char* path, ULONGLONG* bytes)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        ReportError(nullptr, MB_ICONSTOP, kSizeUnknown, path);
        return false;
    }
    *bytes = static_cast<ULONGLONG>(size.QuadPart);
    return true;
}

// Reads the whole file of the given size into one block of size + 1 bytes
// ending with NUL; none (reported) on failure.
HLOCAL ReadWholeFile(HANDLE file, const char* path, ULONGLONG bytes)
{
    HLOCAL block = bytes > kLargestText ? nullptr : AllocateText(static_cast<SIZE_T>(bytes) + 1);
    if (block == nullptr) {
        ReportError(nullptr, MB_ICONSTOP, kNoMemory, path);
        return nullptr;
    }
    char* text = static_cast<char*>(LocalLock(block));
    DWORD read = 0;
    const BOOL ok = ReadFile(file, text, static_cast<DWORD>(bytes), &read, nullptr);
    // A file that grew after its size was taken would load cut short, and
    // saving it would then drop its end.
    char more = 0;
    DWORD beyond = 0;
    const bool grew = ok && ReadFile(file, &more, 1, &beyond, nullptr) && beyond != 0;
    if (!ok || read != bytes || grew) {
        LocalUnlock(block);
        LocalFree(block);
        ReportError(nullptr, MB_ICONSTOP, kCannotRead, path);
        return nullptr;
    }
    text[bytes] = '\0';
    LocalUnlock(block);
    return block;
}

// True when every byte of the text survives the edit control, or when the
// user, told where the first one that does not is, still wants the text.
bool AcceptedAsTheControlKeepsIt(const char* text, const char* path)
{
    // The edit control keeps its text as UTF-16, on Windows NT and under
    // Wine alike, and gives back what that makes of it.
    const std::size_t length = std::strlen(text);
    std::size_t backLength = 0;
    HGLOBAL back = ThroughUnicode(text, length, CP_ACP, CP_ACP, &backLength);
    if (back == nullptr && length > 0) {
        ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
        return false;
    }
    const char* backText = back != nullptr ? static_cast<const char*>(GlobalLock(back)) : "";
    const std::size_t changed = FirstChangedCharacter(text, std::string_view(backText, backLength));
    if (back != nullptr) {
        GlobalUnlock(back);
        GlobalFree(back);
    }
    if (changed == std::string::npos) {
        return true;
    }
    const std::string question =
        FormatToString(kChangedOnSaveQuestion, path, static_cast<unsigned long>(LineOfOffset(text, changed)));
    return JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

HLOCAL NormaliseLineEnds(HLOCAL block)
{
    const char* text = static_cast<const char*>(LocalLock(block));
    const std::size_t length = NormalisedLength(text);
    HLOCAL converted = AllocateText(length + 1);
    if (converted == nullptr) {
        LocalUnlock(block);
        ReportError(nullptr, MB_ICONSTOP, kNoMemory, kConversionWork);
        return nullptr;
    }
    NormaliseLineEndsInto(text, static_cast<char*>(LocalLock(converted)));
    LocalUnlock(converted);
    LocalUnlock(block);
    LocalFree(block);
    return converted;
}

HLOCAL AskAndNormaliseLineEnds(HLOCAL block)
{
    const bool ask = FirstLineEndNeedsQuestion(static_cast<const char*>(LocalLock(block)));
    LocalUnlock(block);
    if (!ask) {
        return block;
    }
    switch (JpMessageBox(AppState.frameWindow, kLineEndQuestion, kProgramName, MB_YESNOCANCEL)) {
    case IDNO:
        return block;
    case IDCANCEL:
        LocalFree(block);
        return nullptr;
    default: {
        HLOCAL converted = NormaliseLineEnds(block);
        if (converted == nullptr) {
            LocalFree(block);
        }
        return converted;
    }
    }
}

int LoadFile(HWND document, const char* path, LoadMode mode)
{
    HWND edit = DocumentEdit(document);
    if (mode == LoadMode::NewDocument) {
        SetDocumentData(document, DocumentWindow::untitled, 0);
    }
    // A new document's file is opened by the name the user gave; path, its
    // upper-cased title, names it in the messages.
    const std::string opened = mode == LoadMode::NewDocument ? DocumentPath(document) : path;
    ReadOnlyFile file(opened.c_str());
    if (file.get() == INVALID_HANDLE_VALUE) {
        ReportError(nullptr, MB_ICONSTOP, kCannotOpen, path);
        return 0;
    }
    ULONGLONG size = 0;
    if (!FileSize(file.get(), path, &size)) {
        return 0;
    }
    WaitCursor wait(size > kLargeFile);
    HLOCAL block = ReadWholeFile(file.get(), path, size);
    if (block == nullptr) {
        return 0;
    }
    const bool accepted = AcceptedAsTheControlKeepsIt(static_cast<const char*>(LocalLock(block)), path);
    LocalUnlock(block);
    if (!accepted) {
        LocalFree(block);
        return 0;
    }
    if (mode == LoadMode::NewDocument) {
        block = AskAndNormaliseLineEnds(block);
        if (block == nullptr) {
            return 0;
        }
        if (!GiveText(edit, block)) {
            // The control keeps the text it had; nothing of the file is in it.
            ReportError(nullptr, MB_ICONSTOP, kCannotRead, path);
            return 0;
        }
    } else {
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(LocalLock(block)));
        LocalUnlock(block);
        LocalFree(block);
    }
    return 1;
}
