#include "app/frame.h"

#include "app/about_dialog.h"
#include "document/document_data.h"
#include "document/editing_commands.h"
#include "document/font_dialog.h"
#include "document/goto_line_dialog.h"
#include "document/oem_conversion.h"
#include "document/recovery.h"
#include "document/wrap_mode.h"
#include "file/load_file.h"
#include "file/open_dialog.h"
#include "file/save_as_dialog.h"
#include "print/page_layout_dialog.h"
#include "print/print_job.h"
#include "print/printer_device.h"
#include "print/printer_setup.h"
#include "res/resource.h"
#include "search/search_dialog.h"
#include "search/search_engine.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "text/sjis.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

void CreateMdiClient(HWND frame)
{
    CLIENTCREATESTRUCT ccs = {};
    ccs.hWindowMenu = GetSubMenu(GetMenu(frame), 4);
    ccs.idFirstChild = IDM_FIRSTCHILD;
    AppState.mdiClient = CreateWindowExA(0, "mdiclient", nullptr,
                                         WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                                         frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)),
                                         AppState.instance, &ccs);
    if (AppState.mdiClient != nullptr) {
        ShowWindow(AppState.mdiClient, SW_SHOW);
    }
}

void CloseFrame(HWND frame)
{
    if (QueryCloseAll() == 1) {
        DestroyWindow(frame);
    }
}

void SetItem(HMENU menu, UINT id, bool enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckItem(HMENU menu, UINT id, bool checked)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void SetItemRange(HMENU menu, UINT first, UINT last, bool enabled)
{
    for (UINT id = first; id <= last; ++id) {
        SetItem(menu, id, enabled);
    }
}

bool ClipboardHoldsText()
{
    if (!OpenClipboard(AppState.frameWindow)) {
        return false;
    }
    bool found = false;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        if (format == CF_TEXT) {
            found = true;
            break;
        }
    }
    CloseClipboard();
    return found;
}

bool SelectionIsEmpty(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == end;
}

void InsertFileCommand()
{
    char name[kFileNameBufferSize] = "";
    RunOpenDialog(name, sizeof name);
    if (name[0] != '\0') {
        LoadFile(AppState.activeDocument, name, LoadMode::Insert);
    }
}

void CloseAllCommand()
{
    if (QueryCloseAll() == 1) {
        DestroyAllDocuments();
        ShowWindow(AppState.mdiClient, SW_SHOW);
    }
}

// A maximised document covers the whole client, so the client has nothing
// to scroll. Wine's client shows the scroll bars of its creation style until
// it recalculates them, and the showing of a child made maximised cancels the
// recalculation that its maximising asked for; the document then showed a
// second pair of scroll bars. Hiding them before the text is loaded also
// settles the document's size before the edit control lays the text out.
void HideClientScrollBarsBehind(HWND document)
{
    if (document != nullptr && IsZoomed(document)) {
        ShowScrollBar(AppState.mdiClient, SB_BOTH, FALSE);
    }
}

// Settings change often and for many reasons, and a lookup may stall on a
// network printer: only the default printer's section and the printers'
// own, or a change that names no section, can concern printing.
bool ConcernsPrinters(const char* section)
{
    return section == nullptr || lstrcmpiA(section, "windows") == 0 || lstrcmpiA(section, "devices") == 0;
}

// Set when the user answered every question of an ending session: the
// documents still changed are the ones the user chose not to save.
bool sessionLetGo = false;

constexpr wchar_t kShutdownReason[] = L"保管されていない文書があります。";

// A critical end, or the restart manager closing the program, waits for
// no answer: the copies are written and the session ends. Otherwise the
// program asks as it does before closing, and tells the system why it holds
// the session up meanwhile; the copies are written first all the same, for
// the user may end the session anyway while the question is up.
LRESULT QueryEndSession(HWND frame, LPARAM how)
{
    WriteCopiesNow();
    sessionLetGo = false;
    if ((how & (ENDSESSION_CRITICAL | ENDSESSION_CLOSEAPP)) != 0) {
        return TRUE;
    }
    ShutdownBlockReasonCreate(frame, kShutdownReason);
    const int agreed = QueryCloseAll();
    ShutdownBlockReasonDestroy(frame);
    sessionLetGo = agreed == 1;
    return agreed;
}

