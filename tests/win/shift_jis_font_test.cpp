// Every font that shows the program's text reads it as Shift-JIS. Where the
// system's code page is 932 the system's own fonts do, and are kept as they
// are; this suite runs again under LANG=C.UTF-8 (code page 1252), where the
// program makes fonts of its own.

#include "document/document_data.h"
#include "document/goto_line_dialog.h"
#include "msg/message_box.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"
#include "text/shift_jis_font.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using ShiftJisFonts = FrameTest;

struct ShownFont {
    std::string where;
    int charset;
    bool systemsOwn;
};

int CharsetIn(HDC dc, HGDIOBJ font)
{
    HGDIOBJ previous = SelectObject(dc, font);
    const int charset = GetTextCharset(dc);
    SelectObject(dc, previous);
    return charset;
}

HGDIOBJ FontOf(HWND window)
{
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
    return font != nullptr ? font : GetStockObject(SYSTEM_FONT);
}

// A dialog's first control, against the font of the dialog's template.
DialogAnswers::Action NoteDialog(const char* where, std::vector<ShownFont>& shown)
{
    return [where, &shown](HWND dialog) {
        HGDIOBJ font = FontOf(GetWindow(dialog, GW_CHILD));
        HDC dc = GetDC(dialog);
        shown.push_back({where, CharsetIn(dc, font), font == FontOf(dialog)});
        ReleaseDC(dialog, dc);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
}

TEST_F(ShiftJisFonts, EveryFontShowingTheTextIsShiftJisAndTheSystemsOwnWhereThatIs)
{
    std::vector<ShownFont> shown;
    HDC screen = GetDC(nullptr);
    HGDIOBJ documentFont = FontOf(DocumentEdit(AppState.activeDocument));
    shown.push_back({"new document", CharsetIn(screen, documentFont),
                     documentFont == GetStockObject(SYSTEM_FIXED_FONT)});
    ReleaseDC(nullptr, screen);

    HDC printer = CreatePrinterContext(true);
    ASSERT_NE(printer, nullptr) << "no default printer to print headers on";
    {
        const HeaderFont header(printer);
        shown.push_back({"page header", GetTextCharset(printer),
                         GetCurrentObject(printer, OBJ_FONT) == GetStockObject(DEVICE_DEFAULT_FONT)});
    }
    DeleteDC(printer);

    DialogAnswers answers;
    answers.Then(NoteDialog("go-to-line dialog", shown));
    RunGoToLineDialog(frame());
    answers.Then(NoteDialog("message box", shown));
    JpMessageBox(frame(), "\x95\x5c\x8e\xa6", nullptr, MB_OK);
    answers.Then(NoteDialog("font dialog", shown));
    Command(IDM_OPTFONT);

    ASSERT_EQ(shown.size(), 5u);
    const bool kept = SystemCodePage() == 932;
    for (const ShownFont& font : shown) {
        EXPECT_EQ(font.charset, SHIFTJIS_CHARSET) << font.where;
        EXPECT_EQ(font.systemsOwn, kept) << font.where << " on code page " << SystemCodePage();
    }
}

}  // namespace
