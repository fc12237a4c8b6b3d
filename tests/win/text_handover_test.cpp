// The edit control's text and its hand-over: a save asks before it writes a
// character that code page 932 lacks, a find shows what it found and changes
// nothing else, a closed document gives its text back, and a save lays
// nothing out again. Where it matters, both ways of handing the text over
// are run, whichever one the platform's control was found to need.

#include "app/frame.h"
#include "document/document_data.h"
#include "document/editing_commands.h"
#include "document/wrap_mode.h"
#include "res/resource.h"
#include "search/search_engine.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "tests/win/file_support.h"
#include "tests/win/harness.h"

#include <psapi.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using TextHandOver = FrameTest;

struct HandOver {
    const char* name;
    bool blockIsText;
};
const HandOver kHandOvers[] = {{"lending the block", true}, {"by text messages", false}};

// Pasted or typed text that has no code page 932 form: the euro sign, i with
// diaeresis and a character beyond the basic plane.
const wchar_t kOutside932[] = L"\u20ac100 na\u00efve \U00020BB7";

void TypeAtEnd(HWND edit, const wchar_t* text)
{
    SendMessageW(edit, EM_SETSEL, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::string ChangedOnSaveQuestion(const std::string& path, int line)
{
    return "「" + path + "」の" + std::to_string(line) +
           "行目の文字は、保管すると別の文字として書き込まれます。\rそれでも保管しますか";
}

// Only where the control holds UTF-16: Windows' ANSI control cannot hold
// such characters, and its save asks nothing.
TEST_F(TextHandOver, ASaveAsksBeforeACharacterChangesAndNoSavesNothing)
{
    // ï alone has a best-fit stand-in (i) that must not be taken for it.
    for (const wchar_t* typed : {kOutside932, L"na\u00efve"}) {
        for (int answer : {IDNO, IDYES}) {
            SCOPED_TRACE(std::string(typed == kOutside932 ? "three" : "best fit only") + (answer == IDYES ? ", yes" : ", no"));
            AppState.editBlockIsItsText = false;
            TempDirectory dir;
            ASSERT_NE(CreateDocumentWindow(nullptr), nullptr);
            HWND document = NamedDocument(dir.File("memo.txt"), "\x95\x5c one\r\n");
            HWND edit = DocumentEdit(document);
            TypeAtEnd(edit, typed);
            const std::wstring shown = ShownText(edit);

            DialogAnswers answers;
            answers.ThenPress(answer);
            EXPECT_EQ(Save(document), answer == IDYES ? 0 : 1);
            ASSERT_EQ(answers.Seen().size(), 1u);
            EXPECT_EQ(answers.Seen()[0].caption, "モクレ");
            EXPECT_EQ(answers.Seen()[0].texts,
                      (std::vector<std::string>{ChangedOnSaveQuestion(UpperCase(dir.File("memo.txt")), 2),
                                                "はい(&ﾊ)", "いいえ(&ｲ)"}));
            EXPECT_EQ(dir.Exists("memo.txt"), answer == IDYES);
            if (answer == IDYES) {
                EXPECT_EQ(dir.Read("memo.txt"), EditText(edit));
            }
            EXPECT_EQ(Changed(document), answer == IDYES ? 0 : 1);
            EXPECT_EQ(ShownText(edit), shown);
        }
    }
}

TEST_F(TextHandOver, AFindChangesNothingTheControlShows)
{
    HWND edit = DocumentEdit(AppState.activeDocument);
    TypeAtEnd(edit, kOutside932);
    const std::wstring shown = ShownText(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    std::strcpy(SearchState.findText, "100");
    DialogAnswers answers;
    ASSERT_EQ(FindText(1, 0), 1);
    EXPECT_EQ(ShownText(edit), shown);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(shown.substr(start, end - start), L"100");
}

// EM_GETHANDLE's rule: no message may reach the control while its block is
// locked. Only where the block is lent; the caret at the start or, clamped,
// at the end; the report's box is answered.
TEST_F(TextHandOver, NoMessageReachesTheControlWhileItsBlockIsLocked)
{
    AppState.editBlockIsItsText = true;
    HWND edit = DocumentEdit(AppState.activeDocument);
    std::strcpy(SearchState.findText, "\x95\x5c");
    std::strcpy(SearchState.replaceText, "\x8e\xa6");
    const std::pair<WPARAM, std::function<void()>> commands[] = {
        {0, [&] { ShowDocumentInformation(frame(), edit); }},
        {0, [] { FindText(1, 0); }},
        {1000, [] { FindText(-1, 0); }},
        {0, [] { FindText(1, 1); }},
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        const auto& [caret, run] = commands[i];
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one \x95\x5c\r\ntwo \x95\x5c one"));
        SendMessageA(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        HLOCAL block = reinterpret_cast<HLOCAL>(SendMessageA(edit, EM_GETHANDLE, 0, 0));
        std::vector<UINT> whileLocked;
        DialogAnswers answers;
        answers.ThenPress(IDOK);
        const SentMessages spy([&](HWND window, UINT message, WPARAM) {
            if (window == edit && (LocalFlags(block) & LMEM_LOCKCOUNT) != 0) {
                whileLocked.push_back(message);
            }
        });
        run();
        EXPECT_EQ(whileLocked, std::vector<UINT>{}) << "command " << i;
    }
}

// The process's commit charge, its private memory: Wine answers 0 for
// PrivateUsage but fills PagefileUsage, which Windows keeps equal to it.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Searching borrows the control's block where it lends it; closing must give
// it back. Text given and read by messages is never borrowed. Five lost
// blocks are five files, far above what the heap keeps; a larger file only
// makes Wine's layout of each opening slower.
TEST_F(TextHandOver, OpenFindAndCloseFiveTimesKeepsLessThanOneFile)
{
    constexpr std::size_t kFileBytes = 4u * 1024 * 1024;
    TempDirectory dir;
    std::string line(98, 'a');
    line += "\r\n";
    std::string text;
    text.reserve(kFileBytes);
    while (text.size() + line.size() <= kFileBytes) {
        text += line;
    }
    text += "end";
    dir.Write("large.txt", text);
    text.clear();
    text.shrink_to_fit();
    std::strcpy(SearchState.findText, "end");

    AppState.editBlockIsItsText = true;
    const SIZE_T before = PrivateBytes();
    for (int round = 0; round < 5; ++round) {
        DialogAnswers answers;
        HWND document = OpenDocument(dir.File("large.txt"));
        ASSERT_NE(document, nullptr);
        Command(IDM_SEARCHNEXT);
        EXPECT_TRUE(answers.Seen().empty());
        SendMessageA(AppState.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        PumpMessages();
    }
    const SIZE_T after = PrivateBytes();
    ASSERT_GT(before, 0u) << "the platform reports no private memory";
    EXPECT_LT(after, before + kFileBytes) << "private bytes before " << before << ", after " << after;
}

// What reaches the control while a save runs.
std::vector<UINT> seenMessages;
WNDPROC controlProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seenMessages.push_back(message);
    return CallWindowProcA(controlProc, window, message, wParam, lParam);
}

TEST_F(TextHandOver, ASaveEmptiesUndoAndLaysNothingOutAgain)
{
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "\x95\x5c line " + std::to_string(i) + "\r\n";
    }
    for (const HandOver& handOver : kHandOvers) {
        SCOPED_TRACE(handOver.name);
        AppState.editBlockIsItsText = handOver.blockIsText;
        TempDirectory dir;
        HWND document = NamedDocument(dir.File("long.txt"), text);
        HWND edit = DocumentEdit(document);
        SendMessageA(edit, EM_SETSEL, 1000, 1002);
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        ASSERT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));

        seenMessages.clear();
        controlProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
        const LRESULT saved = Save(document);
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
        ASSERT_EQ(saved, 0);

        for (UINT message : seenMessages) {
            EXPECT_NE(message, static_cast<UINT>(EM_SETHANDLE));
            EXPECT_NE(message, static_cast<UINT>(WM_SETTEXT));
            // Where the block is the text, it is written as it is: no
            // UTF-16 copy is read to look for characters it cannot hold.
            if (handOver.blockIsText) {
                EXPECT_NE(message, static_cast<UINT>(WM_GETTEXT));
            }
        }
        EXPECT_EQ(dir.Read("long.txt"), text);
        EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
        EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
        EXPECT_EQ(Changed(document), 0);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 1000u);
        EXPECT_EQ(end, 1002u);
    }
}

