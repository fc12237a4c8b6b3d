#include "file/open_dialog.h"

#include "document/document_data.h"
#include "file/file_names.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"
#include "text/sjis.h"

#include <string>
#include <vector>

namespace {

// The property that keeps the caller's buffer with the dialog.
const char kBufferProperty[] = "ファイル名";
const char kFailure[] = "ファイル名を取り出す事に失敗しました。";
const char kCaption[] = "モクレ";

constexpr UINT kFolderListAttributes = DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY;

// A list entry is at most MAX_PATH UTF-16 units and its brackets, each at
// most two bytes in code page 932.
constexpr int kSelectionBytes = 2 * (MAX_PATH + 4);

struct FileType {
    const char* label;
    const char* patterns;
};

// The first type lists the program's own files under both of their
// extensions: ".文書", which it gives new files, and the older ".文".
const FileType kFileTypeTable[] = {
    {"文書 ﾌｧｲﾙ(*.文書;*.文)", "*.文書;*.文"},
    {"機械翻訳(*.ASM;*.A86)", "*.ASM;*.A86"},
    {"Ｃ言語(*.C;*.CPP)", "*.C;*.CPP"},
    {"定義ﾌｧｲﾙ(*.H;*.DEF)", "*.H;*.DEF"},
    {"資源ﾌｧｲﾙ", "*.RC;*.RCV;*.DLG"},
    {"ﾃｷｽﾄﾌｧｲﾙ", "*.TXT;*.BAK;*.INI"},
    {"全て", "*.*"},
};

// The caller's buffer and its size.
struct OpenRequest {
    char* buffer;
    std::size_t size;
};

OpenRequest* RequestOf(HWND dialog)
{
    return static_cast<OpenRequest*>(GetPropA(dialog, kBufferProperty));
}

std::string NameField(HWND dialog)
{
    return WindowTitle(GetDlgItem(dialog, IDC_OPEN_NAME));
}

void SetNameField(HWND dialog, const std::string& text)
{
    SetDlgItemTextA(dialog, IDC_OPEN_NAME, text.c_str());
}

// Labels in table order, although the box sorts: each goes to the end.
void FillFileTypes(HWND dialog)
{
    HWND types = GetDlgItem(dialog, IDC_OPEN_TYPES);
    for (const FileType& type : kFileTypeTable) {
        const LRESULT item = SendMessageA(types, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(type.label));
        SendMessageA(types, CB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(type.patterns));
    }
}

std::string SelectedTypePatterns(HWND dialog)
{
    HWND types = GetDlgItem(dialog, IDC_OPEN_TYPES);
    LRESULT item = SendMessageA(types, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) {
        return kFileTypeTable[0].patterns;
    }
    return reinterpret_cast<const char*>(SendMessageA(types, CB_GETITEMDATA, static_cast<WPARAM>(item), 0));
}

void ShowFailure(HWND dialog)
{
    MessageBoxA(dialog, kFailure, kCaption, MB_OK);
    SetActiveWindow(dialog);
}

// Enters the folder part of the first pattern, then lists what every
// pattern's file part matches there; the field keeps the file part.
void RefreshLists(HWND dialog, const std::string& field)
{
    const std::vector<std::string> patterns = SplitPatternList(field);
    if (!patterns.empty()) {
        // A bare folder first ("..;*.TXT") is listed as its "*.*": given the
        // folder alone, Wine writes "*.*" over a copy of it sized to the
        // folder's name.
        std::string first = patterns.front();
        if (!HasWildcard(first)) {
            first += EndsWithFolderSeparator(first) ? "*.*" : "\\*.*";
        }
        ListFolders(dialog, first);
    }
    ShowPathInUpperCase(dialog);

    const std::string filePart = FilePartOfPatterns(field);
    HWND files = GetDlgItem(dialog, IDC_OPEN_FILES);
    SendMessageA(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& pattern : SplitPatternList(filePart)) {
        SendMessageA(files, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern.c_str()));
    }
    SetNameField(dialog, filePart);
}

// Ends the dialog with the full path of the named file, or says why not.
void AcceptFile(HWND dialog, const std::string& field)
{
    OpenRequest* request = RequestOf(dialog);
    std::string full;
    if (!FullPathOf(field, full)) {
        ShowFailure(dialog);
        return;
    }
    // Never cut: a cut path names another file or ends in half a character.
    if (full.size() > kLongestFileName || full.size() >= request->size) {
        MessageBeep(0);
        return;
    }
    if (!FileExists(full.c_str())) {
        ShowFailure(dialog);
        return;
    }
    full.copy(request->buffer, full.size());
    request->buffer[full.size()] = '\0';
    EndDialog(dialog, 0);
}

