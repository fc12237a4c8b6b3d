#include "file/save_as_dialog.h"

#include "document/document_data.h"
#include "file/file_names.h"
#include "file/open_dialog.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

#include <string>

namespace {

// The property that keeps the document being named with the dialog.
const char kDocumentProperty[] = "ファイル名";

constexpr UINT kInvalidName = 5;
constexpr UINT kDefaultExtensionString = 6;
constexpr UINT kOverwriteQuestion = 12;
constexpr UINT kBeingEdited = 13;

HWND DocumentOf(HWND dialog)
{
    return static_cast<HWND>(GetPropA(dialog, kDocumentProperty));
}

std::string DefaultExtension()
{
    char extension[32] = "";
    LoadStringA(AppState.instance, kDefaultExtensionString, extension, sizeof extension);
    return extension;
}

// The name under which a document would be saved: upper case, with the
// default extension when it has none.
std::string AsDocumentName(std::string name)
{
    CharUpperA(name.data());
    return AddDefaultExtension(name, DefaultExtension());
}

HWND NameField(HWND dialog)
{
    return GetDlgItem(dialog, IDC_SAVEAS_NAME);
}

// A question or report about the name, with the dialog held still until it
// is answered, so that the name cannot be confirmed twice.
int AskAboutName(HWND dialog, UINT flags, UINT stringId, const std::string& name)
{
    EnableWindow(dialog, FALSE);
    const int answer = ReportError(dialog, flags, stringId, name.c_str());
    EnableWindow(dialog, TRUE);
    SetActiveWindow(dialog);
    return answer;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Lists the folders of the folder or drive that the name field named; the
// field keeps its text, selected, so that typing a file name replaces it.
void ShowEnteredFolder(HWND dialog)
{
    ShowPathInUpperCase(dialog);
    SendMessageA(NameField(dialog), EM_SETSEL, 0, -1);
}

void EnterFolder(HWND dialog, const std::string& folder)
{
    if (SetCurrentDirectoryA(folder.c_str()) && ListFolders(dialog, "*.*")) {
        ShowEnteredFolder(dialog);
    }
}

void WalkFolders(HWND dialog, const std::string& typed)
{
    if (ListFolders(dialog, typed)) {
        ShowEnteredFolder(dialog);
    }
}

// True when the name may become the document's: it is new, or the user
// agreed to overwrite it, and no open document carries it.
bool NameCanBeTaken(HWND dialog, std::string name)
{
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
        AskAboutName(dialog, MB_YESNO | MB_ICONQUESTION, kOverwriteQuestion, name) != IDYES) {
        return false;
    }
    // Two documents under one name would overwrite each other's file.
    if (FindDocumentWindow(name.data()) != nullptr) {
        AskAboutName(dialog, MB_ICONSTOP, kBeingEdited, name);
        return false;
    }
    return true;
}

void ConfirmName(HWND dialog)
{
    const std::string typed = WindowTitle(NameField(dialog));
    std::string full;
    if (!FullPathOf(typed, full)) {
        SetActiveWindow(dialog);
        return;
    }
    // A device ("NUL", "COM1.TXT") resolves outside every folder: no name
    // to keep a document under.
    if (full.rfind("\\\\.\\", 0) == 0) {
        AskAboutName(dialog, MB_ICONSTOP, kInvalidName, typed);
        return;
    }
    if (HasWildcard(full)) {
        WalkFolders(dialog, typed);
        return;
    }
    if (EndsWithFolderSeparator(typed) || IsFolder(full)) {
        EnterFolder(dialog, full);
        return;
    }
    const std::string name = AsDocumentName(full);
    // Never cut: a cut name lands in another folder or ends in half a character.
    if (name.size() > kLongestFileName) {
        MessageBeep(0);
        return;
    }
    if (IsFolder(name)) {
        EnterFolder(dialog, name);
        return;
    }
    if (!NameCanBeTaken(dialog, name)) {
        return;
    }
    // The title is the name upper-cased; the file is saved through it as typed.
    SetDocumentPath(DocumentOf(dialog), AddDefaultExtension(full, DefaultExtension()));
    SetWindowTextA(DocumentOf(dialog), name.c_str());
    EndDialog(dialog, 0);
}

void StartSaveAsDialog(HWND dialog, HWND document)
{
    SetPropA(dialog, kDocumentProperty, document);
    const std::string name = AsDocumentName(WindowTitle(document));
    HWND field = NameField(dialog);
    SendMessageA(field, EM_LIMITTEXT, kLongestFileName, 0);
    SetWindowTextA(field, name.c_str());
    SendMessageA(field, EM_SETSEL, 0, -1);
    ListFolders(dialog, "*.*");
    if (name.empty()) {
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    }
}

void FolderListEvent(HWND dialog, int code)
{
    if (code == LBN_SELCHANGE) {
        const std::string prefix = SelectedEntry(dialog, IDC_DIRLIST);
        if (!prefix.empty()) {
            SetWindowTextA(NameField(dialog), (prefix + "*.*").c_str());
        }
    } else if (code == LBN_DBLCLK) {
        ListFolders(dialog, "*.*");
    }
}

void SaveAsCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        ConfirmName(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 1);
        break;
    case IDC_SAVEAS_NAME:
        if (code == EN_CHANGE) {
            EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthA(NameField(dialog)) > 0);
        }
        break;
    case IDC_DIRLIST:
        FolderListEvent(dialog, code);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK SaveAsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        StartSaveAsDialog(dialog, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_COMMAND:
        SaveAsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        RemovePropA(dialog, kDocumentProperty);
        return FALSE;
    default:
        return FALSE;
    }
}

int RunSaveAsDialog(HWND document)
{
    const INT_PTR result = DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_SAVEAS), document,
                                           SaveAsDialogProc, reinterpret_cast<LPARAM>(document));
    if (result != 0) {
        return 0;
    }
    SetDocumentData(document, DocumentWindow::untitled, 0);
    return 1;
}

LRESULT SaveUnderNewName(HWND document)
{
    const std::string oldTitle = WindowTitle(document);
    const std::string oldPath = DocumentPath(document);
    const LONG_PTR wasUntitled = GetDocumentData(document, DocumentWindow::untitled);
    if (RunSaveAsDialog(document) == 0) {
        return 1;
    }
    if (SendMessageA(document, WM_COMMAND, IDM_FILESAVE, 0) == 0) {
        return 0;
    }
    SetWindowTextA(document, oldTitle.c_str());
    SetDocumentPath(document, oldPath);
    SetDocumentData(document, DocumentWindow::untitled, wasUntitled);
    return 1;
}
