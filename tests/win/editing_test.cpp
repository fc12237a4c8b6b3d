// The editing commands on the active edit control: undo and the clipboard,
// delete, selection and jumps, go-to-line, date lines and the document report.

#include "document/date_line.h"
#include "document/document_data.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/current_log_font.h"
#include "tests/win/harness.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

class EditingTest : public FrameTest {
protected:
    // The report's text, shown once and answered with its button.
    std::string ReportText(std::string* caption = nullptr)
    {
        DialogAnswers answers;
        answers.ThenPress(IDOK);
        Command(IDM_HELPDOCINFO);
        if (answers.Seen().size() != 1 || answers.Seen()[0].texts.empty()) {
            ADD_FAILURE() << "no report";
            return "";
        }
        if (caption != nullptr) {
            *caption = answers.Seen()[0].caption;
        }
        return answers.Seen()[0].texts[0];
    }

    // What the go-to-line dialog shows: its caption, its line count, and
    // whether OK is enabled at first and after each text typed into the field.
    struct GoToLineLook {
        std::string caption, maximum;
        std::vector<bool> okEnabled;
    };
    GoToLineLook TypeIntoGoToLine(const std::vector<const char*>& fields)
    {
        GoToLineLook look;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            look.caption = TitleOf(dialog);
            look.maximum = TitleOf(GetDlgItem(dialog, IDC_GOTOLINE_MAX));
            look.okEnabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
            for (const char* text : fields) {
                SetDlgItemTextA(dialog, IDC_GOTOLINE_NUMBER, text);
                look.okEnabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
            }
            PressButton(dialog, IDCANCEL);
        });
        Command(IDM_SEARCHGOTOLINE);
        EXPECT_EQ(answers.Seen().size(), 1u);
        return look;
    }
};

using EditingCommand = EditingTest;
using GoToLine = EditingTest;
using DateInsertion = EditingTest;
using DocumentReport = EditingTest;

// 表示 / ab表 / 示表示: lines start at bytes 0, 6 and 12; 18 bytes in all.
const char kThreeLines[] = "\x95\x5c\x8e\xa6\r\nab\x95\x5c\r\n\x8e\xa6\x95\x5c\x8e\xa6";

// The platform's ANSI edit control counts positions in bytes of the code
// page 932 text; Wine's counts UTF-16 units.
bool EditCountsBytes()
{
    static const bool bytes = [] {
        HWND probe = CreateWindowExA(0, "edit", "\x95\x5c", WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        SendMessageA(probe, EM_SETSEL, 0, -1);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(probe, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        DestroyWindow(probe);
        return end == 2;
    }();
    return bytes;
}

// Positions in these tests are written as byte offsets into text; this is
// the same place in the units the edit control counts.
DWORD At(const std::string& text, DWORD bytes)
{
    if (EditCountsBytes()) {
        return bytes;
    }
    return static_cast<DWORD>(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(bytes), nullptr, 0));
}

using Selection = std::pair<DWORD, DWORD>;

Selection Sel(const std::string& text, DWORD start, DWORD end)
{
    return {At(text, start), At(text, end)};
}

Selection SelectionOf(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The start of the caret's line: tells where the caret sits in a selection
// that spans lines.
DWORD CaretLineStart(HWND edit)
{
    return static_cast<DWORD>(SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
}

// Sets the whole text (not an edit) and selects from start to end, in bytes.
void SetText(HWND edit, const std::string& text, DWORD start, DWORD end)
{
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(edit, EM_SETSEL, At(text, start), static_cast<LPARAM>(At(text, end)));
    SetDocumentData(AppState.activeDocument, DocumentWindow::changed, 0);
}

void Select(HWND edit, DWORD start, DWORD end)
{
    const std::string text = EditText(edit);
    SendMessageA(edit, EM_SETSEL, At(text, start), static_cast<LPARAM>(At(text, end)));
}

void PutTextOnClipboard(const char* text)
{
    ASSERT_TRUE(OpenClipboard(AppState.frameWindow));
    EmptyClipboard();
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(AppState.frameWindow)) {
        return "(clipboard busy)";
    }
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block != nullptr) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

LONG_PTR Changed()
{
    return GetDocumentData(AppState.activeDocument, DocumentWindow::changed);
}

bool Grayed(UINT state)
{
    return (state & MF_GRAYED) != 0;
}

TEST_F(EditingCommand, UndoGivesBackTypingAndFollowsTheMenu)
{
    HWND edit = AppState.activeEdit;
    SetText(edit, kThreeLines, 6, 6);
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITUNDO)));
    SendMessageA(edit, WM_CHAR, 'x', 1);
    SendMessageA(edit, WM_CHAR, 'y', 1);
    EXPECT_EQ(EditText(edit), std::string(kThreeLines).insert(6, "xy"));
    EXPECT_FALSE(Grayed(MenuState(IDM_EDITUNDO)));

    Command(IDM_EDITUNDO);
    EXPECT_EQ(EditText(edit), kThreeLines);
    EXPECT_EQ(Changed(), 1);
}

