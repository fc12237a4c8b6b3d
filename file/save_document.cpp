#include "file/save_document.h"

#include "document/copy_files.h"
#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/edit_positions.h"
#include "file/backup_name.h"
#include "file/encoded_text.h"
#include "file/round_trip.h"
#include "msg/message_box.h"
#include "state/app_state.h"
#include "text/format.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr UINT kCannotCreate = 3;
constexpr UINT kCannotWrite = 4;
constexpr UINT kNoMemory = 10;
constexpr char kCharacterConversion[] = "文字変換";
constexpr char kProgramName[] = "モクレ";
constexpr char kChangedOnSaveQuestion[] =
    "「%s」の%lu行目の文字は、保管すると別の文字として書き込まれます。\rそれでも保管しますか";
constexpr char kShortenedQuestion[] =
    "「%s」はゼロのバイトの所までしか読み込んでいません。\r"
    "保管すると、ファイルのそこから後の部分は無くなります。\rそれでも保管しますか";

bool UserAgrees(const std::string& question)
{
    return JpMessageBox(AppState.frameWindow, question.c_str(), kProgramName, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

HANDLE OpenForWriting(const std::string& path, DWORD disposition)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A new, empty file in the folder of path, so that it can later be moved
// over path without copying. The ANSI form answers in at most MAX_PATH bytes
// and leaves a longer Shift-JIS name unterminated; the wide form, whose name
// fits in MAX_PATH characters, names it whole.
bool MakeTemporaryBeside(const std::string& path, std::string& temporary)
{
    const std::wstring folder = WideName(FolderOf(path.c_str()));
    wchar_t name[MAX_PATH + 1] = L"";
    if (folder.empty() || GetTempFileNameW(folder.c_str(), L"mk", 0, name) == 0) {
        return false;
    }
    temporary = NarrowName(name);
    if (temporary.empty()) {
        DeleteFileW(name);
        return false;
    }
    return true;
}

// Copies the old file to its backup name by way of a temporary copy, so
// that a copy that fails part-way (a full disk) leaves the previous backup
// as it was.
bool MakeBackup(const std::string& path)
{
    const std::string backup = MakeBackupName(path.c_str());
    std::string temporary;
    if (!MakeTemporaryBeside(backup, temporary)) {
        return false;
    }
    if (CopyFileA(path.c_str(), temporary.c_str(), FALSE) &&
        MoveFileExA(temporary.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

// The bytes a save writes, in one piece.
struct Bytes {
    const char* data;
    std::size_t length;
};

bool WriteBytes(HANDLE file, Bytes text)
{
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data, static_cast<DWORD>(text.length), &written, nullptr);
    return ok && written == static_cast<DWORD>(text.length);
}

// Rewrites the file in place: its old text is safe in the backup. The file
// is emptied rather than made anew, so that it keeps its attributes; made
// anew with FILE_ATTRIBUTE_NORMAL, a hidden or system file is refused.
bool RewriteInPlace(const std::string& path, Bytes text)
{
    HANDLE file = OpenForWriting(path, TRUNCATE_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteBytes(file, text);
    CloseHandle(file);
    return written;
}

// Without a backup the old file is the only copy of its text, so the new
// text is written beside it first and takes its place only when whole.
bool ReplaceWhole(const std::string& path, Bytes text)
{
    std::string temporary;
    if (!MakeTemporaryBeside(path, temporary)) {
        return false;
    }
    HANDLE file = OpenForWriting(temporary, CREATE_ALWAYS);
    bool done = file != INVALID_HANDLE_VALUE && WriteBytes(file, text);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    // The new file takes the place of the old one, and its attributes.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    done = done && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!done) {
        DeleteFileA(temporary.c_str());
    } else if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(path.c_str(), attributes);
    }
    return done;
}

// The control's text as it shows it: UTF-16, on Windows and Wine alike.
class ShownText {
public:
    explicit ShownText(HWND edit) : valid_(ShownTextOf(edit, text_)) {}
    bool valid() const { return valid_; }
    const WCHAR* data() const { return text_.c_str(); }
    int length() const { return static_cast<int>(text_.size()); }

private:
    std::wstring text_;
    bool valid_;
};

// The shown text in code page 932, with no character put in for one that
// has none there; *whole tells whether every character had its own.
class SavedForm {
public:
    SavedForm(const ShownText& shown, BOOL* whole)
    {
        *whole = TRUE;
        if (shown.length() == 0) {
            bytes_.reset(new (std::nothrow) char[1]);
            return;
        }
        const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, shown.data(), shown.length(), nullptr,
                                             0, nullptr, nullptr);
        bytes_.reset(size > 0 ? new (std::nothrow) char[static_cast<std::size_t>(size)] : nullptr);
        if (bytes_ == nullptr) {
            return;
        }
        BOOL defaulted = FALSE;
        length_ = static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, shown.data(),
                                                               shown.length(), bytes_.get(), size, nullptr,
                                                               &defaulted));
        *whole = !defaulted;
    }
    bool valid() const { return bytes_ != nullptr; }
    Bytes bytes() const { return {bytes_.get(), length_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t length_ = 0;
};

// The line, counted from 1, of the first character of the shown text that
// code page 932 has no character for.
unsigned long LineOfFirstUnsaved(const ShownText& shown)
{
    const WCHAR* text = shown.data();
    int at = 0;
    while (at < shown.length()) {
        const int step =
            IS_HIGH_SURROGATE(text[at]) && at + 1 < shown.length() && IS_LOW_SURROGATE(text[at + 1]) ? 2 : 1;
        char out[8];
        BOOL defaulted = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text + at, step, out, sizeof out, nullptr, &defaulted);
        if (defaulted) {
            break;
        }
        at += step;
    }
    // Line ends are single bytes in code page 932, so the lines of the
    // converted text before it are the lines shown.
    const int size = at > 0 ? WideCharToMultiByte(CP_ACP, 0, text, at, nullptr, 0, nullptr, nullptr) : 0;
    std::string before(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text, at, before.data(), size, nullptr, nullptr);
    }
    return static_cast<unsigned long>(LineOfOffset(before.c_str(), before.size()));
}

