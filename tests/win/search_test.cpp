// Finding and replacing through the find and replace dialogs, F3 and F4,
// on Japanese text: what the user sees selected and the text that results.

#include "app/app_state.h"
#include "document/document_window.h"
#include "res/resource.h"
#include "search/search_engine.h"
#include "search/search_state.h"
#include "tests/win/harness.h"
#include "text/sjis.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kReplaceAllDone[] = "全て単語置き換え終了しました。";
constexpr char kOk[] = "了解(&ﾘ)";

std::string NotFound(const std::string& find)
{
    return "「" + find + "」 が見つかりません。";
}

// Whether the edit control counts positions in bytes (Windows) or UTF-16
// units (Wine); found out here independently of the program's own probe.
bool EditCountsBytes()
{
    static const bool bytes = [] {
        HWND probe = CreateWindowExA(0, "edit", "表", WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr,
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

DWORD ControlPosition(const std::string& text, std::size_t bytes)
{
    if (EditCountsBytes()) {
        return static_cast<DWORD>(bytes);
    }
    return static_cast<DWORD>(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(bytes), nullptr, 0));
}

std::string TextOf(HWND edit)
{
    const int length = static_cast<int>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got =
        static_cast<int>(SendMessageA(edit, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::size_t ByteOffset(const std::string& text, DWORD position)
{
    if (EditCountsBytes()) {
        return position;
    }
    std::size_t offset = 0;
    for (DWORD i = 0; i < position && offset < text.size(); ++i) {
        offset = static_cast<std::size_t>(NextChar932(text.c_str() + offset) - text.c_str());
    }
    return offset;
}

// What the user sees: the text before the selection, and the selection.
using Shown = std::pair<std::string, std::string>;

Shown ShownIn(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::string text = TextOf(edit);
    const std::size_t from = ByteOffset(text, start);
    const std::size_t to = ByteOffset(text, end);
    return {text.substr(0, from), text.substr(from, to - from)};
}

// A clicked button, handled before this returns.
void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

class SearchTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        SearchState = SearchStateRecord();
    }
    void TearDown() override
    {
        SearchState = SearchStateRecord();
        FrameTest::TearDown();
    }

    HWND edit() const { return AppState.activeEdit; }

    // The whole text, bytes start to end selected, and the document unchanged.
    void Place(const std::string& text, std::size_t start, std::size_t end)
    {
        SendMessageA(edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(edit(), EM_SETSEL, ControlPosition(text, start), ControlPosition(text, end));
        SetDocumentData(AppState.activeDocument, DocumentWindow::changed, 0);
    }

    LONG_PTR Changed() const { return GetDocumentData(AppState.activeDocument, DocumentWindow::changed); }

    // Presses a key as the message loop's accelerator translation sees it.
    void Key(WPARAM key)
    {
        MSG msg = {};
        msg.hwnd = edit();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        msg.lParam = 0x00000001;
        TranslateAcceleratorA(frame(), AppState.accelerators, &msg);
        PumpMessages();
    }
};

using FindDialog = SearchTest;
using ReplaceDialog = SearchTest;
using SearchKeys = SearchTest;

// Lead bytes decide every step through the text; the program's own test
// must be the platform's.
TEST(SearchPlatform, LeadBytesAreThePlatformsOwn)
{
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsLeadByte932(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != FALSE)
            << b;
    }
}

struct Press {
    int button;
    Shown shown;
};

TEST_F(FindDialog, FindsBothWaysNeverInsideACharacter)
{
    struct Case {
        std::string text, find;
        std::vector<Press> presses;
    };
    // 表 ends in the byte of a backslash, ア in that of 'A', ポ in that of '|'.
    const Case cases[] = {
        {"a表\\b表\\c", "\\",
         {{IDOK, {"a表", "\\"}}, {IDOK, {"a表\\b表", "\\"}}, {IDC_FIND_BACKWARD, {"a表", "\\"}}}},
        {"表示と表示と表", "表示",
         {{IDOK, {"表示と", "表示"}}, {IDC_FIND_BACKWARD, {"", "表示"}}}},
        {"アAポ|A", "A", {{IDOK, {"ア", "A"}}, {IDOK, {"アAポ|", "A"}}, {IDC_FIND_BACKWARD, {"ア", "A"}}}},
        {"ポ|", "|", {{IDOK, {"ポ", "|"}}}},
        {"aaaa", "aa", {{IDOK, {"a", "aa"}}, {IDOK, {"aa", "aa"}}}},   // overlapping occurrences
    };
    for (const Case& c : cases) {
        Place(c.text, 0, 0);
        std::vector<Shown> seen;
        DialogAnswers answers;
        answers.Then([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_FIND_TEXT, c.find.c_str());
            for (const Press& p : c.presses) {
                Click(dialog, p.button);
                seen.push_back(ShownIn(edit()));
            }
            PressButton(dialog, IDCANCEL);
        });
        Command(IDM_SEARCHFIND);
        ASSERT_EQ(seen.size(), c.presses.size()) << c.text;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i], c.presses[i].shown) << c.text << ", press " << i;
        }
        EXPECT_STREQ(SearchState.findText, c.find.c_str());
        EXPECT_EQ(Changed(), 0) << "finding changes nothing";
    }
}

