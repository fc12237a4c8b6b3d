// Every font that shows the program's text reads it as Shift-JIS: the
// system's own where its code page is 932, else one the program makes. The
// suite runs again under LANG=C.UTF-8, on code page 1252.

#include "document/document_data.h"
#include "document/goto_line_dialog.h"
#include "msg/message_box.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"
#include "text/shift_jis_font.h"

#include <string>
#include <vector>

namespace {

using ShiftJisFonts = FrameTest;

struct Shown {
    std::string where;
    int charset;
    bool systemsOwn;
};

Shown ShownIn(const char* where, HDC dc, HGDIOBJ font, HGDIOBJ systemsOwn)
{
    HGDIOBJ previous = SelectObject(dc, font);
    const Shown shown{where, GetTextCharset(dc), font == systemsOwn};
    SelectObject(dc, previous);
    return shown;
}

HGDIOBJ FontOf(HWND window)
{
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
    return font != nullptr ? font : GetStockObject(SYSTEM_FONT);
}

TEST_F(ShiftJisFonts, EveryFontShowingTheTextIsShiftJisAndTheSystemsOwnWhereThatIs)
{
    std::vector<Shown> shown;
    HDC screen = GetDC(nullptr);
    shown.push_back(ShownIn("new document", screen, FontOf(DocumentEdit(AppState.activeDocument)),
                            GetStockObject(SYSTEM_FIXED_FONT)));
    ReleaseDC(nullptr, screen);
    HDC printer = CreatePrinterContext(true);
    ASSERT_NE(printer, nullptr) << "no default printer to print headers on";
    {
        const HeaderFont header(printer);
        shown.push_back(ShownIn("page header", printer, GetCurrentObject(printer, OBJ_FONT),
                                GetStockObject(DEVICE_DEFAULT_FONT)));
    }
    DeleteDC(printer);
    // A dialog's first control, against the font of the dialog's template.
    DialogAnswers answers;
    for (const char* where : {"go-to-line dialog", "message box", "font dialog"}) {
        answers.Then([where, &shown](HWND dialog) {
            HDC dc = GetDC(dialog);
            shown.push_back(ShownIn(where, dc, FontOf(GetWindow(dialog, GW_CHILD)), FontOf(dialog)));
            ReleaseDC(dialog, dc);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    }
    RunGoToLineDialog(frame());
    JpMessageBox(frame(), "\x95\x5c\x8e\xa6", nullptr, MB_OK);
    Command(IDM_OPTFONT);

    ASSERT_EQ(shown.size(), 5u);
    for (const Shown& font : shown) {
        EXPECT_EQ(font.charset, SHIFTJIS_CHARSET) << font.where;
        EXPECT_EQ(font.systemsOwn, SystemCodePage() == 932) << font.where << " on code page " << SystemCodePage();
    }
}

}  // namespace
