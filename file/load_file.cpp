#include "file/load_file.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/oem_conversion.h"
#include "file/encoded_text.h"
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
constexpr char kEncodingQuestion[] =
    "「%s」は %s で書かれています。\r"
    "シフトJISに変換して読み込み、保管する時は %s で書き戻します。\r"
    "変換して宜しいですか（「いいえ」はシフトJISとして読み込みます）";
constexpr char kInsertEncodingQuestion[] =
    "「%s」は %s で書かれています。\r"
    "シフトJISに変換して挿入して宜しいですか（「いいえ」はシフトJISとして挿入します）";
constexpr char kZeroByteQuestion[] =
    "「%s」の%lu行目にゼロのバイトがあり、そこから後は読み込めません。\r"
    "その前までを読み込みますか";

// The edit control holds at most this many bytes.
constexpr ULONGLONG kLargestText = 0x7FFFFFFE;

// The edit control takes over text blocks only when they come from the
// local heap, so every block that may be handed to it is taken there.
HLOCAL AllocateText(SIZE_T bytes)
{
    return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
}

// Reading shares reading and writing with others, so that a log being
// written or a file open in another program can still be read.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char* path)
        : handle_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr))
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

// Asks the user before text goes in that a save would write otherwise:
// true when nothing would change, or when the user still wants it.
bool AcceptedDespiteChange(const char* text, std::size_t changed, const char* path)
{
    if (changed == std::string::npos) {
        return true;
    }
    const std::string question =
        FormatToString(kChangedOnSaveQuestion, path, static_cast<unsigned long>(LineOfOffset(text, changed)));
    return JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// True when every byte of the text survives the edit control, or when the
// user, told where the first one that does not is, still wants the text.
// Only where the control keeps its text as UTF-16 (Wine) and gives back what
// that makes of it; where its block is its text (Windows), every byte stays.
bool AcceptedAsTheControlKeepsIt(const char* text, const char* path)
{
    if (AppState.editBlockIsItsText) {
        return true;
    }
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
    return AcceptedDespiteChange(text, changed, path);
}

// The encoding the bytes are read in: the one found, when the user agrees
// to have it converted; Shift-JIS, when the user would rather have the bytes
// as they are. False when the user cancelled.
bool ChosenEncoding(const char* bytes, std::size_t size, const char* path, LoadMode mode, TextEncoding* encoding)
{
    *encoding = RecogniseEncoding(bytes, size);
    if (*encoding == TextEncoding::ShiftJis) {
        return true;
    }
    const char* name = EncodingName(*encoding);
    const std::string question = mode == LoadMode::NewDocument
                                     ? FormatToString(kEncodingQuestion, path, name, name)
                                     : FormatToString(kInsertEncodingQuestion, path, name);
    switch (JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return true;
    case IDNO:
        *encoding = TextEncoding::ShiftJis;
        return true;
    default:
        return false;
    }
}

// The file's text as the code page 932 text the control takes, in a block
// ending with a zero, after the questions of its encoding and of characters
// a save would write otherwise; none when the user declined or memory ran
// short (reported). The block read is freed either way.
HLOCAL ReadAsShiftJis(HLOCAL block, std::size_t size, const char* path, LoadMode mode, TextEncoding* encoding,
                      std::size_t* length)
{
    const char* bytes = static_cast<const char*>(LocalLock(block));
    HLOCAL text = nullptr;
    std::size_t changed = std::string::npos;
    if (ChosenEncoding(bytes, size, path, mode, encoding)) {
        if (*encoding == TextEncoding::ShiftJis) {
            LocalUnlock(block);
            *length = size;
            return block;
        }
        text = DecodeToShiftJis(*encoding, bytes, size, length, &changed);
        if (text == nullptr) {
            ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
        }
    }
    LocalUnlock(block);
    LocalFree(block);
    if (text != nullptr && !AcceptedDespiteChange(static_cast<const char*>(LocalLock(text)), changed, path)) {
        LocalUnlock(text);
        LocalFree(text);
        return nullptr;
    }
    if (text != nullptr) {
        LocalUnlock(text);
    }
    return text;
}

// True when the text holds no zero byte before its end, or when the user,
// told on which line the first one stands, wants the part before it; the
// text then ends there. *shortened tells which.
bool AcceptedUpToZeroByte(const char* text, std::size_t length, const char* path, bool* shortened)
{
    const void* zero = std::memchr(text, '\0', length);
    *shortened = zero != nullptr;
    if (zero == nullptr) {
        return true;
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
    const std::string question =
        FormatToString(kZeroByteQuestion, path, static_cast<unsigned long>(LineOfOffset(text, at)));
    return JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Every question asked before any text is shown: the encoding, characters
// that a save would change, a zero byte, characters the control would
// change. Answers the text to show, or none.
HLOCAL AcceptedText(HLOCAL block, std::size_t size, const char* path, LoadMode mode, TextEncoding* encoding,
                    bool* shortened)
{
    std::size_t length = 0;
    block = ReadAsShiftJis(block, size, path, mode, encoding, &length);
    if (block == nullptr) {
        return nullptr;
    }
    const char* text = static_cast<const char*>(LocalLock(block));
    // Text converted from Unicode comes back from the control as it went in.
    const bool accepted =
        AcceptedUpToZeroByte(text, length, path, shortened) &&
        (IsUtf8(*encoding) || IsUtf16(*encoding) || AcceptedAsTheControlKeepsIt(text, path));
    LocalUnlock(block);
    if (!accepted) {
        LocalFree(block);
        return nullptr;
    }
    return block;
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
    TextEncoding encoding = TextEncoding::ShiftJis;
    bool shortened = false;
    block = AcceptedText(block, static_cast<std::size_t>(size), path, mode, &encoding, &shortened);
    if (block == nullptr) {
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
        SetDocumentEncoding(document, encoding);
        SetShortenedFile(document, shortened ? path : "");
    } else {
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(LocalLock(block)));
        LocalUnlock(block);
        LocalFree(block);
    }
    return 1;
}