TEST_F(EditingCommand, CutCopyAndPasteMoveWholeCharacters)
{
    HWND edit = AppState.activeEdit;
    SetText(edit, kThreeLines, 0, 4);
    Command(IDM_EDITCOPY);
    EXPECT_EQ(ClipboardText(), "\x95\x5c\x8e\xa6");
    EXPECT_EQ(EditText(edit), kThreeLines);
    EXPECT_EQ(Changed(), 0);

    Select(edit, 8, 10);
    Command(IDM_EDITCUT);
    const std::string cut = "\x95\x5c\x8e\xa6\r\nab\r\n\x8e\xa6\x95\x5c\x8e\xa6";
    EXPECT_EQ(ClipboardText(), "\x95\x5c");
    EXPECT_EQ(EditText(edit), cut);
    EXPECT_EQ(SelectionOf(edit), Sel(cut, 8, 8));
    EXPECT_EQ(Changed(), 1);

    SetText(edit, kThreeLines, 12, 14);
    PutTextOnClipboard("\x8e\xa6z");
    Command(IDM_EDITPASTE);
    const std::string pasted = "\x95\x5c\x8e\xa6\r\nab\x95\x5c\r\n\x8e\xa6z\x95\x5c\x8e\xa6";
    EXPECT_EQ(EditText(edit), pasted);
    EXPECT_EQ(SelectionOf(edit), Sel(pasted, 15, 15));
    EXPECT_EQ(Changed(), 1);
}

TEST_F(EditingCommand, DeleteRemovesTheSelectionForGood)
{
    HWND edit = AppState.activeEdit;
    SetText(edit, kThreeLines, 0, 0);
    SendMessageA(edit, WM_CHAR, 'x', 1);
    ASSERT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));

    Select(edit, 7, 11);  // ab表, after the typed x
    Command(IDM_EDITCLEAR);
    const std::string deleted = "x\x95\x5c\x8e\xa6\r\n\r\n\x8e\xa6\x95\x5c\x8e\xa6";
    EXPECT_EQ(EditText(edit), deleted);
    EXPECT_EQ(SelectionOf(edit), Sel(deleted, 7, 7));
    EXPECT_EQ(Changed(), 1);
    EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITUNDO)));
    Command(IDM_EDITUNDO);
    EXPECT_EQ(EditText(edit), deleted);
}