void EndSession(bool ending)
{
    if (ending && sessionLetGo) {
        DestroyAllDocuments();
    } else if (ending) {
        WriteCopiesNow();
        KeepCopiesAtEnd();
    }
    sessionLetGo = false;
}

}  // namespace

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateMdiClient(frame);
        RefreshPrinterState();
        return 0;
    case WM_WININICHANGE:
        if (ConcernsPrinters(reinterpret_cast<const char*>(lParam))) {
            RefreshPrinterState();
        }
        return 0;
    case WM_DEVMODECHANGE:
        RefreshPrinterState();
        return 0;
    case WM_COMMAND:
        CommandDispatch(frame, wParam, lParam);
        return 0;
    case WM_INITMENU:
        UpdateMenuState(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_DROPFILES:
        HandleDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        CloseFrame(frame);
        return 0;
    case WM_QUERYENDSESSION:
        return QueryEndSession(frame, lParam);
    case WM_ENDSESSION:
        EndSession(wParam != FALSE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (message == CopyTimesMessage()) {
            return CopyTimes(wParam);
        }
        return DefFrameProcA(frame, AppState.mdiClient, message, wParam, lParam);
    }
}

void UpdateMenuState(HMENU menu)
{
    HWND edit = AppState.activeEdit;
    if (edit == nullptr) {
        SetItemRange(menu, IDM_EDITUNDO, IDM_EDITSELECTABOVE, false);
        CheckItem(menu, IDM_OPTWRAP, false);
        SetItemRange(menu, IDM_SEARCHFIND, IDM_SEARCHBOTTOM, false);
        SetItemRange(menu, IDM_OPTWRAP, IDM_OPTFONT, false);
        for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESAVE, IDM_FILESAVEAS, IDM_FILEINSERT,
                        IDM_FILESETUP}) {
            SetItem(menu, id, false);
        }
        SetItemRange(menu, IDM_WINTILEVERT, IDM_WINARRANGE, false);
        return;
    }

    HWND document = AppState.activeDocument;
    SetItem(menu, IDM_EDITUNDO, SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    const bool hasSelection = !SelectionIsEmpty(edit);
    for (UINT id : {IDM_EDITCUT, IDM_EDITCOPY, IDM_EDITCLEAR}) {
        SetItem(menu, id, hasSelection);
    }
    SetItem(menu, IDM_EDITPASTE, ClipboardHoldsText());
    CheckItem(menu, IDM_OPTWRAP, GetDocumentData(document, DocumentWindow::wrap) != 0);
    CheckItem(menu, IDM_OPTHARDBREAK, GetDocumentData(document, DocumentWindow::forcedBreaks) != 0);
    CheckItem(menu, IDM_OPTOEMCONVERT, GetDocumentData(document, DocumentWindow::oemConverted) != 0);
    SetItem(menu, IDM_SEARCHPREV, SearchState.findText[0] != '\0');

    const bool printer = PrinterState.available;
    SetItem(menu, IDM_FILEPRINT, printer);
    SetItem(menu, IDM_FILEPAGESETUP, printer);
    SetItem(menu, IDM_FILESETUP, printer);

    SetItemRange(menu, IDM_EDITSELECTALL, IDM_EDITSELECTABOVE, true);
    SetItemRange(menu, IDM_OPTWRAP, IDM_OPTFONT, true);
    for (UINT id : {IDM_SEARCHFIND, IDM_SEARCHNEXT, IDM_SEARCHREPLACE, IDM_SEARCHGOTOLINE, IDM_SEARCHTOP,
                    IDM_SEARCHBOTTOM, IDM_FILESAVE, IDM_FILESAVEAS, IDM_FILEINSERT}) {
        SetItem(menu, id, true);
    }
    SetItemRange(menu, IDM_WINTILEVERT, IDM_WINARRANGE, true);
}