// The text a save writes, and whether the user wants it written. Where the
// control's block is its text (Windows), no character outside code page 932
// can be in it, and that block is written as it is, in place. Where the
// control holds UTF-16 (Wine), a character of the shown text that has no
// code page 932 form would be written as another one, and the user is asked
// first; the conversion made for the check is the text.
class TextToSave {
public:
    TextToSave(HWND edit, const std::string& path)
    {
        if (AppState.editBlockIsItsText) {
            own_ = std::make_unique<EditText>(edit);
            if (!own_->valid() && GetWindowTextLengthA(edit) > 0) {
                ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
                return;
            }
            wanted_ = true;
            return;
        }
        const ShownText shown(edit);
        BOOL whole = TRUE;
        if (shown.valid()) {
            converted_ = std::make_unique<SavedForm>(shown, &whole);
        }
        if (!shown.valid() || !converted_->valid()) {
            ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
            return;
        }
        if (!whole) {
            if (!UserAgrees(FormatToString(kChangedOnSaveQuestion, path.c_str(), LineOfFirstUnsaved(shown)))) {
                return;
            }
            // The control's own code page 932 form, read as a copy: borrowing
            // a block the control keeps converting would change what it shows.
            converted_.reset();
            copy_ = CopyOfText(edit);
            copied_ = copy_ != nullptr ? static_cast<const char*>(LocalLock(copy_)) : nullptr;
            if (copied_ == nullptr) {
                ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
                return;
            }
        }
        wanted_ = true;
    }
    ~TextToSave()
    {
        if (copy_ != nullptr) {
            if (copied_ != nullptr) {
                LocalUnlock(copy_);
            }
            LocalFree(copy_);
        }
    }
    TextToSave(const TextToSave&) = delete;
    TextToSave& operator=(const TextToSave&) = delete;

    bool wanted() const { return wanted_; }
    Bytes bytes() const
    {
        if (copied_ != nullptr) {
            return {copied_, std::strlen(copied_)};
        }
        return own_ != nullptr ? Bytes{own_->data(), own_->length()} : converted_->bytes();
    }

private:
    std::unique_ptr<SavedForm> converted_;
    std::unique_ptr<EditText> own_;
    HLOCAL copy_ = nullptr;
    const char* copied_ = nullptr;
    bool wanted_ = false;
};