TEST_F(EditingCommand, SelectionAndJumpCommands)
{
    struct Case {
        const char* name;
        const char* text;
        DWORD from, to;
        UINT command;
        DWORD start, end;
        DWORD caretLine;  // start of the line that holds the caret
    };
    const char kEndsWithLineEnd[] = "\x95\x5c\r\n\x8e\xa6\r\n";
    const char kLongLastLine[] = "a\r\n\x95\x5c\x95\x5c\x95\x5c\x95\x5c\x95\x5c\x95\x5c\x95\x5c\x95\x5c";
    const Case cases[] = {
        {"select all", kThreeLines, 8, 8, IDM_EDITSELECTALL, 0, 18, 12},
        {"select below from the middle", kThreeLines, 8, 8, IDM_EDITSELECTBELOW, 8, 18, 12},
        {"select below keeps the start", kThreeLines, 2, 10, IDM_EDITSELECTBELOW, 2, 18, 12},
        {"select below at the end", kThreeLines, 18, 18, IDM_EDITSELECTBELOW, 18, 18, 12},
        {"select above from the middle", kThreeLines, 8, 8, IDM_EDITSELECTABOVE, 0, 8, 6},
        {"select above up to the start", kThreeLines, 8, 14, IDM_EDITSELECTABOVE, 0, 8, 6},
        {"select above at the start", kThreeLines, 0, 0, IDM_EDITSELECTABOVE, 0, 0, 0},
        {"start of document", kThreeLines, 8, 14, IDM_SEARCHTOP, 0, 0, 0},
        {"end of document", kThreeLines, 2, 2, IDM_SEARCHBOTTOM, 12, 12, 12},
        {"end after a last line end", kEndsWithLineEnd, 0, 0, IDM_SEARCHBOTTOM, 8, 8, 8},
        {"end on a long last line", kLongLastLine, 0, 0, IDM_SEARCHBOTTOM, 3, 3, 3},
    };
    HWND edit = AppState.activeEdit;
    for (const Case& c : cases) {
        SetText(edit, c.text, c.from, c.to);
        Command(c.command);
        EXPECT_EQ(SelectionOf(edit), Sel(c.text, c.start, c.end)) << c.name;
        EXPECT_EQ(CaretLineStart(edit), At(c.text, c.caretLine)) << c.name;
        EXPECT_EQ(EditText(edit), c.text) << c.name;
    }
}

// What the commands rely on: positions are bytes, so a double-byte
// character takes two.
TEST_F(EditingCommand, PositionsCountBytes)
{
    if (!EditCountsBytes()) {
        GTEST_SKIP() << "Wine's edit control counts positions in UTF-16 units, not in bytes of the ANSI text "
                        "(known platform difference)";
    }
    HWND edit = AppState.activeEdit;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kThreeLines));
    Command(IDM_EDITSELECTALL);
    EXPECT_EQ(SelectionOf(edit), Selection(0, 18));
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 2, 0), 12);
    SendMessageA(edit, EM_SETSEL, 10, 10);
    EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, 6, 0), 4);

    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab\r\n\x95\x5c\x8e\xa6\x95\x5c"));
    SendMessageA(edit, EM_SETSEL, 8, 8);
    EXPECT_NE(ReportText().find("現在位置　： 2行 5桁 "), std::string::npos);
}

TEST_F(EditingCommand, MenuAndCommandsFollowTheActiveDocument)
{
    HWND first = AppState.activeDocument;
    SetText(DocumentEdit(first), kThreeLines, 0, 2);
    Command(IDM_FILENEW);
    HWND second = AppState.activeDocument;
    SetText(DocumentEdit(second), "ab", 1, 1);
    SendMessageA(DocumentEdit(second), WM_CHAR, 'x', 1);
    SetDocumentData(second, DocumentWindow::wrap, 0);
    SetDocumentData(second, DocumentWindow::forcedBreaks, 1);
    SetDocumentData(second, DocumentWindow::oemConverted, 1);

    struct Expected {
        HWND document;
        bool selection, undo, wrap, forcedBreaks, oem;
    };
    const Expected states[] = {
        {first, true, false, true, false, false},
        {second, false, true, false, true, true},
        {first, true, false, true, false, false},
    };
    for (const Expected& e : states) {
        SendMessageA(AppState.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(e.document), 0);
        const char* which = e.document == first ? "first" : "second";
        EXPECT_EQ(!Grayed(MenuState(IDM_EDITCUT)), e.selection) << which;
        EXPECT_EQ(!Grayed(MenuState(IDM_EDITCLEAR)), e.selection) << which;
        EXPECT_EQ(!Grayed(MenuState(IDM_EDITUNDO)), e.undo) << which;
        EXPECT_EQ((MenuState(IDM_OPTWRAP) & MF_CHECKED) != 0, e.wrap) << which;
        EXPECT_EQ((MenuState(IDM_OPTHARDBREAK) & MF_CHECKED) != 0, e.forcedBreaks) << which;
        EXPECT_EQ((MenuState(IDM_OPTOEMCONVERT) & MF_CHECKED) != 0, e.oem) << which;
    }

    Command(IDM_EDITSELECTALL);
    EXPECT_EQ(SelectionOf(DocumentEdit(first)), Sel(kThreeLines, 0, 18));
    EXPECT_EQ(SelectionOf(DocumentEdit(second)), Selection(2, 2));
}