void RefreshOrAccept(HWND dialog)
{
    const std::string field = NameField(dialog);
    if (HasWildcard(field)) {
        RefreshLists(dialog, field);
    } else {
        AcceptFile(dialog, field);
    }
}

void StartOpenDialog(HWND dialog, OpenRequest* request)
{
    FillFileTypes(dialog);
    SendDlgItemMessageA(dialog, IDC_OPEN_TYPES, CB_SETCURSEL, 0, 0);
    SetNameField(dialog, kFileTypeTable[0].patterns);
    SetPropA(dialog, kBufferProperty, request);
    SendDlgItemMessageA(dialog, IDC_OPEN_NAME, EM_LIMITTEXT, kLongestFileName, 0);
    RefreshOrAccept(dialog);
}

void CancelOpenDialog(HWND dialog)
{
    OpenRequest* request = RequestOf(dialog);
    request->buffer[0] = '\0';
    EndDialog(dialog, 0);
}

void FileListEvent(HWND dialog, int code)
{
    if (code == LBN_SELCHANGE) {
        const std::string name = SelectedEntry(dialog, IDC_OPEN_FILES);
        if (!name.empty()) {
            SetNameField(dialog, name);
        }
    } else if (code == LBN_DBLCLK) {
        RefreshOrAccept(dialog);
    }
}

void FolderListEvent(HWND dialog, int code)
{
    if (code == LBN_SELCHANGE) {
        const std::string prefix = SelectedEntry(dialog, IDC_DIRLIST);
        if (!prefix.empty()) {
            SetNameField(dialog, prefix + SelectedTypePatterns(dialog));
        }
    } else if (code == LBN_DBLCLK) {
        RefreshOrAccept(dialog);
    }
}

void FileTypeEvent(HWND dialog, int code)
{
    if (code == CBN_SELCHANGE || code == CBN_CLOSEUP) {
        SetNameField(dialog, SelectedTypePatterns(dialog));
        RefreshOrAccept(dialog);
    } else if (code == CBN_DBLCLK) {
        RefreshOrAccept(dialog);
    }
}

void EnableOkForName(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthA(GetDlgItem(dialog, IDC_OPEN_NAME)) > 0);
}

INT_PTR OpenDialogCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        RefreshOrAccept(dialog);
        return TRUE;
    case IDCANCEL:
        CancelOpenDialog(dialog);
        return TRUE;
    case IDC_OPEN_NAME:
        EnableOkForName(dialog);
        return TRUE;
    case IDC_OPEN_FILES:
        FileListEvent(dialog, code);
        return TRUE;
    case IDC_DIRLIST:
        FolderListEvent(dialog, code);
        return TRUE;
    case IDC_OPEN_TYPES:
        FileTypeEvent(dialog, code);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        StartOpenDialog(dialog, reinterpret_cast<OpenRequest*>(lParam));
        return TRUE;
    case WM_COMMAND:
        return OpenDialogCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        RemovePropA(dialog, kBufferProperty);
        return FALSE;
    default:
        return FALSE;
    }
}

void RunOpenDialog(char* buffer, std::size_t size)
{
    if (size == 0) {
        return;
    }
    buffer[0] = '\0';
    OpenRequest request{buffer, size};
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_OPEN), AppState.frameWindow, OpenDialogProc,
                    reinterpret_cast<LPARAM>(&request));
}

bool FileExists(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Reading a device ("NUL", "CON", "COM1") can block the program.
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}

bool FullPathOf(const std::string& name, std::string& full)
{
    if (name.empty()) {
        return false;
    }
    const DWORD needed = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return false;
    }
    std::string path(needed, '\0');
    const DWORD got = GetFullPathNameA(name.c_str(), needed, path.data(), nullptr);
    if (got == 0 || got >= needed) {
        return false;
    }
    path.resize(got);
    full = path;
    return true;
}

bool ListFolders(HWND dialog, const std::string& pattern)
{
    // The platform writes into the pattern it is given, "*.*" over a
    // folder name among other things, so the copy has room to spare.
    std::vector<char> writable(pattern.size() + MAX_PATH + 1, '\0');
    pattern.copy(writable.data(), pattern.size());
    return DlgDirListA(dialog, writable.data(), IDC_DIRLIST, IDC_DIRPATH, kFolderListAttributes) != 0;
}

void ShowPathInUpperCase(HWND dialog)
{
    HWND line = GetDlgItem(dialog, IDC_DIRPATH);
    std::string path = WindowTitle(line);
    CharUpperA(path.data());
    SetWindowTextA(line, path.c_str());
}

std::string SelectedEntry(HWND dialog, int list)
{
    char entry[kSelectionBytes] = "";
    DlgDirSelectExA(dialog, entry, sizeof entry, list);
    std::string selected;
    return ReadAnsiAnswer(entry, sizeof entry, selected) ? selected : std::string();
}