TEST_F(FindDialog, NotFoundIsReportedAndTheDialogComesBack)
{
    Place("語と語", 0, 0);
    HWND dialog = nullptr;
    Shown afterLast;
    bool activeAgain = false;
    DialogAnswers answers;
    answers.Then([&](HWND d) {
        dialog = d;
        SetDlgItemTextA(d, IDC_FIND_TEXT, "語");
        Click(d, IDOK);
        afterLast = ShownIn(edit());
        PressButton(d, IDOK);
    });
    answers.ThenPress(IDOK);
    answers.Then([&](HWND d) {
        activeAgain = d == dialog && GetActiveWindow() == dialog;
        PressButton(d, IDCANCEL);
    });
    Command(IDM_SEARCHFIND);
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(afterLast, Shown("語と", "語"));
    EXPECT_EQ(answers.Seen()[1].texts, (std::vector<std::string>{NotFound("語"), kOk}));
    EXPECT_TRUE(activeAgain) << "the dialog is back on top after the report";
    EXPECT_EQ(ShownIn(edit()), Shown("語と", "語")) << "a failed search keeps the selection";
}

TEST_F(FindDialog, BackwardFromTheStartFindsNothing)
{
    Place("語と語", 0, 0);
    DialogAnswers answers;
    answers.Then([&](HWND d) {
        SetDlgItemTextA(d, IDC_FIND_TEXT, "語");
        PressButton(d, IDC_FIND_BACKWARD);
    });
    answers.ThenPress(IDOK);
    answers.ThenPress(IDCANCEL);
    Command(IDM_SEARCHFIND);
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[1].texts[0], NotFound("語"));
}

TEST_F(FindDialog, ButtonsWorkOnlyWhileThereIsSomethingToFind)
{
    struct Case {
        UINT command;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {IDM_SEARCHFIND, {IDOK, IDC_FIND_BACKWARD}},
        {IDM_SEARCHREPLACE, {IDOK, IDC_REPLACE_AND_FIND, IDC_REPLACE_ALL}},
    };
    for (const Case& c : cases) {
        std::vector<std::vector<bool>> states;
        auto record = [&](HWND d) {
            std::vector<bool> now;
            for (int id : c.buttons) {
                now.push_back(Enabled(d, id));
            }
            states.push_back(now);
        };
        DialogAnswers answers;
        answers.Then([&](HWND d) {
            record(d);
            SetDlgItemTextA(d, IDC_FIND_TEXT, "語");
            record(d);
            SetDlgItemTextA(d, IDC_REPLACE_TEXT, "");
            record(d);
            SetDlgItemTextA(d, IDC_FIND_TEXT, "");
            record(d);
            PressButton(d, IDCANCEL);
        });
        Command(c.command);
        const std::vector<bool> off(c.buttons.size(), false);
        const std::vector<bool> on(c.buttons.size(), true);
        EXPECT_EQ(states, (std::vector<std::vector<bool>>{off, on, on, off})) << c.command;
    }
}

TEST_F(ReplaceDialog, OpensWithTheStringsAndCancelKeepsThem)
{
    std::strcpy(SearchState.findText, "検索");
    std::strcpy(SearchState.replaceText, "置換");
    std::vector<std::string> fields;
    bool enabled = false;
    DialogAnswers answers;
    answers.Then([&](HWND d) {
        fields = {TitleOf(GetDlgItem(d, IDC_FIND_TEXT)), TitleOf(GetDlgItem(d, IDC_REPLACE_TEXT))};
        enabled = Enabled(d, IDC_REPLACE_ALL);
        SetDlgItemTextA(d, IDC_FIND_TEXT, "別");
        SetDlgItemTextA(d, IDC_REPLACE_TEXT, "物");
        PressButton(d, IDCANCEL);
    });
    Command(IDM_SEARCHREPLACE);
    EXPECT_EQ(fields, (std::vector<std::string>{"検索", "置換"}));
    EXPECT_TRUE(enabled);
    EXPECT_STREQ(SearchState.findText, "検索");
    EXPECT_STREQ(SearchState.replaceText, "置換");
}

