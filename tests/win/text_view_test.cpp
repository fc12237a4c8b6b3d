// How a document shows its text: the wrap switch and forced breaks, the
// font dialog and document fonts, and the OEM conversion.

#include "document/document_data.h"
#include "document/font_dialog.h"
#include "document/oem_conversion.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/current_log_font.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using WrapMode = FrameTest;
using LargeWrapSwitch = FrameTest;
using ForcedBreaks = FrameTest;
using FontDialog = FrameTest;
using DocumentFont = FrameTest;
using OemConversion = FrameTest;

std::string TextIn(HWND document)
{
    return EditText(DocumentEdit(document));
}

// Hands the control a block of its own, as loading a file does.
void GiveText(HWND document, const std::string& bytes)
{
    HWND edit = DocumentEdit(document);
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes.size() + 1);
    std::memcpy(LocalLock(block), bytes.data(), bytes.size());
    LocalUnlock(block);
    HLOCAL previous = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
    SendMessageA(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
    LocalFree(previous);
}

HWND NewDocument(const std::string& text)
{
    SendMessageA(AppState.frameWindow, WM_COMMAND, IDM_FILENEW, 0);
    PumpMessages();
    GiveText(AppState.activeDocument, text);
    return AppState.activeDocument;
}

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

bool Checked(UINT state)
{
    return (state & MF_CHECKED) != 0;
}

// 表示, then a line far wider than any window.
std::string SampleText()
{
    std::string text = "\x95\x5c\x8e\xa6\r\n";
    for (int i = 0; i < 60; ++i) {
        text += "word \x95\x5c ";
    }
    return text + "\r\nend";
}

TEST_F(WrapMode, SwitchingKeepsTextFontAndChangedFlagOneControlAndTheFrameMenu)
{
    HMENU menu = GetMenu(frame());
    const int items = GetMenuItemCount(menu);
    for (LONG_PTR changed : {0, 1}) {
        HWND document = NewDocument(SampleText());
        SetDocumentData(document, DocumentWindow::changed, changed);
        SendMessageA(DocumentEdit(document), EM_SETSEL, 6, 6);
        for (int wrap : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "changed " << changed << ", wrap " << wrap);
            HWND old = DocumentEdit(document);
            Command(IDM_OPTWRAP);
            HWND edit = DocumentEdit(document);
            EXPECT_FALSE(IsWindow(old));
            EXPECT_EQ(AppState.activeEdit, edit);
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), wrap);
            EXPECT_EQ(Checked(MenuState(IDM_OPTWRAP)), wrap == 1);
            const LONG style = GetWindowLongA(edit, GWL_STYLE);
            EXPECT_EQ(style & (WS_VISIBLE | ES_MULTILINE | ES_OEMCONVERT), WS_VISIBLE | ES_MULTILINE | ES_OEMCONVERT);
            EXPECT_EQ((style & (WS_HSCROLL | ES_AUTOHSCROLL)) != 0, wrap == 0);
            EXPECT_EQ(TextIn(document), SampleText());
            EXPECT_EQ(ShownFont(document), FontSlot(document));
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), changed);
            EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), 0);
            EXPECT_EQ(GetFocus(), edit);
            RECT rect;
            RECT client;
            GetWindowRect(edit, &rect);
            MapWindowPoints(nullptr, document, reinterpret_cast<POINT*>(&rect), 2);
            GetClientRect(document, &client);
            EXPECT_TRUE(EqualRect(&rect, &client));
        }
        int controls = 0;
        for (HWND child = GetWindow(document, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            controls += GetDlgCtrlID(child) == IDC_EDIT ? 1 : 0;
        }
        EXPECT_EQ(controls, 1);
        EXPECT_TRUE(IsZoomed(document));
        EXPECT_EQ(GetMenuItemCount(menu), items) << "the maximised document's buttons stay in the menu bar";
    }
}

// The OEM code page as Windows may give it: 932 where the manifest's ja-JP
// or the system locale sets it, another where neither does.
UINT oemCodePage = 932;

UINT WINAPI InjectedOemCodePage()
{
    return oemCodePage;
}

