// The typeface of a document through the font dialog, and the conversion of
// its text to the OEM character set and back.

#include "app/app_state.h"
#include "document/document_window.h"
#include "res/resource.h"
#include "tests/win/edit_probes.h"
#include "tests/win/harness.h"
#include "text/current_log_font.h"
#include "text/font_dialog.h"
#include "text/oem_conversion.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using FontDialog = FrameTest;
using DocumentFont = FrameTest;
using OemConversion = FrameTest;

HFONT FontSlot(HWND document)
{
    return reinterpret_cast<HFONT>(GetDocumentData(document, DocumentWindow::font));
}

HFONT ShownFont(HWND document)
{
    return reinterpret_cast<HFONT>(SendMessageA(DocumentEdit(document), WM_GETFONT, 0, 0));
}

bool IsFont(HFONT font)
{
    return GetObjectType(font) == OBJ_FONT;
}

LOGFONTA LogFontOf(HFONT font)
{
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

int CALLBACK CollectFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM faces)
{
    reinterpret_cast<std::set<std::string>*>(faces)->insert(lf->lfFaceName);
    return 1;
}

// The faces of the screen that offer a character set.
std::set<std::string> FacesWithCharset(BYTE charset)
{
    std::set<std::string> faces;
    HDC screen = GetDC(nullptr);
    LOGFONTA wanted = {};
    wanted.lfCharSet = charset;
    EnumFontFamiliesExA(screen, &wanted, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, screen);
    return faces;
}

// A plain face that offers Shift-JIS and one that does not.
std::string JapaneseFace()
{
    for (const std::string& face : FacesWithCharset(SHIFTJIS_CHARSET)) {
        if (face[0] != '@') {
            return face;
        }
    }
    return std::string();
}

std::string WesternOnlyFace()
{
    const std::set<std::string> japanese = FacesWithCharset(SHIFTJIS_CHARSET);
    for (const std::string& face : FacesWithCharset(ANSI_CHARSET)) {
        if (face[0] != '@' && japanese.count(face) == 0) {
            return face;
        }
    }
    return std::string();
}

bool HasVerticalFaces()
{
    const std::set<std::string> faces = FacesWithCharset(DEFAULT_CHARSET);
    return std::any_of(faces.begin(), faces.end(), [](const std::string& f) { return f[0] == '@'; });
}

LOGFONTA Chosen(const std::string& face, BYTE charset = ANSI_CHARSET)
{
    LOGFONTA lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charset;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return lf;
}

// What the font dialog showed when it was answered.
struct FaceListView {
    std::string caption;
    std::vector<std::string> faces;
    std::string selected;  // empty when no face is selected
};

std::string EntryOf(HWND list, LRESULT index)
{
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.c_str());
}

FaceListView ViewOf(HWND dialog)
{
    FaceListView view;
    view.caption = TitleOf(dialog);
    HWND list = GetDlgItem(dialog, cmb1);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        view.faces.push_back(EntryOf(list, i));
    }
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        view.selected = EntryOf(list, selected);
    }
    return view;
}

// Selects a face as a click in the list does.
void SelectFace(HWND dialog, const std::string& face)
{
    HWND list = GetDlgItem(dialog, cmb1);
    const LRESULT index =
        SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face.c_str()));
    ASSERT_NE(index, CB_ERR) << face;
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool BeginsWithAtSign(const std::string& face)
{
    return !face.empty() && face[0] == '@';
}

