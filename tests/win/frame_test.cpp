// The frame: documents made, found and closed, menu states, drops.

#include "app/frame.h"
#include "app/startup.h"
#include "document/document_data.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "tests/win/harness.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

using FrameWindow = FrameTest;

bool Grayed(UINT state)
{
    return (state & MF_GRAYED) != 0;
}

TEST_F(FrameWindow, StartsWithOneUntitledDocument)
{
    EXPECT_EQ(TitleOf(frame()).substr(0, 6), "モクレ");
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
    ASSERT_NE(AppState.activeDocument, nullptr);
    EXPECT_TRUE(IsZoomed(AppState.activeDocument));
    EXPECT_EQ(AppState.activeEdit, DocumentEdit(AppState.activeDocument));
}

TEST_F(FrameWindow, UntitledNumbersAreNeverReused)
{
    Command(IDM_FILENEW);
    EXPECT_EQ(TitleOf(AppState.activeDocument), "書簡2");
    Command(IDM_FILENEW);
    Command(IDM_WINCLOSEALL);
    EXPECT_TRUE(DocumentWindows().empty());
    EXPECT_EQ(AppState.activeDocument, nullptr);
    EXPECT_EQ(AppState.activeEdit, nullptr);
    EXPECT_TRUE(IsWindowVisible(AppState.mdiClient));
    Command(IDM_FILENEW);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡4"});
}

TEST_F(FrameWindow, FindUpperCasesTheSearchedNameAndComparesWholeTitles)
{
    HWND lower = AppState.activeDocument;
    SetWindowTextA(lower, "c:\\docs\\a.txt");
    Command(IDM_FILENEW);
    HWND backup = AppState.activeDocument;
    SetWindowTextA(backup, "C:\\DOCS\\A.TXT.BAK");
    Command(IDM_FILENEW);
    HWND upper = AppState.activeDocument;
    SetWindowTextA(upper, "C:\\DOCS\\\x95\x5c.TXT");

    char name[] = "c:\\docs\\a.txt";
    EXPECT_EQ(FindDocumentWindow(name), nullptr) << "titles are never upper-cased";
    EXPECT_STREQ(name, "C:\\DOCS\\A.TXT");
    char partial[] = "C:\\DOCS\\A.TXT.BA";
    EXPECT_EQ(FindDocumentWindow(partial), nullptr);
    char whole[] = "c:\\docs\\a.txt.bak";
    EXPECT_EQ(FindDocumentWindow(whole), backup);
    // The trail byte of 表 is a backslash; upper-casing leaves it alone.
    char dbcs[] = "c:\\docs\\\x95\x5c.txt";
    EXPECT_EQ(FindDocumentWindow(dbcs), upper);
    EXPECT_EQ(TitleOf(lower), "c:\\docs\\a.txt");
}

const UINT kNeedADocument[] = {
    IDM_EDITUNDO,       IDM_EDITCUT,       IDM_EDITCOPY,         IDM_EDITPASTE,      IDM_EDITCLEAR,
    IDM_EDITSELECTALL,  IDM_EDITDATEKOKI,  IDM_EDITDATEHEISEI,   IDM_EDITDATESEIREKI, IDM_EDITSELECTBELOW,
    IDM_EDITSELECTABOVE, IDM_SEARCHFIND,   IDM_SEARCHNEXT,       IDM_SEARCHPREV,     IDM_SEARCHREPLACE,
    IDM_SEARCHGOTOLINE, IDM_SEARCHTOP,     IDM_SEARCHBOTTOM,     IDM_OPTWRAP,        IDM_OPTHARDBREAK,
    IDM_OPTOEMCONVERT,  IDM_OPTFONT,       IDM_FILEPRINT,        IDM_FILEPAGESETUP,  IDM_FILESAVE,
    IDM_FILESAVEAS,     IDM_FILEINSERT,    IDM_FILESETUP,        IDM_WINTILEVERT,    IDM_WINTILEHORZ,
    IDM_WINCASCADE,     IDM_WINCLOSEALL,   IDM_WINARRANGE,
};

const UINT kAlwaysEnabled[] = {IDM_FILENEW, IDM_FILEOPEN, IDM_FILEEXIT, IDM_HELPABOUT, IDM_HELPDOCINFO};