TEST_F(WrapMode, TypedTextGoesThroughTheOemCodePageOnlyWhereThatIs932)
{
    ImportPatch oem("kernel32.dll", "GetOEMCP", reinterpret_cast<void*>(InjectedOemCodePage));
    ASSERT_TRUE(oem.Patched());
    for (UINT codePage : {932u, 437u, 65001u}) {
        oemCodePage = codePage;
        HWND document = NewDocument("");
        for (int wrap : {1, 0}) {
            const LONG style = GetWindowLongA(DocumentEdit(document), GWL_STYLE);
            EXPECT_EQ((style & ES_OEMCONVERT) != 0, codePage == 932)
                << "OEM code page " << codePage << ", wrap " << wrap;
            Command(IDM_OPTWRAP);
        }
    }
}

// Refuses to make edit controls on this thread.
LRESULT CALLBACK RefuseEditControls(int code, WPARAM wParam, LPARAM lParam)
{
    char cls[16] = "";
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls) &&
        lstrcmpiA(cls, "edit") == 0) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WrapMode, AControlThatCannotBeMadeLeavesTheDocumentAsItWas)
{
    HWND document = NewDocument(SampleText());
    HWND edit = DocumentEdit(document);
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseEditControls, nullptr, GetCurrentThreadId());
    Command(IDM_OPTWRAP);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(answers.Seen().size(), 1u);
    const std::vector<std::string>& shown = answers.Seen()[0].texts;
    EXPECT_NE(std::find(shown.begin(), shown.end(),
                        "<文字列の折り返し> メモリ不足のため、折り返しモードを変更できません！"),
              shown.end());
    EXPECT_EQ(DocumentEdit(document), edit);
    EXPECT_EQ(TextIn(document), SampleText());
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), 1);
    EXPECT_TRUE(IsWindowVisible(edit));
}

// In a process of its own: after other tests, Wine's Uniscribe has been seen
// to read out of bounds (GPOS_apply_MarkToLigature) laying out this much text.
TEST_F(LargeWrapSwitch, TenMebibytesSwitchWithoutACopy)
{
    std::string text;
    const std::string line = "0123456789 \x95\x5c\x8e\xa6 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    while (text.size() + line.size() <= 10u << 20) {
        text += line;
    }
    text.append((10u << 20) - text.size(), 'x');
    // The block travels only where the control's block is its text; text
    // handed over by messages is copied by the control itself.
    AppState.editBlockIsItsText = true;
    HWND document = AppState.activeDocument;
    GiveText(document, text);
    HLOCAL before = reinterpret_cast<HLOCAL>(SendMessageA(DocumentEdit(document), EM_GETHANDLE, 0, 0));
    Command(IDM_OPTWRAP);
    ASSERT_EQ(GetDocumentData(document, DocumentWindow::wrap), 0);
    HLOCAL after = reinterpret_cast<HLOCAL>(SendMessageA(DocumentEdit(document), EM_GETHANDLE, 0, 0));
    EXPECT_EQ(after, before);
    ASSERT_GE(LocalSize(after), text.size() + 1);
    EXPECT_EQ(std::memcmp(LocalLock(after), text.c_str(), text.size() + 1), 0);
    LocalUnlock(after);
}

TEST_F(ForcedBreaks, SwitchFlipsFlagAndCheckMarkWhichSurviveAWrapSwitch)
{
    HWND document = AppState.activeDocument;
    for (int expected : {1, 0, 1}) {
        Command(IDM_OPTHARDBREAK);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::forcedBreaks), expected);
        EXPECT_EQ(Checked(MenuState(IDM_OPTHARDBREAK)), expected == 1);
    }
    Command(IDM_OPTWRAP);
    EXPECT_TRUE(Checked(MenuState(IDM_OPTHARDBREAK)));
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 0);
}

// Windows' EM_FMTLINES with FALSE takes out every CR CR LF, a saved file's
// own too; Wine's changes no text, so the messages themselves are watched.
TEST_F(ForcedBreaks, AWrapSwitchTakesBreaksOutAndPutsThemBackOnlyWhileTheyAreOn)
{
    using Sent = std::vector<std::pair<HWND, WPARAM>>;
    for (int forced : {0, 1}) {
        HWND document = NewDocument("saved with forced breaks\r\r\nend");
        if (forced == 1) {
            Command(IDM_OPTHARDBREAK);
        }
        HWND old = DocumentEdit(document);
        Sent sent;
        {
            const SentMessages spy([&](HWND window, UINT message, WPARAM wParam) {
                if (message == EM_FMTLINES) {
                    sent.emplace_back(window, wParam);
                }
            });
            Command(IDM_OPTWRAP);
        }
        const Sent expected = forced == 1 ? Sent{{old, FALSE}, {DocumentEdit(document), TRUE}} : Sent{};
        EXPECT_EQ(sent, expected) << "forced breaks " << forced;
    }
}