// Commands that change part of the text, or move it to another control,
// leave every other character as it was, one code page 932 lacks too.
TEST_F(TextHandOver, CommandsChangeNoCharacterTheyDoNotTouch)
{
    HWND document = AppState.activeDocument;
    const auto replace = [](const char* find, const char* with) {
        std::strcpy(SearchState.findText, find);
        std::strcpy(SearchState.replaceText, with);
    };
    const struct {
        const char* what;
        const wchar_t* text;
        std::function<void()> command;
        const wchar_t* shown;
    } cases[] = {
        {"wrap switch", L"\u20ac100 \U00020BB7 end", [&] { SetWrapMode(document, 0); }, L"\u20ac100 \U00020BB7 end"},
        {"replace", L"\u20ac abc abc",
         [&] {
             replace("abc", "xyz");
             FindText(+1, 0);
             FindText(+1, 1);
         },
         L"\u20ac xyz abc"},
        {"replace all", L"\U00020BB7\u7530 abc \u20ac", [&] { replace("abc", "x"), ReplaceAll(); },
         L"\U00020BB7\u7530 x \u20ac"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetWrapMode(document, 1);
        HWND edit = DocumentEdit(document);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
        SendMessageW(edit, EM_SETSEL, 0, 0);
        DialogAnswers answers;
        c.command();
        EXPECT_EQ(ShownText(DocumentEdit(document)), c.shown);
        EXPECT_TRUE(answers.Seen().empty());
    }
}

// Where the block is the text, the bytes stay as they are, NEC-selected IBM
// kanji too: the load has nothing to warn of (where the control holds
// UTF-16 it warns, as the loading tests show).
TEST_F(TextHandOver, ALoadWhereTheBlockIsTheTextWarnsOfNoChangedBytes)
{
    TempDirectory dir;
    dir.Write("ibm.txt", "\xED\x40\r\n");
    AppState.editBlockIsItsText = true;
    DialogAnswers answers;
    EXPECT_NE(OpenDocument(dir.File("ibm.txt")), nullptr);
    EXPECT_TRUE(answers.Seen().empty());
}

}  // namespace