TEST_F(FrameWindow, MenuWithoutADocumentGraysEverythingThatNeedsOne)
{
    Command(IDM_WINCLOSEALL);
    for (UINT id : kNeedADocument) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
    for (UINT id : kAlwaysEnabled) {
        EXPECT_FALSE(Grayed(MenuState(id))) << id;
    }
    EXPECT_FALSE(MenuState(IDM_OPTWRAP) & MF_CHECKED);
}

TEST_F(FrameWindow, MenuWithADocumentFollowsSelectionFindTextAndPrinter)
{
    HWND edit = AppState.activeEdit;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\x95\x5c\x8e\xa6 text"));
    SendMessageA(edit, EM_SETSEL, 0, 0);
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITCUT)));
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITCOPY)));
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITCLEAR)));
    SendMessageA(edit, EM_SETSEL, 0, 2);
    EXPECT_FALSE(Grayed(MenuState(IDM_EDITCUT)));
    EXPECT_FALSE(Grayed(MenuState(IDM_EDITCOPY)));
    EXPECT_FALSE(Grayed(MenuState(IDM_EDITCLEAR)));

    EXPECT_TRUE(MenuState(IDM_OPTWRAP) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDM_OPTHARDBREAK) & MF_CHECKED);

    SearchState.findText[0] = '\0';
    EXPECT_TRUE(Grayed(MenuState(IDM_SEARCHPREV)));
    std::strcpy(SearchState.findText, "text");
    EXPECT_FALSE(Grayed(MenuState(IDM_SEARCHPREV)));
    SearchState.findText[0] = '\0';

    // No printer has been found on this machine's profile.
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
    for (UINT id : {IDM_FILESAVE, IDM_FILESAVEAS, IDM_FILEINSERT, IDM_SEARCHFIND, IDM_SEARCHGOTOLINE,
                    IDM_WINCLOSEALL, IDM_OPTFONT, IDM_EDITSELECTALL, IDM_EDITDATESEIREKI}) {
        EXPECT_FALSE(Grayed(MenuState(id))) << id;
    }
}

TEST_F(FrameWindow, PasteNeedsTextOnTheClipboard)
{
    ASSERT_TRUE(OpenClipboard(frame()));
    EmptyClipboard();
    HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    EXPECT_TRUE(Grayed(MenuState(IDM_EDITPASTE)));

    ASSERT_TRUE(OpenClipboard(frame()));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(text), "ab", 3);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    EXPECT_FALSE(Grayed(MenuState(IDM_EDITPASTE)));
}

std::vector<WPARAM> commandsSeen;

LRESULT CALLBACK WatchCommands(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_COMMAND && call->hwnd == AppState.frameWindow) {
        commandsSeen.push_back(LOWORD(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Ctrl+F2 through the program's accelerator table, as the message loop does.
void PressControlF2()
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = AppState.frameWindow;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F2;
    TranslateAcceleratorA(AppState.frameWindow, AppState.accelerators, &msg);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

TEST_F(FrameWindow, GrayedCommandsDropTheirAccelerators)
{
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCommands, nullptr, GetCurrentThreadId());
    commandsSeen.clear();
    PressControlF2();
    EXPECT_EQ(commandsSeen, std::vector<WPARAM>{IDM_WINTILEVERT});

    Command(IDM_WINCLOSEALL);
    commandsSeen.clear();
    PressControlF2();
    EXPECT_TRUE(commandsSeen.empty()) << "tile is grayed without a document";
    UnhookWindowsHookEx(hook);
}


TEST_F(FrameWindow, DroppedFilesOpenOrComeForward)
{
    TempDirectory dir;
    dir.Write("one.txt", "first\r\n");
    dir.Write("two.txt", "second\r\n");
    dir.Write("three.txt", "third\r\n");
    char two[MAX_PATH];
    std::strcpy(two, dir.File("two.txt").c_str());
    ASSERT_NE(CreateDocumentWindow(two), nullptr);
    HWND twoWindow = AppState.activeDocument;

    // The second name differs from the open title only in letter case.
    std::string twoLower = dir.File("TWO.txt");
    SendMessageA(frame(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({dir.File("one.txt"), twoLower, dir.File("three.txt")})), 0);
    PumpMessages();

    std::vector<std::string> titles = DocumentTitles();
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[0], UpperCase(dir.File("three.txt")));
    EXPECT_NE(std::find(titles.begin(), titles.end(), UpperCase(dir.File("one.txt"))), titles.end());
    EXPECT_EQ(std::count(titles.begin(), titles.end(), UpperCase(dir.File("two.txt"))), 1);
    EXPECT_EQ(TitleOf(AppState.activeDocument), UpperCase(dir.File("three.txt")));
    EXPECT_TRUE(IsWindow(twoWindow));
}

TEST_F(FrameWindow, DropOfAFileThatCannotBeOpenedLeavesNoDocument)
{
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    TempDirectory dir;
    SendMessageA(frame(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dir.File("missing.txt")})), 0);
    PumpMessages();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
}

