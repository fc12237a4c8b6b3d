#include "document/wrap_mode.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "state/app_state.h"

#include <string>

namespace {

constexpr char kNoMemoryForSwitch[] =
    "<文字列の折り返し> メモリ不足のため、折り返しモードを変更できません！";

// Made hidden: it is shown once it holds the text. The title is only its
// first text, thrown away once it has taken the document's text.
HWND CreateEditControl(HWND document, int wrap)
{
    const std::string title = WindowTitle(document);
    return CreateWindowExA(0, "edit", title.c_str(), EditStyleForMode(wrap), 0, 0, 0, 0, document,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDIT)), AppState.instance, nullptr);
}

// Moves the text to the new control. Where the block is the text, the block
// itself moves, and the old control gets an empty one of its own so that
// destroying it cannot free the text; if the new control refuses the block,
// the old one keeps it.
bool MoveText(HWND from, HWND to)
{
    if (!AppState.editBlockIsItsText) {
        // In the form the control holds it, so that a character code page
        // 932 lacks moves as itself.
        std::wstring text;
        return ShownTextOf(from, text) && SetShownText(to, text);
    }
    HLOCAL placeholder = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 1);
    if (placeholder == nullptr) {
        return false;
    }
    HLOCAL text = reinterpret_cast<HLOCAL>(SendMessageA(from, EM_GETHANDLE, 0, 0));
    if (text == nullptr || !GiveTextBlock(to, text)) {
        LocalFree(placeholder);
        return false;
    }
    SendMessageA(from, EM_SETHANDLE, reinterpret_cast<WPARAM>(placeholder), 0);
    return true;
}

// Forced breaks on or off in one of the document's controls, only while the
// document has them on: turning them off takes out every CR CR LF of the
// text, those a file held of its own as well.
void ApplyForcedBreaks(HWND document, HWND edit, BOOL on)
{
    if (GetDocumentData(document, DocumentWindow::forcedBreaks) != 0) {
        SendMessageA(edit, EM_FMTLINES, on, 0);
    }
}

int ReportSwitchFailure(HWND document, HWND created)
{
    if (created != nullptr) {
        DestroyWindow(created);
    }
    JpMessageBox(document, kNoMemoryForSwitch, nullptr, MB_ICONHAND);
    return 0;
}

}  // namespace

int SetWrapMode(HWND document, int wrap)
{
    HWND old = DocumentEdit(document);
    HWND created = CreateEditControl(document, wrap);
    if (created == nullptr) {
        return ReportSwitchFailure(document, nullptr);
    }
    // Soft breaks belong to the old width; they must not travel with the text.
    ApplyForcedBreaks(document, old, FALSE);

    // Size and font first, while the control holds only its title: each of
    // them lays the whole text out again.
    FitToClientArea(document, created, FALSE);
    HFONT font = reinterpret_cast<HFONT>(GetDocumentData(document, DocumentWindow::font));
    SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(created, EM_LIMITTEXT, 0, 0);

    if (!MoveText(old, created)) {
        ApplyForcedBreaks(document, old, TRUE);
        return ReportSwitchFailure(document, created);
    }
    SetDocumentData(document, DocumentWindow::edit, reinterpret_cast<LONG_PTR>(created));
    if (AppState.activeDocument == document) {
        AppState.activeEdit = created;
    }
    DestroyWindow(old);
    SetDocumentData(document, DocumentWindow::wrap, wrap != 0 ? 1 : 0);

    ApplyForcedBreaks(document, created, TRUE);
    ShowWindow(created, SW_SHOW);
    SetFocus(created);
    return 1;
}

void SwitchForcedBreaks(HWND document)
{
    HWND edit = DocumentEdit(document);
    const BOOL setting = GetDocumentData(document, DocumentWindow::forcedBreaks) == 0;
    const LRESULT answer = SendMessageA(edit, EM_FMTLINES, setting, 0);
    SetDocumentData(document, DocumentWindow::forcedBreaks, answer != 0 ? 1 : 0);
    UpdateWindow(edit);
}