// Types a number into the go-to-line field, then presses a button.
DialogAnswers::Action TypeLine(const char* number, int button)
{
    return [number, button](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_GOTOLINE_NUMBER, number);
        PressButton(dialog, button);
    };
}

TEST_F(GoToLine, OkIsEnabledOnlyForANonZeroNumber)
{
    SetText(AppState.activeEdit, kThreeLines, 0, 0);
    const GoToLineLook look = TypeIntoGoToLine({"2", "", "0", "abc", "x2", "99"});
    EXPECT_EQ(look.caption, "何行目に移動しますか？");
    EXPECT_EQ(look.maximum, "3行");
    EXPECT_EQ(look.okEnabled, (std::vector<bool>{false, true, false, false, false, false, true}));
}

// GetDlgItemInt reads an unsigned number: a minus sign is not a digit.
TEST_F(GoToLine, MinusSignKeepsOkGrayed)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's GetDlgItemInt reads \"-1\" as the unsigned number 4294967295 (known platform difference)";
    }
    SetText(AppState.activeEdit, kThreeLines, 0, 0);
    EXPECT_EQ(TypeIntoGoToLine({"-1"}).okEnabled, (std::vector<bool>{false, false}));
}

TEST_F(GoToLine, OkPutsTheCaretAtTheStartOfTheLineAndCancelLeavesIt)
{
    struct Case {
        const char* number;
        int button;
        DWORD start, end;
    };
    const Case cases[] = {{"1", IDOK, 0, 0}, {"2", IDOK, 6, 6}, {"3", IDOK, 12, 12}, {"2", IDCANCEL, 14, 16}};
    HWND edit = AppState.activeEdit;
    for (const Case& c : cases) {
        SetText(edit, kThreeLines, 14, 16);
        DialogAnswers answers;
        answers.Then(TypeLine(c.number, c.button));
        Command(IDM_SEARCHGOTOLINE);
        EXPECT_EQ(answers.Seen().size(), 1u) << c.number;
        EXPECT_EQ(SelectionOf(edit), Sel(kThreeLines, c.start, c.end)) << c.number;
        EXPECT_EQ(Changed(), 0);
    }
}

TEST_F(GoToLine, LineBeyondTheLastIsReportedAndTheDialogStays)
{
    HWND edit = AppState.activeEdit;
    SetText(edit, kThreeLines, 2, 4);
    HWND first = nullptr;
    HWND again = nullptr;
    DialogAnswers answers;
    answers.Then([&](HWND dialog) {
        first = dialog;
        TypeLine("4", IDOK)(dialog);
    });
    bool heldUnderTheBox = false;
    answers.Then([&](HWND box) {
        heldUnderTheBox = !IsWindowEnabled(first);
        PressButton(box, IDOK);
    });
    bool enabledAgain = false;
    answers.Then([&](HWND dialog) {
        again = dialog;
        enabledAgain = IsWindowEnabled(dialog) != FALSE;
        PressButton(dialog, IDCANCEL);
    });
    Command(IDM_SEARCHGOTOLINE);
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_TRUE(heldUnderTheBox) << "the dialog takes no input while the report is up";
    EXPECT_TRUE(enabledAgain);
    EXPECT_EQ(answers.Seen()[1].caption, "モクレ");
    EXPECT_EQ(answers.Seen()[1].texts, (std::vector<std::string>{"3行より大きい行は編集されていません。", "了解(&ﾘ)"}));
    EXPECT_EQ(again, first);
    EXPECT_EQ(SelectionOf(edit), Sel(kThreeLines, 2, 4));
}

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute;
}

