#include "file/save_document.h"

#include "doc/document_window.h"
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

// Writes the edit control's own text block in one call and gives the block
// back to the control, which then starts a fresh undo history.
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
    if (!ok || written != static_cast<DWORD>(length)) {
        return false;
    }
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    return true;
}

}  // namespace

bool SaveDocument(HWND document)
{
    HWND edit = DocumentEdit(document);
    const std::string path = WindowTitle(document);

    HANDLE file = OpenForWriting(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        ReportError(nullptr, MB_ICONSTOP, kCannotCreate, path.c_str());
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(file);
        // A backup that cannot be made does not stop the save.
        CopyFileA(path.c_str(), MakeBackupName(path.c_str()).c_str(), FALSE);
        file = OpenForWriting(path, CREATE_ALWAYS);
        if (file == INVALID_HANDLE_VALUE) {
            ReportError(nullptr, MB_ICONSTOP, kCannotWrite, path.c_str());
            return false;
        }
    }
    const bool written = WriteEditText(file, edit);
    CloseHandle(file);
    if (!written) {
        ReportError(nullptr, MB_ICONSTOP, kCannotWrite, path.c_str());
        return false;
    }
    return true;
}