TEST_F(ReplaceDialog, ReplaceAndFindGoesOnAfterTheInsertedText)
{
    struct Case {
        std::string text;
        std::size_t start, end;  // the selection before the press, in bytes
        std::string find, replace;
        std::string result;
        Shown shown;
        bool found;
    };
    const Case cases[] = {
        {"あいあい", 0, 2, "あ", "え", "えいあい", {"えい", "あ"}, true},
        {"xあ", 0, 0, "あ", "y", "yxあ", {"yx", "あ"}, true},                // inserted at the caret
        {"a", 0, 1, "a", "ba", "ba", {"", "ba"}, false},                     // never its own replacement
        {"aab", 0, 1, "a", "", "ab", {"", "a"}, true},                       // the next one right there
        {"表\\表\\", 0, 2, "\\", "／", "／\\表\\", {"／", "\\"}, true},
    };
    for (const Case& c : cases) {
        Place(c.text, c.start, c.end);
        DialogAnswers answers;
        Shown shown;
        answers.Then([&](HWND d) {
            SetDlgItemTextA(d, IDC_FIND_TEXT, c.find.c_str());
            SetDlgItemTextA(d, IDC_REPLACE_TEXT, c.replace.c_str());
            if (c.found) {
                Click(d, IDC_REPLACE_AND_FIND);
                shown = ShownIn(edit());
                PressButton(d, IDCANCEL);
            } else {
                PressButton(d, IDC_REPLACE_AND_FIND);
            }
        });
        if (!c.found) {
            answers.Then([&](HWND box) {
                shown = ShownIn(edit());
                PressButton(box, IDOK);
            });
            answers.ThenPress(IDCANCEL);
        }
        Command(IDM_SEARCHREPLACE);
        EXPECT_EQ(TextOf(edit()), c.result) << c.text;
        EXPECT_EQ(shown, c.shown) << c.text;
        EXPECT_EQ(Changed(), 1) << c.text;
        EXPECT_EQ(answers.Seen().size(), c.found ? 1u : 3u) << c.text;
    }
}

// 1 MB of Japanese lines, 10,000 of them holding the find string once.
struct LargeText {
    std::string text, replaced, lastBefore;
};

LargeText MakeLargeText(const std::string& find, const std::string& replace)
{
    const std::string words = "日本語の文章と表示\\、ポ|ア。";
    LargeText large;
    std::size_t lastAt = 0;
    for (int occurrences = 0; large.text.size() < 1000000;) {
        for (int i = 0; i < 3; ++i) {
            large.text += words;
            large.replaced += words;
        }
        if (occurrences < 10000) {
            ++occurrences;
            lastAt = large.replaced.size();
            large.text += find;
            large.replaced += replace;
        }
        large.text += "\r\n";
        large.replaced += "\r\n";
    }
    large.lastBefore = large.replaced.substr(0, lastAt);
    return large;
}

TEST_F(ReplaceDialog, ReplaceAllOnAMegabyteInOneGo)
{
    const std::string find = "検索";
    const std::string replace = "置換語";
    LargeText large = MakeLargeText(find, replace);
    std::size_t occurrences = 0;
    for (std::size_t at = large.text.find(find); at != std::string::npos; at = large.text.find(find, at + 1)) {
        ++occurrences;
    }
    ASSERT_EQ(occurrences, 10000u);
    Place(large.text, 0, 0);

    HWND dialog = nullptr;
    bool ownedByLiveDialog = false;
    DialogAnswers answers;
    answers.Then([&](HWND d) {
        dialog = d;
        SetDlgItemTextA(d, IDC_FIND_TEXT, find.c_str());
        SetDlgItemTextA(d, IDC_REPLACE_TEXT, replace.c_str());
        PressButton(d, IDC_REPLACE_ALL);
    });
    answers.Then([&](HWND box) {
        ownedByLiveDialog = IsWindow(dialog) && GetWindow(box, GW_OWNER) == dialog;
        PressButton(box, IDOK);
    });
    Command(IDM_SEARCHREPLACE);

    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].texts, (std::vector<std::string>{kReplaceAllDone, kOk}));
    EXPECT_TRUE(ownedByLiveDialog) << "the completion message comes while the dialog is up";
    EXPECT_FALSE(IsWindow(dialog)) << "replace-all closes the dialog";
    EXPECT_TRUE(TextOf(edit()) == large.replaced) << "the text is not the expected replacement";
    EXPECT_EQ(ShownIn(edit()), Shown(large.lastBefore, replace)) << "the last replacement is selected";
    EXPECT_EQ(Changed(), 1);
}