TEST_F(FontDialog, FaceListHoldsNoVerticalFaceAndTheAnswerNeverBeginsWithAtSign)
{
    const std::string japanese = JapaneseFace();
    ASSERT_FALSE(japanese.empty()) << "the tests need a font with Shift-JIS";
    CurrentLogFont = LOGFONTA{};
    HWND first = AppState.activeDocument;
    std::vector<FaceListView> views;
    {
        DialogAnswers answers;
        // First use: the dialog opens on its own choice; OK takes it.
        answers.Then([&](HWND dialog) {
            views.push_back(ViewOf(dialog));
            PressButton(dialog, IDOK);
        });
        Command(IDM_OPTFONT);
        ASSERT_EQ(views.size(), 1u);
    }
    EXPECT_EQ(views[0].caption, "文字書体の指定");
    EXPECT_FALSE(views[0].faces.empty());
    EXPECT_TRUE(std::none_of(views[0].faces.begin(), views[0].faces.end(), BeginsWithAtSign));
    EXPECT_FALSE(BeginsWithAtSign(CurrentLogFont.lfFaceName));
    EXPECT_NE(CurrentLogFont.lfFaceName[0], '\0');
    HFONT firstFont = FontSlot(first);
    EXPECT_NE(firstFont, AppState.defaultFont);
    EXPECT_EQ(ShownFont(first), firstFont);
    EXPECT_FALSE(BeginsWithAtSign(LogFontOf(firstFont).lfFaceName));

    // Another document's dialog starts where the last one ended.
    const std::string firstFace = CurrentLogFont.lfFaceName;
    Command(IDM_FILENEW);
    HWND second = AppState.activeDocument;
    {
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            views.push_back(ViewOf(dialog));
            SelectFace(dialog, japanese);
            PressButton(dialog, IDOK);
        });
        Command(IDM_OPTFONT);
        ASSERT_EQ(views.size(), 2u);
    }
    EXPECT_EQ(views[1].selected, firstFace);
    EXPECT_EQ(std::string(CurrentLogFont.lfFaceName), japanese);
    EXPECT_EQ(CurrentLogFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(LogFontOf(FontSlot(second)).lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(FontSlot(first), firstFont);
    EXPECT_TRUE(IsFont(firstFont));
}

TEST_F(FontDialog, CancelLeavesStartingValuesAndFontAsTheyWere)
{
    const std::string japanese = JapaneseFace();
    const std::string western = WesternOnlyFace();
    ASSERT_FALSE(japanese.empty());
    ASSERT_FALSE(western.empty());
    CurrentLogFont = Chosen(japanese, SHIFTJIS_CHARSET);
    const LOGFONTA before = CurrentLogFont;
    HWND document = AppState.activeDocument;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        SelectFace(dialog, western);
        PressButton(dialog, IDCANCEL);
    });
    Command(IDM_OPTFONT);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(std::memcmp(&CurrentLogFont, &before, sizeof before), 0);
    EXPECT_EQ(FontSlot(document), AppState.defaultFont);
    EXPECT_EQ(ShownFont(document), AppState.defaultFont);
}

// The hook on its own, in a dialog that lists the vertical faces as well.
TEST_F(FontDialog, HookTakesVerticalFacesOutAndKeepsAPlainSelection)
{
    if (!HasVerticalFaces()) {
        GTEST_SKIP() << "this system offers no vertical-writing faces to take out";
    }
    const std::string japanese = JapaneseFace();
    struct Case {
        std::string start;
        std::string selected;
    };
    const Case cases[] = {
        {japanese, japanese},
        {"@" + japanese, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        LOGFONTA lf = Chosen(c.start, SHIFTJIS_CHARSET);
        CHOOSEFONTA cf = {};
        cf.lStructSize = sizeof cf;
        cf.hwndOwner = frame();
        cf.lpLogFont = &lf;
        cf.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT;
        cf.lpfnHook = FontDialogHook;
        cf.lpTemplateName = MAKEINTRESOURCEA(IDD_FONTDLG);
        cf.hInstance = AppState.instance;
        FaceListView view;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            view = ViewOf(dialog);
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_FALSE(ChooseFontA(&cf));
        EXPECT_TRUE(std::none_of(view.faces.begin(), view.faces.end(), BeginsWithAtSign));
        EXPECT_NE(std::find(view.faces.begin(), view.faces.end(), japanese), view.faces.end());
        EXPECT_EQ(view.selected, c.selected);
    }
}

TEST_F(DocumentFont, ChosenFontIsTidiedAndReplacesTheOldOneButNeverTheDefault)
{
    const std::string japanese = JapaneseFace();
    const std::string western = WesternOnlyFace();
    ASSERT_FALSE(western.empty());
    HWND other = AppState.activeDocument;
    Command(IDM_FILENEW);
    HWND document = AppState.activeDocument;
    struct Case {
        LOGFONTA chosen;
        std::string face;
        BYTE charset;
    };
    LOGFONTA slanted = Chosen(western);
    slanted.lfEscapement = 900;
    slanted.lfOrientation = 900;
    const Case cases[] = {
        {Chosen(japanese), japanese, SHIFTJIS_CHARSET},
        {Chosen("@" + japanese), japanese, SHIFTJIS_CHARSET},
        {slanted, western, ANSI_CHARSET},
    };
    HFONT previous = AppState.defaultFont;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.lfFaceName);
        ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), c.chosen, nullptr), 1);
        HFONT font = FontSlot(document);
        EXPECT_EQ(ShownFont(document), font);
        EXPECT_EQ(std::string(CurrentLogFont.lfFaceName), c.face);
        EXPECT_EQ(CurrentLogFont.lfCharSet, c.charset);
        EXPECT_EQ(CurrentLogFont.lfEscapement, 0);
        EXPECT_EQ(CurrentLogFont.lfOrientation, 0);
        EXPECT_EQ(std::string(LogFontOf(font).lfFaceName), c.face);
        if (previous == AppState.defaultFont) {
            EXPECT_TRUE(IsFont(previous));
        } else {
            EXPECT_FALSE(IsFont(previous)) << "the replaced font is deleted";
        }
        previous = font;
    }
    EXPECT_EQ(FontSlot(other), AppState.defaultFont);
    EXPECT_EQ(ShownFont(other), AppState.defaultFont);
}