TEST_F(ForcedBreaks, WrappedBreaksAreWrittenAtTheCurrentWidthOnly)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's edit control accepts EM_FMTLINES but inserts no soft line breaks";
    }
    HWND document = NewDocument(SampleText());
    Command(IDM_OPTHARDBREAK);
    EXPECT_NE(TextIn(document).find("\r\r\n"), std::string::npos);
    Command(IDM_OPTWRAP);
    EXPECT_EQ(TextIn(document), SampleText()) << "no break of the old width travels along";
    Command(IDM_OPTWRAP);
    EXPECT_NE(TextIn(document).find("\r\r\n"), std::string::npos) << "the new control breaks anew";
}

int CALLBACK CollectFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM faces)
{
    reinterpret_cast<std::set<std::string>*>(faces)->insert(lf->lfFaceName);
    return 1;
}

std::set<std::string> FacesWith(BYTE charset)
{
    std::set<std::string> faces;
    HDC screen = GetDC(nullptr);
    LOGFONTA wanted = {};
    wanted.lfCharSet = charset;
    EnumFontFamiliesExA(screen, &wanted, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, screen);
    return faces;
}

bool Vertical(const std::string& face)
{
    return !face.empty() && face[0] == '@';
}

// A plain face with Shift-JIS, and one without.
std::string JapaneseFace()
{
    const std::set<std::string> faces = FacesWith(SHIFTJIS_CHARSET);
    return *std::find_if_not(faces.begin(), faces.end(), Vertical);
}

std::string WesternFace()
{
    const std::set<std::string> japanese = FacesWith(SHIFTJIS_CHARSET);
    for (const std::string& face : FacesWith(ANSI_CHARSET)) {
        if (!Vertical(face) && japanese.count(face) == 0) {
            return face;
        }
    }
    return std::string();
}

LOGFONTA Chosen(const std::string& face)
{
    LOGFONTA lf = {};
    lf.lfHeight = -16;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return lf;
}

