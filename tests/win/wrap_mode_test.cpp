// Switching a document between wrapping and scrolling, and the forced line
// breaks that write the wrapped breaks into the text.

#include "app/app_state.h"
#include "document/document_window.h"
#include "document/wrap_mode.h"
#include "res/resource.h"
#include "tests/win/edit_probes.h"
#include "tests/win/harness.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using WrapMode = FrameTest;
using ForcedBreaks = FrameTest;
using LargeWrapSwitch = FrameTest;

const char kNoMemoryMessage[] = "<文字列の折り返し> メモリ不足のため、折り返しモードを変更できません！";

// 表示 on the first line, then a line far wider than any window.
std::string SampleText()
{
    std::string text = "\x95\x5c\x8e\xa6\r\n";
    for (int i = 0; i < 60; ++i) {
        text += "word \x95\x5c ";
    }
    return text + "\r\nend";
}

bool Checked(UINT state)
{
    return (state & MF_CHECKED) != 0;
}

HWND NewDocumentWith(const std::string& text)
{
    SendMessageA(AppState.frameWindow, WM_COMMAND, IDM_FILENEW, 0);
    PumpMessages();
    HWND document = AppState.activeDocument;
    GiveText(DocumentEdit(document), text);
    return document;
}

// Everything a switch must leave as the user had it, and the new form.
void ExpectSwitchedTo(int wrap, HWND document, HWND old, const std::string& text, LONG_PTR changed)
{
    HWND edit = DocumentEdit(document);
    EXPECT_NE(edit, old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(EditControlsIn(document), 1);
    EXPECT_EQ(AppState.activeEdit, edit);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), wrap);

    const LONG style = GetWindowLongA(edit, GWL_STYLE);
    for (LONG bit : {static_cast<LONG>(WS_VISIBLE), static_cast<LONG>(WS_VSCROLL), static_cast<LONG>(ES_MULTILINE),
                     static_cast<LONG>(ES_AUTOVSCROLL), static_cast<LONG>(ES_NOHIDESEL),
                     static_cast<LONG>(ES_OEMCONVERT)}) {
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    const LONG sideways = WS_HSCROLL | ES_AUTOHSCROLL;
    EXPECT_EQ(style & sideways, wrap ? 0 : sideways);

    EXPECT_EQ(ControlText(edit), text);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(SendMessageA(edit, WM_GETFONT, 0, 0)),
              GetDocumentData(document, DocumentWindow::font));
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), changed);
    DWORD start = 1;
    DWORD end = 1;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(FillsClientArea(document, edit));
}

TEST_F(WrapMode, SwitchingKeepsTextFontAndChangedFlagAndPutsTheCaretAtTheStart)
{
    const std::string text = SampleText();
    for (LONG_PTR changed : {0, 1}) {
        SCOPED_TRACE(changed ? "changed document" : "unchanged document");
        HWND document = NewDocumentWith(text);
        SetDocumentData(document, DocumentWindow::changed, changed);
        SendMessageA(DocumentEdit(document), EM_SETSEL, 6, 6);
        for (int wrap : {0, 1}) {
            HWND old = DocumentEdit(document);
            Command(IDM_OPTWRAP);
            ExpectSwitchedTo(wrap, document, old, text, changed);
            EXPECT_EQ(Checked(MenuState(IDM_OPTWRAP)), wrap == 1);
        }
    }
}

TEST_F(WrapMode, TwoSwitchesLeaveOneControlAndTheFrameMenuAsItWas)
{
    HWND document = AppState.activeDocument;
    ASSERT_TRUE(IsZoomed(document));
    HMENU menu = GetMenu(frame());
    const int items = GetMenuItemCount(menu);
    // A maximised document lends the frame menu its system menu and buttons.
    HMENU lent = GetSubMenu(menu, 0);

    Command(IDM_OPTWRAP);
    Command(IDM_OPTWRAP);

    EXPECT_EQ(EditControlsIn(document), 1);
    EXPECT_TRUE(IsZoomed(document));
    EXPECT_EQ(GetMenu(frame()), menu);
    EXPECT_EQ(GetMenuItemCount(menu), items);
    EXPECT_EQ(GetSubMenu(menu, 0), lent);
    EXPECT_EQ(DocumentWindows().size(), 1u);
    EXPECT_EQ(AppState.activeDocument, document);
}

// A suite of its own, so that it runs in a fresh process: after other tests
// in the same process, Wine's Uniscribe has been seen to read out of bounds
// (GPOS_apply_MarkToLigature) while laying out ten mebibytes of text.
TEST_F(LargeWrapSwitch, TenMebibytesSwitchWithoutACopy)
{
    std::string text;
    const std::string line = "0123456789 \x95\x5c\x8e\xa6 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    while (text.size() + line.size() <= 10u << 20) {
        text += line;
    }
    text.append((10u << 20) - text.size(), 'x');
    HWND document = AppState.activeDocument;
    GiveText(DocumentEdit(document), text);
    HLOCAL before = reinterpret_cast<HLOCAL>(SendMessageA(DocumentEdit(document), EM_GETHANDLE, 0, 0));
    ASSERT_NE(before, nullptr);

    Command(IDM_OPTWRAP);
    ASSERT_EQ(GetDocumentData(document, DocumentWindow::wrap), 0);
    HLOCAL after = reinterpret_cast<HLOCAL>(SendMessageA(DocumentEdit(document), EM_GETHANDLE, 0, 0));
    EXPECT_EQ(after, before);
    ASSERT_GE(LocalSize(after), text.size() + 1);
    const char* bytes = static_cast<const char*>(LocalLock(after));
    EXPECT_EQ(std::memcmp(bytes, text.data(), text.size() + 1), 0);
    LocalUnlock(after);
}

