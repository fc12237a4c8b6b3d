// The document window: its slots and edit control, activation, and the
// question asked before a changed document closes.

#include "app/frame.h"
#include "document/document_data.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"

#include <string>
#include <vector>

namespace {

using DocumentWindowTest = FrameTest;
using CloseQuestion = FrameTest;

const char kQuestionCaption[] = "モクレ";

std::string Question(const std::string& title)
{
    return "「" + title + "」 は更新されています。保存しますか?";
}

LONG_PTR Slot(HWND document, DocumentWindow slot)
{
    return GetDocumentData(document, slot);
}

// Replaces the whole text as typing over a full selection does, so that the
// edit control reports the change.
void TypeOver(HWND document, const char* text)
{
    HWND edit = DocumentEdit(document);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

// A document loaded from a file written first, titled with its path.
HWND OpenFile(const TempDirectory& dir, const std::string& name, const std::string& bytes)
{
    dir.Write(name, bytes);
    std::string path = dir.File(name);
    HWND document = CreateDocumentWindow(path.data());
    PumpMessages();
    return document;
}

bool EditFillsClientArea(HWND document)
{
    RECT edit;
    RECT client;
    GetWindowRect(DocumentEdit(document), &edit);
    MapWindowPoints(nullptr, document, reinterpret_cast<POINT*>(&edit), 2);
    GetClientRect(document, &client);
    return EqualRect(&edit, &client) != FALSE;
}

TEST_F(DocumentWindowTest, NewDocumentStartsUntitledUnchangedAndWrapping)
{
    HWND document = AppState.activeDocument;
    HWND edit = GetDlgItem(document, IDC_EDIT);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(AppState.defaultFont, nullptr);
    EXPECT_EQ(Slot(document, DocumentWindow::edit), reinterpret_cast<LONG_PTR>(edit));
    EXPECT_EQ(Slot(document, DocumentWindow::changed), 0);
    EXPECT_EQ(Slot(document, DocumentWindow::wrap), 1);
    EXPECT_EQ(Slot(document, DocumentWindow::untitled), 1);
    EXPECT_EQ(Slot(document, DocumentWindow::forcedBreaks), 0);
    EXPECT_EQ(Slot(document, DocumentWindow::font), reinterpret_cast<LONG_PTR>(AppState.defaultFont));
    EXPECT_EQ(Slot(document, DocumentWindow::oemConverted), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), AppState.defaultFont);
    EXPECT_EQ(AppState.activeEdit, edit);
}

TEST_F(DocumentWindowTest, EditControlWrapsAndFillsTheClientArea)
{
    HWND document = AppState.activeDocument;
    HWND edit = DocumentEdit(document);
    const LONG style = GetWindowLongA(edit, GWL_STYLE);
    for (LONG bit : {static_cast<LONG>(ES_MULTILINE), static_cast<LONG>(ES_NOHIDESEL),
                     static_cast<LONG>(ES_AUTOVSCROLL), static_cast<LONG>(WS_VSCROLL),
                     static_cast<LONG>(WS_CHILD), static_cast<LONG>(WS_VISIBLE)}) {
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    EXPECT_EQ(style & WS_HSCROLL, 0);
    EXPECT_EQ(style & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(style & WS_BORDER, 0);

    EXPECT_TRUE(EditFillsClientArea(document));
    SendMessageA(AppState.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document), 0);
    MoveWindow(document, 10, 10, 300, 200, TRUE);
    PumpMessages();
    EXPECT_TRUE(EditFillsClientArea(document));
}

TEST_F(DocumentWindowTest, EveryReportedChangeMarksTheDocumentChanged)
{
    struct Case {
        const char* name;
        void (*change)(HWND edit);
    };
    const Case cases[] = {
        {"typed character", [](HWND edit) { SendMessageA(edit, WM_CHAR, 'x', 1); }},
        {"replaced selection",
         [](HWND edit) { SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\x95\x5c")); }},
    };
    for (const Case& c : cases) {
        HWND document = AppState.activeDocument;
        SetDocumentData(document, DocumentWindow::changed, 0);
        c.change(DocumentEdit(document));
        EXPECT_EQ(Slot(document, DocumentWindow::changed), 1) << c.name;
    }
    // Setting the whole text is not an edit: loading relies on it.
    HWND document = AppState.activeDocument;
    SetDocumentData(document, DocumentWindow::changed, 0);
    SendMessageA(DocumentEdit(document), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(Slot(document, DocumentWindow::changed), 0);
}

TEST_F(DocumentWindowTest, ActivationKeepsTheActiveFieldsOnTheActiveDocument)
{
    HWND first = AppState.activeDocument;
    Command(IDM_FILENEW);
    HWND second = AppState.activeDocument;
    ASSERT_NE(second, first);
    EXPECT_EQ(AppState.activeEdit, DocumentEdit(second));

    SendMessageA(AppState.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(AppState.activeDocument, first);
    EXPECT_EQ(AppState.activeEdit, DocumentEdit(first));
    SendMessageA(AppState.mdiClient, WM_MDINEXT, 0, 0);
    EXPECT_EQ(AppState.activeDocument, second);
    EXPECT_EQ(AppState.activeEdit, DocumentEdit(second));

    SendMessageA(second, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(AppState.activeDocument, first);
    EXPECT_EQ(AppState.activeEdit, DocumentEdit(first));
    SendMessageA(first, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(DocumentWindows().empty());
    EXPECT_EQ(AppState.activeDocument, nullptr);
    EXPECT_EQ(AppState.activeEdit, nullptr);
}

TEST_F(CloseQuestion, UnchangedDocumentClosesWithoutAsking)
{
    DialogAnswers answers;
    HWND document = AppState.activeDocument;
    SendMessageA(document, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(document));
    EXPECT_TRUE(answers.Seen().empty());
}

// Yes keeps an untitled document too when its name is not given: the
// save-as dialog that follows is cancelled.
TEST_F(CloseQuestion, AsksWithTheTitleAndKeepsAnUntitledDocumentOnCancelAndYes)
{
    HWND document = AppState.activeDocument;
    TypeOver(document, "\x95\x5c");
    for (int answer : {IDCANCEL, IDYES}) {
        DialogAnswers answers;
        answers.ThenPress(answer);
        if (answer == IDYES) {
            answers.ThenPress(IDCANCEL);
        }
        SendMessageA(document, WM_CLOSE, 0, 0);
        PumpMessages();
        ASSERT_EQ(answers.Seen().size(), answer == IDYES ? 2u : 1u) << answer;
        EXPECT_EQ(answers.Seen()[0].caption, kQuestionCaption);
        EXPECT_EQ(answers.Seen()[0].texts,
                  (std::vector<std::string>{Question("書簡1"), "はい(&ﾊ)", "いいえ(&ｲ)", "取消(&ﾄ)"}));
        EXPECT_TRUE(IsWindow(document)) << answer;
        EXPECT_EQ(Slot(document, DocumentWindow::changed), 1) << answer;
    }
}

TEST_F(CloseQuestion, TitledDocumentIsWrittenOnYesAndLeftAloneOnNo)
{
    struct Case {
        int answer;
        const char* onDisk;
    };
    const Case cases[] = {{IDYES, "new \x95\x5c\r\n"}, {IDNO, "old\r\n"}};
    for (const Case& c : cases) {
        TempDirectory dir;
        HWND document = OpenFile(dir, "doc.txt", "old\r\n");
        ASSERT_NE(document, nullptr);
        TypeOver(document, "new \x95\x5c\r\n");
        DialogAnswers answers;
        answers.ThenPress(c.answer);
        SendMessageA(document, WM_CLOSE, 0, 0);
        PumpMessages();
        ASSERT_EQ(answers.Seen().size(), 1u) << c.answer;
        EXPECT_EQ(answers.Seen()[0].texts[0], Question(UpperCase(dir.File("doc.txt"))));
        EXPECT_FALSE(IsWindow(document)) << c.answer;
        EXPECT_EQ(dir.Read("doc.txt"), c.onDisk) << c.answer;
    }
}

TEST_F(CloseQuestion, LongTitleIsCutOnACharacterBoundary)
{
    std::string wide;
    for (int i = 0; i < 40; ++i) {
        wide += "\x95\x5c";
    }
    struct Case {
        std::string title;
        std::string shown;
    };
    // A double-byte character that would straddle byte 63 is left out whole.
    const Case cases[] = {
        {wide, wide.substr(0, 62)},
        {"a" + wide, "a" + wide.substr(0, 62)},
        {std::string(100, 'x'), std::string(63, 'x')},
        {std::string(63, 'y'), std::string(63, 'y')},
    };
    HWND document = AppState.activeDocument;
    TypeOver(document, "changed");
    for (const Case& c : cases) {
        SetWindowTextA(document, c.title.c_str());
        DialogAnswers answers;
        answers.ThenPress(IDCANCEL);
        SendMessageA(document, WM_CLOSE, 0, 0);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].texts[0], Question(c.shown)) << c.title.size();
    }
}

TEST_F(CloseQuestion, CloseAllStopsAtTheFirstCancelAndKeepsEveryDocument)
{
    TempDirectory dir;
    HWND a = OpenFile(dir, "a.txt", "a\r\n");
    HWND b = OpenFile(dir, "b.txt", "b\r\n");
    HWND c = OpenFile(dir, "c.txt", "c\r\n");
    ASSERT_TRUE(a && b && c);
    TypeOver(a, "A\r\n");
    TypeOver(b, "B\r\n");
    TypeOver(c, "C\r\n");

    DialogAnswers answers;
    answers.ThenPress(IDYES);
    answers.ThenPress(IDNO);
    answers.ThenPress(IDCANCEL);
    Command(IDM_WINCLOSEALL);

    // Asked top first: the newest document is on top.
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[0].texts[0], Question(UpperCase(dir.File("c.txt"))));
    EXPECT_EQ(answers.Seen()[1].texts[0], Question(UpperCase(dir.File("b.txt"))));
    EXPECT_EQ(answers.Seen()[2].texts[0], Question(UpperCase(dir.File("a.txt"))));
    EXPECT_EQ(dir.Read("c.txt"), "C\r\n");
    EXPECT_EQ(dir.Read("b.txt"), "b\r\n");
    EXPECT_EQ(dir.Read("a.txt"), "a\r\n");
    EXPECT_EQ(DocumentWindows().size(), 4u);
    EXPECT_EQ(Slot(c, DocumentWindow::changed), 0);
    EXPECT_EQ(Slot(b, DocumentWindow::changed), 1);
    EXPECT_EQ(Slot(a, DocumentWindow::changed), 1);
}

TEST_F(CloseQuestion, CancelledExitKeepsTheFrame)
{
    const UINT messages[] = {WM_COMMAND, WM_CLOSE};
    HWND document = AppState.activeDocument;
    TypeOver(document, "text");
    for (UINT message : messages) {
        DialogAnswers answers;
        answers.ThenPress(IDCANCEL);
        SendMessageA(frame(), message, message == WM_COMMAND ? IDM_FILEEXIT : 0, 0);
        PumpMessages();
        EXPECT_EQ(answers.Seen().size(), 1u) << message;
        EXPECT_TRUE(IsWindow(frame())) << message;
        EXPECT_TRUE(IsWindow(document)) << message;
    }
}

TEST_F(CloseQuestion, EndOfSessionIsRefusedWhileADocumentRefuses)
{
    HWND document = AppState.activeDocument;
    {
        DialogAnswers none;
        EXPECT_EQ(SendMessageA(frame(), WM_QUERYENDSESSION, 0, 0), 1) << "nothing changed";
    }
    TypeOver(document, "text");
    DialogAnswers answers;
    answers.ThenPress(IDCANCEL);
    answers.ThenPress(IDNO);
    EXPECT_EQ(SendMessageA(frame(), WM_QUERYENDSESSION, 0, 0), 0);
    EXPECT_EQ(SendMessageA(frame(), WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(IsWindow(frame()));
}

// Writing fails: the document keeps its changes and its window, whatever
// asked for the save.
TEST_F(CloseQuestion, FailedSaveKeepsTheDocumentOpenAndChanged)
{
    struct Case {
        const char* name;
        bool asks;
        void (*request)(HWND frame, HWND document);
    };
    const Case cases[] = {
        {"save", false, [](HWND, HWND document) { SendMessageA(document, WM_COMMAND, IDM_FILESAVE, 0); }},
        {"close", true, [](HWND, HWND document) { SendMessageA(document, WM_CLOSE, 0, 0); }},
        {"close all", true, [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_WINCLOSEALL, 0); }},
        {"exit", true, [](HWND frame, HWND) { SendMessageA(frame, WM_COMMAND, IDM_FILEEXIT, 0); }},
    };
    TempDirectory dir;
    const std::string path = UpperCase(dir.File("missing\\doc.txt"));
    HWND document = AppState.activeDocument;
    SetWindowTextA(document, path.c_str());
    SetDocumentData(document, DocumentWindow::untitled, 0);
    for (const Case& c : cases) {
        TypeOver(document, "text");
        DialogAnswers answers;
        if (c.asks) {
            answers.ThenPress(IDYES);
        }
        answers.ThenPress(IDOK);
        c.request(frame(), document);
        PumpMessages();
        const std::vector<SeenDialog>& seen = answers.Seen();
        ASSERT_EQ(seen.size(), c.asks ? 2u : 1u) << c.name;
        EXPECT_EQ(seen.back().caption, kQuestionCaption) << c.name;
        EXPECT_EQ(seen.back().texts[0], "「" + path + "」 ファイルを作成できません。") << c.name;
        EXPECT_TRUE(IsWindow(frame())) << c.name;
        EXPECT_TRUE(IsWindow(document)) << c.name;
        EXPECT_EQ(Slot(document, DocumentWindow::changed), 1) << c.name;
    }
    EXPECT_FALSE(dir.Exists("missing"));
}

}  // namespace