std::string Entry(HWND list, LRESULT index)
{
    std::string text(static_cast<std::size_t>(SendMessageA(list, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text.c_str();
}

// The face list of the font dialog, its selected entry last ("" for none).
std::vector<std::string> FaceList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, cmb1);
    std::vector<std::string> faces;
    for (LRESULT i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
        faces.push_back(Entry(list, i));
    }
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    faces.push_back(selected == CB_ERR ? std::string() : Entry(list, selected));
    return faces;
}

void SelectFace(HWND dialog, const std::string& face)
{
    HWND list = GetDlgItem(dialog, cmb1);
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

TEST_F(FontDialog, NoVerticalFaceIsOfferedOrAnsweredAndTheNextDialogStartsThere)
{
    CurrentLogFont = LOGFONTA{};
    std::vector<std::vector<std::string>> lists;
    DialogAnswers answers;
    // First use: OK takes the dialog's own choice.
    answers.Then([&](HWND dialog) {
        lists.push_back(FaceList(dialog));
        PressButton(dialog, IDOK);
    });
    answers.Then([&](HWND dialog) {
        lists.push_back(FaceList(dialog));
        SelectFace(dialog, JapaneseFace());
        PressButton(dialog, IDOK);
    });
    HWND first = AppState.activeDocument;
    Command(IDM_OPTFONT);
    const std::string firstFace = CurrentLogFont.lfFaceName;
    HWND second = NewDocument("");
    Command(IDM_OPTFONT);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(answers.Seen()[0].caption, "文字書体の指定");
    EXPECT_TRUE(std::none_of(lists[0].begin(), lists[0].end(), Vertical));
    const std::set<std::string> japanese = FacesWith(SHIFTJIS_CHARSET);
    for (auto face = lists[0].begin(); face + 1 != lists[0].end(); ++face) {
        EXPECT_EQ(japanese.count(*face), 1u) << *face << " has no Shift-JIS";
    }
    EXPECT_FALSE(Vertical(firstFace));
    EXPECT_NE(FontSlot(first), AppState.defaultFont);
    EXPECT_EQ(ShownFont(first), FontSlot(first));
    EXPECT_EQ(lists[1].back(), firstFace);
    EXPECT_EQ(std::string(CurrentLogFont.lfFaceName), JapaneseFace());
    LOGFONTA shown = {};
    GetObjectA(ShownFont(second), sizeof shown, &shown);
    EXPECT_EQ(shown.lfCharSet, SHIFTJIS_CHARSET) << "the template has no script box to choose it";
}

TEST_F(FontDialog, CancelLeavesTheStartingValues)
{
    CurrentLogFont = Chosen(JapaneseFace());
    const LOGFONTA before = CurrentLogFont;
    DialogAnswers answers;
    answers.Then([](HWND dialog) {
        SelectFace(dialog, WesternFace());
        PressButton(dialog, IDCANCEL);
    });
    Command(IDM_OPTFONT);
    EXPECT_EQ(std::memcmp(&CurrentLogFont, &before, sizeof before), 0);
    EXPECT_EQ(FontSlot(AppState.activeDocument), AppState.defaultFont);
}

// The hook in a dialog that is not told to leave the vertical faces out.
TEST_F(FontDialog, HookTakesVerticalFacesOutAndKeepsAPlainSelection)
{
    const std::set<std::string> all = FacesWith(DEFAULT_CHARSET);
    if (std::none_of(all.begin(), all.end(), Vertical)) {
        GTEST_SKIP() << "this system has no vertical-writing faces to take out";
    }
    const std::string face = JapaneseFace();
    for (const std::string& start : {face, "@" + face}) {
        LOGFONTA lf = Chosen(start);
        CHOOSEFONTA cf = {};
        cf.lStructSize = sizeof cf;
        cf.hwndOwner = frame();
        cf.lpLogFont = &lf;
        cf.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_INITTOLOGFONTSTRUCT;
        cf.lpfnHook = FontDialogHook;
        cf.lpTemplateName = MAKEINTRESOURCEA(IDD_FONTDLG);
        cf.hInstance = AppState.instance;
        std::vector<std::string> list;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            list = FaceList(dialog);
            PressButton(dialog, IDCANCEL);
        });
        ChooseFontA(&cf);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back(), Vertical(start) ? "" : face) << start;
        EXPECT_TRUE(std::none_of(list.begin(), list.end() - 1, Vertical)) << start;
    }
}

TEST_F(DocumentFont, ReplacedFontsAreDeletedAndTheDefaultNever)
{
    HWND other = AppState.activeDocument;
    HWND document = NewDocument(SampleText());
    LOGFONTA slanted = Chosen(WesternFace());
    slanted.lfEscapement = 900;
    HFONT previous = AppState.defaultFont;
    for (const LOGFONTA& chosen : {Chosen(JapaneseFace()), Chosen("@" + JapaneseFace()), slanted}) {
        SCOPED_TRACE(chosen.lfFaceName);
        ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), chosen), 1);
        EXPECT_EQ(ShownFont(document), FontSlot(document));
        EXPECT_EQ(IsFont(previous), previous == AppState.defaultFont);
        EXPECT_FALSE(Vertical(CurrentLogFont.lfFaceName));
        EXPECT_EQ(CurrentLogFont.lfEscapement, 0);
        EXPECT_EQ(CurrentLogFont.lfCharSet, SHIFTJIS_CHARSET) << "a Western face never reads the text as code page 1252";
        LOGFONTA shown = {};
        GetObjectA(ShownFont(document), sizeof shown, &shown);
        EXPECT_EQ(shown.lfCharSet, SHIFTJIS_CHARSET);
        previous = FontSlot(document);
    }
    Command(IDM_OPTWRAP);
    EXPECT_EQ(ShownFont(document), previous) << "a chosen font survives a wrap switch";
    EXPECT_EQ(ShownFont(other), AppState.defaultFont);

    SendMessageA(document, WM_CLOSE, 0, 0);
    SendMessageA(other, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(DocumentWindows().empty());
    EXPECT_FALSE(IsFont(previous));
    EXPECT_TRUE(IsFont(AppState.defaultFont));
}