TEST_F(FrameWindow, HelpKeysDoNothing)
{
    Command(IDM_HELPF1);
    Command(IDM_HELPSHIFTF1);
    EXPECT_EQ(DocumentTitles(), std::vector<std::string>{"書簡1"});
}

TEST_F(FrameWindow, TileAndCascadeKeepEveryDocument)
{
    Command(IDM_FILENEW);
    Command(IDM_FILENEW);
    for (UINT id : {IDM_WINTILEVERT, IDM_WINTILEHORZ, IDM_WINCASCADE, IDM_WINARRANGE}) {
        Command(id);
        EXPECT_EQ(DocumentWindows().size(), 3u) << id;
    }
    EXPECT_FALSE(IsZoomed(AppState.activeDocument));
}

TEST_F(FrameWindow, AboutBoxClosesWithItsButtonAndEscape)
{
    DialogAnswers answers;
    answers.ThenPress(IDOK);
    answers.Then(PressEscape);
    Command(IDM_HELPABOUT);
    Command(IDM_HELPABOUT);
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].caption, "モクレの制作情報");
}

TEST_F(FrameWindow, ExitClosesTheFrameWhenNothingIsChanged)
{
    SendMessageA(frame(), WM_COMMAND, IDM_FILEEXIT, 0);
    EXPECT_FALSE(IsWindow(frame()));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    AppState.frameWindow = nullptr;
}

// Scroll bars of the MDI client that are on the screen, as a user sees them.
std::string VisibleClientScrollBars()
{
    std::string bars;
    for (LONG object : {OBJID_VSCROLL, OBJID_HSCROLL}) {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof info;
        if (GetScrollBarInfo(AppState.mdiClient, object, &info) &&
            (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0) {
            bars += object == OBJID_VSCROLL ? "vertical " : "horizontal ";
        }
    }
    return bars;
}

// Starts the frame anew, as the program does with this command line.
void Restart(const char* commandLineName)
{
    DestroyAllDocuments();
    DestroyWindow(AppState.frameWindow);
    PumpMessages();
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    const HINSTANCE instance = AppState.instance;
    AppState = AppStateRecord();
    AppState.instance = instance;
    ASSERT_TRUE(CreateFrameWindow(commandLineName, SW_SHOWNORMAL));
    PumpMessages();
}

TEST_F(FrameWindow, TheMaximisedOnlyDocumentShowsNoScrollBarOfTheClient)
{
    TempDirectory dir;
    dir.Write("memo.txt", "first line\r\n");
    const std::string file = dir.File("memo.txt");
    for (const char* start : {"", file.c_str()}) {
        SCOPED_TRACE(std::string("started with '") + start + "'");
        Restart(start);
        ASSERT_EQ(DocumentWindows().size(), 1u);
        ASSERT_TRUE(IsZoomed(AppState.activeDocument));
        EXPECT_EQ(VisibleClientScrollBars(), "");

        RECT client;
        RECT document;
        GetClientRect(AppState.mdiClient, &client);
        GetClientRect(AppState.activeDocument, &document);
        EXPECT_EQ(document.right, client.right) << "the document fills the client";
        EXPECT_EQ(document.bottom, client.bottom) << "the document fills the client";
    }
}

}  // namespace