TEST_F(DocumentFont, ChosenFontSurvivesWrapSwitches)
{
    HWND document = AppState.activeDocument;
    ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace()), nullptr), 1);
    HFONT font = FontSlot(document);
    for (int i = 0; i < 2; ++i) {
        Command(IDM_OPTWRAP);
        EXPECT_EQ(FontSlot(document), font);
        EXPECT_EQ(ShownFont(document), font);
        EXPECT_TRUE(IsFont(font));
    }
}

TEST_F(DocumentFont, ClosingADocumentDeletesItsOwnFontOnly)
{
    HWND plain = AppState.activeDocument;
    Command(IDM_FILENEW);
    HWND chosen = AppState.activeDocument;
    ASSERT_EQ(UseChosenFont(chosen, DocumentEdit(chosen), Chosen(JapaneseFace()), nullptr), 1);
    HFONT font = FontSlot(chosen);
    SendMessageA(chosen, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(chosen));
    EXPECT_FALSE(IsFont(font));
    SendMessageA(plain, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(DocumentWindows().empty());
    EXPECT_TRUE(IsFont(AppState.defaultFont));
}

TEST_F(DocumentFont, GdiObjectsReturnToTheirCountAfterADocumentCloses)
{
    SetLastError(0);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        GTEST_SKIP() << "Wine's GetGuiResources is a stub that counts nothing";
    }
    Command(IDM_FILENEW);
    HWND document = AppState.activeDocument;
    for (const std::string& face : {JapaneseFace(), WesternOnlyFace()}) {
        ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), Chosen(face), nullptr), 1);
    }
    Command(IDM_OPTWRAP);
    SendMessageA(document, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

// Takes every font handle the process may have while it lives.
class FontHandlesUsedUp {
public:
    FontHandlesUsedUp()
    {
        LOGFONTA lf = Chosen("System");
        for (int i = 0; i < kMost; ++i) {
            HFONT font = CreateFontIndirectA(&lf);
            if (font == nullptr) {
                exhausted_ = true;
                break;
            }
            fonts_.push_back(font);
        }
    }
    ~FontHandlesUsedUp()
    {
        for (HFONT font : fonts_) {
            DeleteObject(font);
        }
    }
    FontHandlesUsedUp(const FontHandlesUsedUp&) = delete;
    FontHandlesUsedUp& operator=(const FontHandlesUsedUp&) = delete;
    bool Exhausted() const { return exhausted_; }

private:
    static constexpr int kMost = 200000;
    std::vector<HFONT> fonts_;
    bool exhausted_ = false;
};

TEST_F(DocumentFont, AFontThatCannotBeMadeChangesNothing)
{
    HWND document = AppState.activeDocument;
    ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace()), nullptr), 1);
    HFONT font = FontSlot(document);
    const LOGFONTA before = CurrentLogFont;
    int result = -1;
    bool exhausted = false;
    {
        FontHandlesUsedUp used;
        exhausted = used.Exhausted();
        if (exhausted) {
            result = UseChosenFont(document, DocumentEdit(document), Chosen(WesternOnlyFace()), nullptr);
        }
    }
    if (!exhausted) {
        GTEST_SKIP() << "font handles did not run out";
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FontSlot(document), font);
    EXPECT_EQ(ShownFont(document), font);
    EXPECT_TRUE(IsFont(font));
    EXPECT_EQ(std::memcmp(&CurrentLogFont, &before, sizeof before), 0);
}

// 表示 with a code that the NEC-selected IBM extensions hold twice (0xED40)
// and one that code page 932 leaves undefined (0x8540).
const char kOemSample[] = "\x95\x5c\x8e\xa6 abc\r\n\xED\x40\x85\x40\r\nend";