TEST_F(DateInsertion, ReplacesTheSelectionWithTodaysLine)
{
    struct Case {
        UINT command;
        YearStyle style;
        const char* era;
        int yearOffset;
    };
    const Case cases[] = {
        {IDM_EDITDATEKOKI, YearStyle::Koki, "日付：皇紀", 660},
        {IDM_EDITDATEHEISEI, YearStyle::Heisei, "日付：平成", -1988},
        {IDM_EDITDATESEIREKI, YearStyle::Seireki, "日付：西暦", 0},
    };
    HWND edit = AppState.activeEdit;
    for (const Case& c : cases) {
        // A minute may turn between reading the clock and the command; then once more.
        for (int attempt = 0; attempt < 2; ++attempt) {
            SetText(edit, "ab\x95\x5c\r\ncd", 2, 4);
            SYSTEMTIME before;
            SYSTEMTIME after;
            GetLocalTime(&before);
            Command(c.command);
            GetLocalTime(&after);
            if (!SameMinute(before, after) && attempt == 0) {
                continue;
            }
            const std::string line = FormatDateLine(c.style, before.wYear, before.wMonth, before.wDay,
                                                    before.wDayOfWeek, before.wHour, before.wMinute);
            const std::string prefix = c.era + std::to_string(before.wYear + c.yearOffset) + "年";
            EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
            const std::string expected = "ab" + line + "\r\ncd";
            EXPECT_EQ(EditText(edit), expected) << c.command;
            const DWORD caret = static_cast<DWORD>(2 + line.size());
            EXPECT_EQ(SelectionOf(edit), Sel(expected, caret, caret)) << c.command;
            EXPECT_EQ(Changed(), 1) << c.command;
            EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0)) << c.command;
            break;
        }
    }
}

bool Contains(const std::string& text, const std::string& piece)
{
    return text.find(piece) != std::string::npos;
}

TEST_F(DocumentReport, CountsBytesLinesAndTheCaretPosition)
{
    HWND edit = AppState.activeEdit;
    SetText(edit, "ab", 0, 0);
    EXPECT_TRUE(Contains(ReportText(), "\r作成文字数： 2\r作成行数　： 1行\r現在位置　： 1行 1桁 "));

    // Three double-byte characters and a line end add eight bytes.
    struct Case {
        DWORD from, to;
        const char* position;
    };
    const Case cases[] = {
        {4, 4, "現在位置　： 2行 1桁 "},
        {1, 1, "現在位置　： 1行 2桁 "},
        {1, 5, "現在位置　： 1行 2桁 "},  // a selection over two lines: taken at its start
        {10, 10, "現在位置　： 2行 7桁 "},  // after three double-byte characters: bytes, not characters
    };
    for (const Case& c : cases) {
        SetText(edit, "ab\r\n\x95\x5c\x8e\xa6\x95\x5c", c.from, c.to);
        const std::string report = ReportText();
        EXPECT_TRUE(Contains(report, "\r作成文字数： 10\r作成行数　： 2行\r")) << report;
        EXPECT_TRUE(Contains(report, c.position)) << report;
    }
}

TEST_F(DocumentReport, NamesTheTypefaceAndKeepsItsFont)
{
    HWND edit = AppState.activeEdit;
    CurrentLogFont = LOGFONTA{};
    std::string caption;
    const std::string report = ReportText(&caption);
    EXPECT_EQ(caption, "モクレ");

    LOGFONTA font{};
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
    EXPECT_EQ(std::memcmp(&CurrentLogFont, &font, sizeof font), 0);
    EXPECT_TRUE(Contains(report, std::string("\r文字書体　： ") + font.lfFaceName + " ")) << report;
    EXPECT_EQ(report.compare(0, std::strlen("画面解像度：ｘ＝ "), "画面解像度：ｘ＝ "), 0) << report;
}

TEST_F(DocumentReport, WithoutADocumentSaysNoneIsOpen)
{
    Command(IDM_WINCLOSEALL);
    ASSERT_EQ(AppState.activeEdit, nullptr);
    std::string caption;
    EXPECT_EQ(ReportText(&caption), "開いている文書がありません。");
    EXPECT_EQ(caption, "モクレ");
}

}  // namespace