TEST_F(ReplaceDialog, ReplaceAllCases)
{
    struct Case {
        std::string text, find, replace;
        std::string result;
        Shown shown;
        LONG_PTR changed;
    };
    const Case cases[] = {
        {"語a語語", "語", "", "a", {"a", ""}, 1},                   // consecutive occurrences all go
        {"あ", "あ", "ああ", "ああ", {"", "ああ"}, 1},              // one pass only
        {"表\\ア", "\\", "＼", "表＼ア", {"表", "＼"}, 1},
        {"アイウ", "A", "B", "アイウ", {"", ""}, 0},                // none: the caret goes to the start
        {"語と語", "語", "語", "語と語", {"語と", "語"}, 0},        // replaced by itself: nothing changed
    };
    for (const Case& c : cases) {
        Place(c.text, c.text.size(), c.text.size());
        DialogAnswers answers;
        answers.Then([&](HWND d) {
            SetDlgItemTextA(d, IDC_FIND_TEXT, c.find.c_str());
            SetDlgItemTextA(d, IDC_REPLACE_TEXT, c.replace.c_str());
            PressButton(d, IDC_REPLACE_ALL);
        });
        answers.ThenPress(IDOK);
        Command(IDM_SEARCHREPLACE);
        ASSERT_EQ(answers.Seen().size(), 2u) << c.text;
        EXPECT_EQ(answers.Seen()[1].texts[0], kReplaceAllDone) << "shown even when nothing was found";
        EXPECT_EQ(TextOf(edit()), c.result) << c.text;
        EXPECT_EQ(ShownIn(edit()), c.shown) << c.text;
        EXPECT_EQ(Changed(), c.changed) << c.text;
    }
}

// A field holds at most 159 bytes of whole characters; the copy into
// SearchState never keeps half a character.
TEST_F(FindDialog, StringsAreCutOnWholeCharacters)
{
    std::string kanji;
    for (int i = 0; i < 100; ++i) {
        kanji += "語";
    }
    struct Case {
        std::string typed;
        std::size_t kept;
    };
    const Case cases[] = {
        {kanji, 158},
        {"a" + kanji, 159},
        {std::string(200, 'x'), 159},
    };
    for (const Case& c : cases) {
        Place("", 0, 0);
        LRESULT limit = 0;
        DialogAnswers answers;
        answers.Then([&](HWND d) {
            limit = SendDlgItemMessageA(d, IDC_FIND_TEXT, EM_GETLIMITTEXT, 0, 0);
            // Set as a paste would set it, past the limit that typing meets.
            SendDlgItemMessageA(d, IDC_FIND_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed.c_str()));
            PressButton(d, IDOK);
        });
        answers.ThenPress(IDOK);
        answers.ThenPress(IDCANCEL);
        Command(IDM_SEARCHFIND);
        EXPECT_EQ(limit, 159);
        EXPECT_EQ(std::strlen(SearchState.findText), c.kept);
        EXPECT_EQ(std::string(SearchState.findText), c.typed.substr(0, c.kept));
    }
}

// A find string with no whole character finds and replaces nothing, and
// never wipes the text.
TEST_F(ReplaceDialog, AFindStringOfNoWholeCharacterDoesNothing)
{
    Place("表示", 0, 0);
    std::strcpy(SearchState.findText, "\x95");
    SearchState.replaceText[0] = '\0';
    DialogAnswers answers;
    EXPECT_EQ(FindText(+1, 0), 0);
    EXPECT_EQ(FindText(+1, 1), 0);
    EXPECT_FALSE(ReplaceAll());
    PumpMessages();
    EXPECT_EQ(TextOf(edit()), "表示");
    EXPECT_EQ(Changed(), 0);
    EXPECT_TRUE(answers.Seen().empty()) << "nothing is reported";
}

TEST_F(SearchKeys, F3AndF4RepeatTheSearchInAnotherDocument)
{
    Place("語", 0, 0);
    DialogAnswers answers;
    answers.Then([&](HWND d) {
        SetDlgItemTextA(d, IDC_FIND_TEXT, "語");
        PressButton(d, IDOK);
    });
    answers.ThenPress(IDOK);
    answers.ThenPress(IDCANCEL);
    Command(IDM_SEARCHFIND);
    ASSERT_EQ(answers.Seen().size(), 3u);

    Command(IDM_FILENEW);
    ASSERT_EQ(DocumentWindows().size(), 2u);
    Place("語a語b語", 0, 0);
    std::vector<Shown> seen;
    for (WPARAM key : {VK_F3, VK_F3, VK_F4}) {
        Key(key);
        seen.push_back(ShownIn(edit()));
    }
    EXPECT_EQ(seen, (std::vector<Shown>{{"語a", "語"}, {"語a語b", "語"}, {"語a", "語"}}));
    EXPECT_EQ(answers.Seen().size(), 3u) << "no message";
}

TEST_F(SearchKeys, F3OpensTheFindDialogWhileThereIsNothingToFind)
{
    Place("語", 0, 0);
    DialogAnswers answers;
    answers.ThenPress(IDCANCEL);
    Key(VK_F4);
    EXPECT_TRUE(answers.Seen().empty()) << "find-previous is grayed, so F4 does nothing";
    Key(VK_F3);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "文章中の単語の検索");
}

}  // namespace
