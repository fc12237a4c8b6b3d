#include "document/document_window.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "document/recovery.h"
#include "document/wrap_mode.h"
#include "file/save_as_dialog.h"
#include "file/save_document.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/sjis.h"

#include <string>

namespace {

// The question before closing shows at most this many bytes of the title.
constexpr std::size_t kQuestionTitleBytes = 63;

LRESULT CreateDocument(HWND document)
{
    HWND edit = CreateWindowExA(0, "edit", nullptr, EditStyleForMode(1) | WS_VISIBLE, 0, 0, 0, 0, document,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)), AppState.instance,
                                nullptr);
    SetDocumentData(document, DocumentWindow::edit, reinterpret_cast<LONG_PTR>(edit));
    SetDocumentData(document, DocumentWindow::changed, 0);
    SetDocumentData(document, DocumentWindow::oemConverted, 0);
    SetDocumentData(document, DocumentWindow::forcedBreaks, 0);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(AppState.defaultFont), FALSE);
    SetDocumentData(document, DocumentWindow::font, reinterpret_cast<LONG_PTR>(AppState.defaultFont));
    SetDocumentData(document, DocumentWindow::wrap, 1);
    SetDocumentData(document, DocumentWindow::untitled, 1);
    SetFocus(edit);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    return 0;
}

void TrackActivation(HWND document, HWND activated)
{
    if (activated == document) {
        AppState.activeDocument = document;
        AppState.activeEdit = DocumentEdit(document);
    } else {
        AppState.activeDocument = nullptr;
        AppState.activeEdit = nullptr;
    }
}

// Answers 1 when nothing was saved (the name was refused or writing
// failed), so that a pending close stops and the text stays.
LRESULT SaveCommand(HWND document)
{
    if (GetDocumentData(document, DocumentWindow::untitled) != 0) {
        return SaveUnderNewName(document);
    }
    if (!SaveDocument(document)) {
        return 1;
    }
    SetDocumentData(document, DocumentWindow::changed, 0);
    NoteDocumentSaved(document);
    return 0;
}

LRESULT EditNotification(HWND document, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
        NoteDocumentChanged(document);
        return 0;
    case EN_ERRSPACE:
        MessageBeep(0);
        return 0;
    default:
        return DefMDIChildProcA(document, message, wParam, lParam);
    }
}

LRESULT DocumentCommand(HWND document, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_FILESAVE:
        return SaveCommand(document);
    case IDC_EDIT:
        return EditNotification(document, message, wParam, lParam);
    case IDM_OPTWRAP:
        if (lParam != 0) {
            SetWrapMode(document, GetDocumentData(document, DocumentWindow::wrap) == 0 ? 1 : 0);
        }
        return 0;
    default:
        return DefMDIChildProcA(document, message, wParam, lParam);
    }
}

// A font chosen for this document goes with it; the shared default stays.
void ReleaseDocumentFont(HWND document)
{
    HFONT font = reinterpret_cast<HFONT>(GetDocumentData(document, DocumentWindow::font));
    if (font != nullptr && font != AppState.defaultFont) {
        DeleteObject(font);
    }
    SetDocumentData(document, DocumentWindow::font, 0);
}

// The edit control goes with the window, after it; a text block the program
// has borrowed from it would stay behind.
void ReleaseDocumentText(HWND document)
{
    if (AppState.editBlockIsItsText) {
        ReleaseTextBlock(DocumentEdit(document));
    }
}

}  // namespace

LRESULT CALLBACK DocumentWndProc(HWND document, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateDocument(document);
    case WM_SIZE:
        FitToClientArea(document, DocumentEdit(document), TRUE);
        return DefMDIChildProcA(document, message, wParam, lParam);
    case WM_SETFOCUS:
        SetFocus(DocumentEdit(document));
        return 0;
    case WM_MDIACTIVATE:
        TrackActivation(document, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CLOSE:
        if (QuerySaveDocument(document) == 1) {
            return DefMDIChildProcA(document, message, wParam, lParam);
        }
        return 0;
    case WM_QUERYENDSESSION:
        return QuerySaveDocument(document) == 0 ? 1 : 0;
    case WM_COMMAND:
        return DocumentCommand(document, message, wParam, lParam);
    case WM_DESTROY:
        ReleaseDocumentText(document);
        ReleaseDocumentFont(document);
        NoteDocumentClosed(document);
        ForgetDocumentFile(document);
        return DefMDIChildProcA(document, message, wParam, lParam);
    default:
        return DefMDIChildProcA(document, message, wParam, lParam);
    }
}

int QuerySaveDocument(HWND document)
{
    if (LOWORD(GetDocumentData(document, DocumentWindow::changed)) == 0) {
        return 1;
    }
    std::string title = WindowTitle(document);
    title.resize(CutOnCharBoundary(title.c_str(), kQuestionTitleBytes));
    switch (ReportError(document, MB_YESNOCANCEL | MB_ICONQUESTION, 7, title.c_str())) {
    case IDYES:
        return SendMessageA(document, WM_COMMAND, IDM_FILESAVE, 0) == 1 ? 0 : 1;
    case IDNO:
        return 1;
    default:
        return 0;
    }
}
