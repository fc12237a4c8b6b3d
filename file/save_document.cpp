#include "file/save_document.h"

#include "document/document_data.h"
#include "file/backup_name.h"
#include "msg/message_box.h"

#include <string>

namespace {

constexpr UINT kCannotCreate = 3;
constexpr UINT kCannotWrite = 4;

HANDLE OpenForWriting(const std::string& path, DWORD disposition)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file name in the ANSI code page that the file functions use, and back.
std::wstring WideName(const std::string& name)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
    if (units <= 0 || MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), units) != units) {
        return std::wstring();
    }
    wide.resize(static_cast<std::size_t>(units - 1));
    return wide;
}

std::string AnsiName(const wchar_t* wide)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    if (bytes <= 0 || WideCharToMultiByte(CP_ACP, 0, wide, -1, name.data(), bytes, nullptr, nullptr) != bytes) {
        return std::string();
    }
    name.resize(static_cast<std::size_t>(bytes - 1));
    return name;
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
    temporary = AnsiName(name);
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

// Writes the edit control's own text block in one call.
bool WriteEditText(HANDLE file, HWND edit)
{
    const int length = GetWindowTextLengthA(edit);
    HLOCAL block = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
    const char* text = block != nullptr ? static_cast<const char*>(LocalLock(block)) : nullptr;
    if (text == nullptr && length > 0) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    if (block != nullptr) {
        LocalUnlock(block);
    }
    return ok && written == static_cast<DWORD>(length);
}

// Rewrites the file in place: its old text is safe in the backup.
bool RewriteInPlace(const std::string& path, HWND edit)
{
    HANDLE file = OpenForWriting(path, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteEditText(file, edit);
    CloseHandle(file);
    return written;
}

// Without a backup the old file is the only copy of its text, so the new
// text is written beside it first and takes its place only when whole.
bool ReplaceWhole(const std::string& path, HWND edit)
{
    std::string temporary;
    if (!MakeTemporaryBeside(path, temporary)) {
        return false;
    }
    HANDLE file = OpenForWriting(temporary, CREATE_ALWAYS);
    bool done = file != INVALID_HANDLE_VALUE && WriteEditText(file, edit);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    done = done && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!done) {
        DeleteFileA(temporary.c_str());
    }
    return done;
}

// Gives the text block back to the control, which starts a fresh undo
// history and forgets its own modified mark; the caret and the view stay
// where the user had them.
void StartFreshUndo(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    HLOCAL block = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    SendMessageA(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
    const LRESULT nowFirst = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(edit, EM_LINESCROLL, 0, firstLine - nowFirst);
}

}  // namespace

bool SaveDocument(HWND document)
{
    HWND edit = DocumentEdit(document);
    const std::string title = WindowTitle(document);
    const std::string path = DocumentPath(document);

    HANDLE file = OpenForWriting(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        ReportError(nullptr, MB_ICONSTOP, kCannotCreate, title.c_str());
        return false;
    }
    bool written = false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(file);
        written = MakeBackup(path) ? RewriteInPlace(path, edit) : ReplaceWhole(path, edit);
    } else {
        written = WriteEditText(file, edit);
        CloseHandle(file);
    }
    if (!written) {
        ReportError(nullptr, MB_ICONSTOP, kCannotWrite, title.c_str());
        return false;
    }
    StartFreshUndo(edit);
    return true;
}