// Refuses to make edit controls on this thread while it lives.
class NoNewEditControls {
public:
    NoNewEditControls() : hook_(SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {}
    ~NoNewEditControls() { UnhookWindowsHookEx(hook_); }
    NoNewEditControls(const NoNewEditControls&) = delete;
    NoNewEditControls& operator=(const NoNewEditControls&) = delete;

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char cls[16] = "";
            GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
            if (lstrcmpiA(cls, "edit") == 0) {
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

TEST_F(WrapMode, AControlThatCannotBeMadeLeavesTheDocumentAsItWas)
{
    const std::string text = SampleText();
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    GiveText(edit, text);
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    {
        NoNewEditControls refuse;
        Command(IDM_OPTWRAP);
    }
    ASSERT_EQ(answers.Seen().size(), 1u);
    const std::vector<std::string>& shown = answers.Seen()[0].texts;
    EXPECT_NE(std::find(shown.begin(), shown.end(), kNoMemoryMessage), shown.end());

    EXPECT_EQ(DocumentEdit(document), edit);
    EXPECT_EQ(AppState.activeEdit, edit);
    EXPECT_EQ(EditControlsIn(document), 1);
    EXPECT_EQ(ControlText(edit), text);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::wrap), 1);
    EXPECT_TRUE(Checked(MenuState(IDM_OPTWRAP)));
    EXPECT_TRUE(IsWindowVisible(edit));
}

TEST_F(ForcedBreaks, TheSwitchFlipsFlagAndCheckMarkAndSurvivesAWrapSwitch)
{
    HWND document = AppState.activeDocument;
    for (LONG_PTR expected : {1, 0, 1}) {
        Command(IDM_OPTHARDBREAK);
        EXPECT_EQ(GetDocumentData(document, DocumentWindow::forcedBreaks), expected);
        EXPECT_EQ(Checked(MenuState(IDM_OPTHARDBREAK)), expected == 1);
    }
    Command(IDM_OPTWRAP);
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::forcedBreaks), 1);
    EXPECT_TRUE(Checked(MenuState(IDM_OPTHARDBREAK)));
    EXPECT_EQ(GetDocumentData(document, DocumentWindow::changed), 0);
}

TEST_F(ForcedBreaks, WrappedBreaksAreWrittenAtTheCurrentWidthOnly)
{
    if (UnderWine()) {
        GTEST_SKIP() << "Wine's edit control accepts EM_FMTLINES but inserts no soft line breaks";
    }
    const std::string text = SampleText();
    HWND document = AppState.activeDocument;
    GiveText(DocumentEdit(document), text);
    Command(IDM_OPTHARDBREAK);
    EXPECT_NE(ControlText(DocumentEdit(document)).find("\r\r\n"), std::string::npos);

    // Scrolling wraps nothing: no break of the old width travels along.
    Command(IDM_OPTWRAP);
    EXPECT_EQ(ControlText(DocumentEdit(document)), text);
    Command(IDM_OPTWRAP);
    const std::string rewrapped = ControlText(DocumentEdit(document));
    EXPECT_NE(rewrapped.find("\r\r\n"), std::string::npos);

    Command(IDM_OPTHARDBREAK);
    EXPECT_EQ(ControlText(DocumentEdit(document)), text);
}

TEST_F(WrapMode, BothFormsPassTypedCharactersThroughTheOemSet)
{
    if (UnderWine()) {
        GTEST_SKIP() << "Wine's edit control ignores ES_OEMCONVERT";
    }
    // A single-byte character that does not survive the trip to the OEM set.
    unsigned char changedByte = 0;
    char back = 0;
    for (unsigned b = 0xA0; b <= 0xFF && changedByte == 0; ++b) {
        const char ansi = static_cast<char>(b);
        char oem = 0;
        if (CharToOemBuffA(&ansi, &oem, 1) && OemToCharBuffA(&oem, &back, 1) && back != ansi &&
            !IsDBCSLeadByte(static_cast<BYTE>(b))) {
            changedByte = static_cast<unsigned char>(b);
        }
    }
    if (changedByte == 0) {
        GTEST_SKIP() << "every character of this code page survives the OEM set: nothing to see";
    }
    HWND document = AppState.activeDocument;
    for (int form = 0; form < 2; ++form) {
        HWND edit = DocumentEdit(document);
        SetWindowTextA(edit, "");
        SendMessageA(edit, WM_CHAR, changedByte, 1);
        EXPECT_EQ(ControlText(edit), std::string(1, back));
        Command(IDM_OPTWRAP);
    }
}

}  // namespace