TEST_F(OemConversion, OnAndOffRestoresTheTextAndTheFont)
{
    HFONT oemFont = static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
    struct Case {
        const char* name;
        std::string text;
        bool ownFont;
        LONG_PTR changed;
    };
    const Case cases[] = {
        {"default font", kOemSample, false, 0},
        {"chosen font, changed", kOemSample, true, 1},
        {"empty text", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Command(IDM_FILENEW);
        HWND document = AppState.activeDocument;
        GiveText(DocumentEdit(document), c.text);
        if (c.ownFont) {
            ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace()), nullptr), 1);
        }
        SetDocumentData(document, DocumentWindow::changed, c.changed);
        const std::string before = ControlText(DocumentEdit(document));
        const std::string title = TitleOf(document);
        HFONT own = FontSlot(document);

        Command(IDM_OPTOEMCONVERT);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), 1);
        EXPECT_TRUE((MenuState(IDM_OPTOEMCONVERT) & MF_CHECKED) != 0);
        EXPECT_EQ(ShownFont(document), oemFont);
        EXPECT_EQ(FontSlot(document), own);
        if (GetACP() == GetOEMCP()) {
            EXPECT_EQ(ControlText(DocumentEdit(document)), before);
        }

        Command(IDM_OPTOEMCONVERT);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), 0);
        EXPECT_FALSE((MenuState(IDM_OPTOEMCONVERT) & MF_CHECKED) != 0);
        EXPECT_EQ(ShownFont(document), own);
        EXPECT_EQ(ControlText(DocumentEdit(document)), before);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), c.changed);
        EXPECT_EQ(TitleOf(document), title);
        EXPECT_TRUE(IsFont(own));
    }
}

TEST_F(OemConversion, ConvertedTextIsSizedForTheOtherCodePage)
{
    struct Case {
        const char* name;
        std::string text;
        std::size_t length;  // bytes of text that are converted
        UINT from;
        UINT to;
        std::string converted;
    };
    const Case cases[] = {
        {"same code page keeps every byte", "\xED\x40\x85\x40\x95\x5c", 6, 932, 932, "\xED\x40\x85\x40\x95\x5c"},
        {"ANSI to OEM", "caf\xE9", 4, 1252, 437, "caf\x82"},
        {"OEM to ANSI", "caf\x82", 4, 437, 1252, "caf\xE9"},
        {"one byte becomes two", "\xF1", 1, 437, 932, "\x81\x7D"},
        {"two bytes become one", "\x95\x5c", 2, 932, 437, "?"},
        {"empty", "", 0, 1252, 437, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HGLOBAL block = ConvertedText(c.text.data(), c.length, c.from, c.to);
        ASSERT_NE(block, nullptr);
        ASSERT_GE(GlobalSize(block), c.converted.size() + 1);
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        EXPECT_EQ(std::string(bytes, c.converted.size() + 1), c.converted + '\0');
        GlobalUnlock(block);
        GlobalFree(block);
    }

    // A lone lead byte at the end of the text becomes one unknown character;
    // the line feed after it lies beyond the text and is not read.
    const char cut[] = "a\x95\nZ";
    HGLOBAL block = ConvertedText(cut, 2, 932, 437);
    ASSERT_NE(block, nullptr);
    const std::string converted(static_cast<const char*>(GlobalLock(block)));
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(converted.size(), 2u);
    EXPECT_EQ(converted[0], 'a');
    EXPECT_EQ(converted.find('\n'), std::string::npos);
}

TEST_F(OemConversion, WrapSwitchShowsTheOemTextInTheDocumentsOwnFont)
{
    HWND document = AppState.activeDocument;
    GiveText(DocumentEdit(document), kOemSample);
    const std::string before = ControlText(DocumentEdit(document));
    Command(IDM_OPTOEMCONVERT);
    Command(IDM_OPTWRAP);
    EXPECT_EQ(ShownFont(document), AppState.defaultFont);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), 1);
    EXPECT_TRUE((MenuState(IDM_OPTOEMCONVERT) & MF_CHECKED) != 0);
    EXPECT_EQ(ControlText(DocumentEdit(document)), before);
    Command(IDM_OPTOEMCONVERT);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), 0);
    EXPECT_EQ(ShownFont(document), AppState.defaultFont);
    EXPECT_EQ(ControlText(DocumentEdit(document)), before);
}

WNDPROC editProcedure = nullptr;

// An edit control that has no room for any new text.
LRESULT CALLBACK RefuseNewText(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        return FALSE;
    }
    return CallWindowProcA(editProcedure, edit, message, wParam, lParam);
}

TEST_F(OemConversion, ARefusedTextPutsFontAndFlagBack)
{
    if (GetACP() == GetOEMCP()) {
        GTEST_SKIP() << "the OEM code page is the ANSI one here (" << GetACP()
                     << "): the conversion leaves the text alone, so nothing can refuse it";
    }
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    GiveText(edit, "caf\xE9");
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefuseNewText)));
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    Command(IDM_OPTOEMCONVERT);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProcedure));
    ASSERT_EQ(answers.Seen().size(), 1u);
    const std::vector<std::string>& shown = answers.Seen()[0].texts;
    EXPECT_NE(std::find(shown.begin(), shown.end(), "「文字変換」のファイルの記憶域を取ることが出来ません。"), shown.end());
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), 0);
    EXPECT_EQ(ShownFont(document), AppState.defaultFont);
    EXPECT_EQ(ControlText(edit), "caf\xE9");
}

}  // namespace
