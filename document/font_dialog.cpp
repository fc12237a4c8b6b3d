#include "document/font_dialog.h"

#include "document/document_data.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/current_log_font.h"
#include "text/font_names.h"
#include "text/gdi_text.h"
#include "text/shift_jis_font.h"

#include <commdlg.h>
#include <dlgs.h>

#include <set>
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

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces)
{
    reinterpret_cast<std::set<std::string>*>(faces)->insert(NarrowTo932(font->lfFaceName, LF_FACESIZE));
    return 1;
}

void AddShiftJisFaces(HDC dc, std::set<std::string>& faces)
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&faces), 0);
}

// The faces, of the screen and of the printer when there is one, that have
// the Shift-JIS character set.
std::set<std::string> ShiftJisFaces(HDC printer)
{
    std::set<std::string> faces;
    HDC screen = GetDC(nullptr);
    if (screen != nullptr) {
        AddShiftJisFaces(screen, faces);
        ReleaseDC(nullptr, screen);
    }
    if (printer != nullptr) {
        AddShiftJisFaces(printer, faces);
    }
    return faces;
}

// Takes out the vertical-writing faces and those without Shift-JIS, which
// would read the whole document by another code page. The dialog offers
// only Shift-JIS faces where it honours CF_SELECTSCRIPT; Wine's does not.
void RemoveFacesNotShown(HWND dialog, HDC printer)
{
    const std::set<std::string> japanese = ShiftJisFaces(printer);
    const auto shown = [&japanese](const std::string& face) {
        return !IsVerticalFace(face.c_str()) && japanese.count(face) != 0;
    };
    HWND list = GetDlgItem(dialog, cmb1);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string remembered = selected == CB_ERR ? std::string() : EntryText(list, static_cast<int>(selected));

    bool removed = false;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count;) {
        if (!shown(EntryText(list, static_cast<int>(i)))) {
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
    // A face without Shift-JIS gives way to the first face left; a vertical
    // one leaves nothing selected.
    LRESULT index = CB_ERR;
    if (!remembered.empty() && shown(remembered)) {
        index = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remembered.c_str()));
    } else if (!remembered.empty() && !IsVerticalFace(remembered.c_str())) {
        index = 0;
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The dialog fills its style and size lists, and its answer, from the
    // face selected; it learns of a change only through the notification.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

}  // namespace

UINT_PTR CALLBACK FontDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        ShowDialogInShiftJis(dialog);
        const auto* request = reinterpret_cast<const CHOOSEFONTA*>(lParam);
        const bool printer = request != nullptr && (request->Flags & CF_PRINTERFONTS) != 0;
        RemoveFacesNotShown(dialog, printer ? request->hDC : nullptr);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

int UseChosenFont(HWND document, HWND edit, LOGFONTA chosen)
{
    TidyFaceName(chosen.lfFaceName, sizeof chosen.lfFaceName);
    chosen.lfEscapement = 0;
    chosen.lfOrientation = 0;
    // The control reads the whole text by the code page of its font's
    // character set; a face without Shift-JIS gives way to one with it.
    chosen.lfCharSet = SHIFTJIS_CHARSET;
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
    chosen.lfCharSet = SHIFTJIS_CHARSET;
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.hDC = printer;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT | CF_NOVECTORFONTS |
               CF_NOVERTFONTS | CF_SELECTSCRIPT | (printer != nullptr ? CF_PRINTERFONTS : 0);
    cf.lpfnHook = FontDialogHook;
    cf.lpTemplateName = MAKEINTRESOURCEA(IDD_FONTDLG);
    cf.hInstance = AppState.instance;
    if (ChooseFontA(&cf)) {
        UseChosenFont(AppState.activeDocument, AppState.activeEdit, chosen);
    }
    if (printer != nullptr) {
        DeleteDC(printer);
    }
}
