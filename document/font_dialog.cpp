#include "document/font_dialog.h"

#include "document/document_data.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/current_log_font.h"
#include "text/font_names.h"
#include "text/gdi_text.h"

#include <commdlg.h>
#include <dlgs.h>

#include <string>
#include <vector>

namespace {

// The text of a list entry, read into a buffer of its own length.
std::string EntryText(HWND list, int index)
{
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0) {
        return std::string();
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return got == CB_ERR ? std::string() : std::string(text.data());
}

void RemoveVerticalFaces(HWND dialog)
{
    HWND list = GetDlgItem(dialog, cmb1);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string remembered = selected == CB_ERR ? std::string() : EntryText(list, static_cast<int>(selected));

    bool removed = false;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count;) {
        if (IsVerticalFace(EntryText(list, static_cast<int>(i)).c_str())) {
            SendMessageA(list, CB_DELETESTRING, i, 0);
            count = SendMessageA(list, CB_GETCOUNT, 0, 0);
            removed = true;
        } else {
            ++i;
        }
    }
    if (!removed) {
        return;
    }
    LRESULT index = CB_ERR;
    if (!remembered.empty() && !IsVerticalFace(remembered.c_str())) {
        index = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remembered.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The dialog fills its style and size lists, and its answer, from the
    // face selected; it learns of a change only through the notification.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceOffersCharset(HDC dc, const char* face, BYTE charset)
{
    LOGFONTA narrow = {};
    narrow.lfCharSet = charset;
    lstrcpynA(narrow.lfFaceName, face, LF_FACESIZE);
    LOGFONTW wanted = WideLogFont(narrow);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

bool FaceOffersShiftJis(const char* face, HDC printer)
{
    HDC screen = GetDC(nullptr);
    bool found = screen != nullptr && FaceOffersCharset(screen, face, SHIFTJIS_CHARSET);
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    if (!found && printer != nullptr) {
        found = FaceOffersCharset(printer, face, SHIFTJIS_CHARSET);
    }
    return found;
}

}  // namespace

UINT_PTR CALLBACK FontDialogHook(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RemoveVerticalFaces(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

int UseChosenFont(HWND document, HWND edit, LOGFONTA chosen, HDC printer)
{
    TidyFaceName(chosen.lfFaceName, sizeof chosen.lfFaceName);
    chosen.lfEscapement = 0;
    chosen.lfOrientation = 0;
    chosen.lfCharSet = DocumentCharset(chosen.lfCharSet, FaceOffersShiftJis(chosen.lfFaceName, printer));
    HFONT font = CreateFont932(chosen);
    if (font == nullptr) {
        return 0;
    }
    CurrentLogFont = chosen;
    HFONT previous = reinterpret_cast<HFONT>(GetDocumentData(document, DocumentWindow::font));
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SetDocumentData(document, DocumentWindow::font, reinterpret_cast<LONG_PTR>(font));
    // The stock default is shared by every new document.
    if (previous != nullptr && previous != AppState.defaultFont) {
        DeleteObject(previous);
    }
    return 1;
}

void ChooseDocumentFont(HWND owner)
{
    // The default printer lists its own fonts; the lookup also refreshes
    // whether a printer is available.
    HDC printer = CreatePrinterContext(true);
    // The dialog works on a copy, so that a cancelled dialog leaves the
    // starting values as they were.
    LOGFONTA chosen = CurrentLogFont;
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.hDC = printer;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT | CF_NOVECTORFONTS |
               CF_NOVERTFONTS | (printer != nullptr ? CF_PRINTERFONTS : 0);
    cf.lpfnHook = FontDialogHook;
    cf.lpTemplateName = MAKEINTRESOURCEA(IDD_FONTDLG);
    cf.hInstance = AppState.instance;
    if (ChooseFontA(&cf)) {
        UseChosenFont(AppState.activeDocument, AppState.activeEdit, chosen, printer);
    }
    if (printer != nullptr) {
        DeleteDC(printer);
    }
}