// The bytes a save writes in the document's encoding, and whether the user
// wants them written. Shift-JIS is the text the control holds, with the
// question of characters code page 932 lacks; UTF-8 and UTF-16 are made
// from the control's UTF-16 text and hold every character; EUC-JP and
// ISO-2022-JP are made from the Shift-JIS text, with the question of
// characters that have no JIS cell.
class EncodedText {
public:
    EncodedText(HWND edit, TextEncoding encoding, const std::string& title)
    {
        try {
            if (IsUtf8(encoding) || IsUtf16(encoding)) {
                const ShownText shown(edit);
                if (!shown.valid()) {
                    throw std::bad_alloc();
                }
                encoded_ = EncodeUnicodeText(encoding, shown.data(), static_cast<std::size_t>(shown.length()));
                bytes_ = {encoded_.data(), encoded_.size()};
                wanted_ = true;
                return;
            }
            shiftJis_ = std::make_unique<TextToSave>(edit, title);
            if (!shiftJis_->wanted()) {
                return;
            }
            bytes_ = shiftJis_->bytes();
            if (IsJisBased(encoding)) {
                std::size_t lacking = std::string::npos;
                encoded_ = ShiftJisToJis(encoding, bytes_.data, bytes_.length, &lacking);
                const std::string before(bytes_.data, lacking == std::string::npos ? 0 : lacking);
                // The control's block is not kept locked while a box runs
                // its message loop.
                shiftJis_.reset();
                if (lacking != std::string::npos) {
                    const unsigned long line = static_cast<unsigned long>(LineOfOffset(before.c_str(), lacking));
                    if (!UserAgrees(FormatToString(kChangedOnSaveQuestion, title.c_str(), line))) {
                        return;
                    }
                }
                bytes_ = {encoded_.data(), encoded_.size()};
            }
            wanted_ = true;
        } catch (const std::bad_alloc&) {
            ReportError(nullptr, MB_ICONSTOP, kNoMemory, kCharacterConversion);
            wanted_ = false;
        }
    }

    bool wanted() const { return wanted_; }
    Bytes bytes() const { return bytes_; }

private:
    std::unique_ptr<TextToSave> shiftJis_;
    std::string encoded_;
    Bytes bytes_ = {"", 0};
    bool wanted_ = false;
};

// A document read only up to a zero byte writes over the longer file it
// came from only when the user agrees.
bool MayWriteOverShortenedFile(HWND document, const std::string& title)
{
    const std::string shortened = ShortenedFile(document);
    return shortened.empty() || shortened != title ||
           UserAgrees(FormatToString(kShortenedQuestion, title.c_str()));
}

// A fresh undo history and the control's own modified mark cleared, by the
// messages made for them: the text stays where it is, laid out as it was,
// with the caret and the view where the user had them.
void StartFreshUndo(HWND edit)
{
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

}  // namespace

bool SaveDocument(HWND document)
{
    HWND edit = DocumentEdit(document);
    const std::string title = WindowTitle(document);
    const std::string path = DocumentPath(document);
    if (!MayWriteOverShortenedFile(document, title)) {
        return false;
    }
    {
        const EncodedText text(edit, DocumentEncoding(document), title);
        if (!text.wanted()) {
            return false;
        }
        HANDLE file = OpenForWriting(path, OPEN_ALWAYS);
        if (file == INVALID_HANDLE_VALUE) {
            ReportError(nullptr, MB_ICONSTOP, kCannotCreate, title.c_str());
            return false;
        }
        bool written = false;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(file);
            written = MakeBackup(path) ? RewriteInPlace(path, text.bytes()) : ReplaceWhole(path, text.bytes());
        } else {
            written = WriteBytes(file, text.bytes());
            CloseHandle(file);
        }
        if (!written) {
            ReportError(nullptr, MB_ICONSTOP, kCannotWrite, title.c_str());
            return false;
        }
    }
    SetShortenedFile(document, "");
    StartFreshUndo(edit);
    return true;
}