TEST_F(DocumentFont, GdiObjectsReturnToTheirCountAfterADocumentCloses)
{
    SetLastError(0);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        GTEST_SKIP() << "Wine's GetGuiResources is a stub that counts nothing";
    }
    HWND document = NewDocument(SampleText());
    UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace()));
    UseChosenFont(document, DocumentEdit(document), Chosen(WesternFace()));
    Command(IDM_OPTWRAP);
    SendMessageA(document, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST_F(DocumentFont, AFontThatCannotBeMadeChangesNothing)
{
    HWND document = AppState.activeDocument;
    ASSERT_EQ(UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace())), 1);
    const HFONT font = FontSlot(document);
    const LOGFONTA before = CurrentLogFont;
    // Every font handle the process may have is taken first.
    std::vector<HFONT> taken;
    const LOGFONTA any = Chosen("System");
    for (HFONT f = CreateFontIndirectA(&any); f != nullptr && taken.size() < 200000; f = CreateFontIndirectA(&any)) {
        taken.push_back(f);
    }
    const int result = UseChosenFont(document, DocumentEdit(document), Chosen(WesternFace()));
    std::for_each(taken.begin(), taken.end(), DeleteObject);
    ASSERT_LT(taken.size(), 200000u) << "font handles did not run out";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FontSlot(document), font);
    EXPECT_EQ(ShownFont(document), font);
    EXPECT_TRUE(IsFont(font));
    EXPECT_EQ(std::memcmp(&CurrentLogFont, &before, sizeof before), 0);
}

// 表示, a code the NEC-selected IBM extensions hold twice (0xED40) and one
// that code page 932 leaves undefined (0x8540).
const char kOemSample[] = "\x95\x5c\x8e\xa6\r\n\xED\x40\x85\x40 end";

TEST_F(OemConversion, OnAndOffRestoresTheTextAndTheFont)
{
    for (const std::string& text : {std::string(kOemSample), std::string()}) {
        HWND document = NewDocument(text);
        UseChosenFont(document, DocumentEdit(document), Chosen(JapaneseFace()));
        SetDocumentData(document, DocumentWindow::changed, text.empty() ? 0 : 1);
        const std::string before = TextIn(document);
        const HFONT own = FontSlot(document);
        for (int oem : {1, 0}) {
            SCOPED_TRACE(testing::Message() << "text of " << text.size() << " bytes, OEM " << oem);
            Command(IDM_OPTOEMCONVERT);
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::oemConverted), oem);
            EXPECT_EQ(Checked(MenuState(IDM_OPTOEMCONVERT)), oem == 1);
            EXPECT_EQ(ShownFont(document), oem ? static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT)) : own);
            EXPECT_EQ(FontSlot(document), own);
            EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), text.empty() ? 0 : 1);
            if (GetACP() == GetOEMCP() || oem == 0) {
                EXPECT_EQ(TextIn(document), before);
            }
        }
    }
}

TEST_F(OemConversion, ConvertedTextIsSizedForTheOtherCodePage)
{
    struct Case {
        std::string text;
        UINT from;
        UINT to;
        std::string converted;
    };
    const Case cases[] = {
        {"\xED\x40\x85\x40\x95\x5c", 932, 932, "\xED\x40\x85\x40\x95\x5c"},
        {"caf\xE9", 1252, 437, "caf\x82"},
        {"caf\x82", 437, 1252, "caf\xE9"},
        {"\xF1", 437, 932, "\x81\x7D"},
        {"\x95\x5c", 932, 437, "?"},
        {"", 1252, 437, ""},
    };
    for (const Case& c : cases) {
        HGLOBAL block = ConvertedText(c.text.data(), c.text.size(), c.from, c.to);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(block)), c.converted.size() + 1), c.converted + '\0')
            << c.from << " to " << c.to;
        GlobalUnlock(block);
        GlobalFree(block);
    }
    // A lone lead byte at the end is one character; what follows is not read.
    HGLOBAL block = ConvertedText("a\x95\nZ", 2, 932, 437);
    const std::string converted = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(converted.size(), 2u);
    EXPECT_EQ(converted.find('\n'), std::string::npos);
}

}  // namespace