void CommandDispatch(HWND frame, WPARAM command, LPARAM lParam)
{
    HWND document = AppState.activeDocument;
    HWND edit = AppState.activeEdit;
    switch (LOWORD(command)) {
    case IDM_FILENEW:
        CreateDocumentWindow(nullptr);
        break;
    case IDM_FILEOPEN:
        OpenFileCommand();
        break;
    case IDM_FILESAVE:
        SendMessageA(document, WM_COMMAND, IDM_FILESAVE, 0);
        break;
    case IDM_FILESAVEAS:
        SaveUnderNewName(document);
        break;
    case IDM_FILEINSERT:
        InsertFileCommand();
        break;
    case IDM_FILEEXIT:
        SendMessageA(frame, WM_CLOSE, 0, 0);
        break;
    case IDM_FILEPRINT:
        PrintDocument(document);
        break;
    case IDM_FILESETUP:
        RunPrinterSetup(frame);
        break;
    case IDM_FILEPAGESETUP:
        ShowPageLayoutDialog();
        break;
    case IDM_EDITUNDO:
    case IDM_EDITCUT:
    case IDM_EDITCOPY:
    case IDM_EDITPASTE:
    case IDM_EDITCLEAR:
    case IDM_EDITSELECTALL:
    case IDM_EDITSELECTBELOW:
    case IDM_EDITSELECTABOVE:
    case IDM_EDITDATEKOKI:
    case IDM_EDITDATEHEISEI:
    case IDM_EDITDATESEIREKI:
    case IDM_SEARCHTOP:
    case IDM_SEARCHBOTTOM:
        RunEditingCommand(edit, LOWORD(command));
        break;
    case IDM_SEARCHGOTOLINE:
        RunGoToLineDialog(frame);
        break;
    case IDM_SEARCHFIND:
        RunSearchDialog(frame, IDD_FIND);
        break;
    case IDM_SEARCHNEXT:
        FindNext();
        break;
    case IDM_SEARCHPREV:
        FindPrevious();
        break;
    case IDM_SEARCHREPLACE:
        RunSearchDialog(frame, IDD_REPLACE);
        break;
    case IDM_HELPDOCINFO:
        ShowDocumentInformation(frame, edit);
        break;
    case IDM_OPTWRAP:
        SendMessageA(document, WM_COMMAND, IDM_OPTWRAP, 1);
        break;
    case IDM_OPTHARDBREAK:
        SwitchForcedBreaks(document);
        break;
    case IDM_OPTOEMCONVERT:
        SwitchOemForm();
        break;
    case IDM_OPTFONT:
        ChooseDocumentFont(frame);
        break;
    case IDM_WINTILEVERT:
        SendMessageA(AppState.mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
        break;
    case IDM_WINTILEHORZ:
        SendMessageA(AppState.mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
        break;
    case IDM_WINCASCADE:
        SendMessageA(AppState.mdiClient, WM_MDICASCADE, 0, 0);
        break;
    case IDM_WINCLOSEALL:
        CloseAllCommand();
        break;
    case IDM_WINARRANGE:
        SendMessageA(AppState.mdiClient, WM_MDIICONARRANGE, 0, 0);
        break;
    case IDM_HELPABOUT:
        RunAboutDialog(frame);
        break;
    default:
        DefFrameProcA(frame, AppState.mdiClient, WM_COMMAND, command, lParam);
        break;
    }
}

void HandleDroppedFiles(HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The platform may count a name of a wide drop in characters: two
        // bytes each is room for it in Shift-JIS, and a name that still does
        // not fit whole is not opened cut.
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0) {
            continue;
        }
        std::vector<char> buffer(2 * static_cast<std::size_t>(length) + 2, '\0');
        DragQueryFileA(drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
        std::string name;
        if (!ReadAnsiAnswer(buffer.data(), buffer.size(), name) || name.empty()) {
            continue;
        }
        OpenOrBringForward(name.data());
    }
    DragFinish(drop);
    if (IsIconic(AppState.frameWindow)) {
        OpenIcon(AppState.frameWindow);
    }
}

int QueryCloseAll()
{
    for (HWND document : DocumentWindowsTopDown()) {
        if (SendMessageA(document, WM_QUERYENDSESSION, 0, 0) != 0) {
            return 0;
        }
    }
    return 1;
}

void DestroyAllDocuments()
{
    ShowWindow(AppState.mdiClient, SW_HIDE);
    for (std::vector<HWND> left = DocumentWindowsTopDown(); !left.empty(); left = DocumentWindowsTopDown()) {
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(left.front()), 0);
    }
}

HWND MakeDocumentWindow(const std::string& title)
{
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = kDocumentClassName;
    mcs.szTitle = title.c_str();
    mcs.hOwner = AppState.instance;
    mcs.x = CW_USEDEFAULT;
    mcs.y = CW_USEDEFAULT;
    mcs.cx = CW_USEDEFAULT;
    mcs.cy = CW_USEDEFAULT;
    mcs.style = AppState.childStyle;
    mcs.lParam = 0;
    HWND document = reinterpret_cast<HWND>(
        SendMessageA(AppState.mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    HideClientScrollBarsBehind(document);
    return document;
}

HWND CreateDocumentWindow(char* name)
{
    std::string title;
    std::string given;
    if (name != nullptr) {
        given = name;
        CharUpperA(name);
        title = name;
    } else {
        char stem[160] = "";
        LoadStringA(AppState.instance, 17, stem, sizeof stem);
        ++AppState.untitledCounter;
        title = std::string(stem) + std::to_string(AppState.untitledCounter);
    }
    HWND document = MakeDocumentWindow(title);
    if (name != nullptr && document != nullptr) {
        SetDocumentPath(document, given);
        if (LoadFile(document, name, LoadMode::NewDocument) == 0) {
            SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
            return nullptr;
        }
    }
    return document;
}

void OpenOrBringForward(char* name)
{
    std::string searched(name);
    HWND existing = FindDocumentWindow(searched.data());
    if (existing != nullptr) {
        BringWindowToTop(existing);
    } else {
        CreateDocumentWindow(name);
    }
}

void OpenFileCommand()
{
    char name[kFileNameBufferSize] = "";
    RunOpenDialog(name, sizeof name);
    if (name[0] == '\0') {
        return;
    }
    OpenOrBringForward(name);
}
