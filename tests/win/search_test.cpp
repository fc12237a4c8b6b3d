// Finding and replacing through the find and replace dialogs and F3/F4 on
// Japanese text: what ends up selected, before it, and the whole text.

#include "document/document_data.h"
#include "res/resource.h"
#include "search/search_engine.h"
#include "state/app_state.h"
#include "state/search_state.h"
#include "tests/win/harness.h"
#include "text/sjis.h"

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Whether the edit control counts bytes (Windows) or UTF-16 units (Wine),
// found out apart from the program's own probe.
bool EditCountsBytes()
{
    static const bool bytes = [] {
        HWND probe = CreateWindowExA(0, "edit", "表", WS_POPUP | ES_MULTILINE, 0, 0, 9, 9, nullptr, nullptr,
                                     nullptr, nullptr);
        DWORD start = 0, end = 0;
        SendMessageA(probe, EM_SETSEL, 0, -1);
        SendMessageA(probe, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        DestroyWindow(probe);
        return end == 2;
    }();
    return bytes;
}

// Between a control position and a byte offset of text, either way.
std::size_t Convert(const std::string& text, std::size_t value, bool toBytes)
{
    if (EditCountsBytes()) {
        return value;
    }
    std::size_t offset = 0, characters = 0;
    while (offset < text.size() && (toBytes ? characters < value : offset < value)) {
        offset = static_cast<std::size_t>(NextChar932(text.c_str() + offset) - text.c_str());
        ++characters;
    }
    return toBytes ? offset : characters;
}

// What the user sees: the text before the selection, and the selection.
using Shown = std::pair<std::string, std::string>;

Shown ShownIn(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::string text = EditText(edit);
    const std::size_t from = Convert(text, start, true);
    return {text.substr(0, from), text.substr(from, Convert(text, end, true) - from)};
}

// A button clicked, and everything it does done, before this returns.
void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class SearchTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        SearchState = SearchStateRecord();
    }
    HWND edit() const { return AppState.activeEdit; }
    LONG_PTR Changed() const { return GetDocumentData(AppState.activeDocument, DocumentWindow::changed); }

    // The whole text with bytes start to end selected; the document unchanged.
    void Place(const std::string& text, std::size_t start, std::size_t end)
    {
        SetWindowTextA(edit(), text.c_str());
        SendMessageA(edit(), EM_SETSEL, Convert(text, start, false), Convert(text, end, false));
        SetDocumentData(AppState.activeDocument, DocumentWindow::changed, 0);
    }

    // A key as the message loop's accelerator translation sees it.
    void Key(WPARAM key)
    {
        MSG msg = {};
        msg.hwnd = edit();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        msg.lParam = 1;
        TranslateAcceleratorA(frame(), AppState.accelerators, &msg);
        PumpMessages();
    }

    // Opens a dialog with command, fills its two fields and goes on with
    // then; further answers for what comes up after it are given by more.
    void WithDialog(UINT command, const std::string& find, const std::string& replace,
                    const std::function<void(HWND)>& then,
                    const std::function<void(DialogAnswers&)>& more = [](DialogAnswers&) {})
    {
        DialogAnswers answers;
        answers.Then([&](HWND d) {
            SetDlgItemTextA(d, IDC_FIND_TEXT, find.c_str());
            SetDlgItemTextA(d, IDC_REPLACE_TEXT, replace.c_str());
            then(d);
        });
        more(answers);
        Command(command);
        seen = answers.Seen();
    }
    std::vector<SeenDialog> seen;
};

using FindDialog = SearchTest;
using ReplaceDialog = SearchTest;
using SearchKeys = SearchTest;

// Every step through the text rests on the lead-byte test: it must be the platform's.
TEST(SearchPlatform, LeadBytesAreThePlatformsOwn)
{
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsLeadByte932(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != 0) << b;
    }
}

TEST_F(FindDialog, FindsBothWaysNeverInsideACharacter)
{
    // 表 ends in the byte of a backslash, ア in that of 'A'.
    const struct {
        std::string text, find;
        std::vector<std::pair<int, Shown>> presses;
    } cases[] = {
        {"a表\\b表\\c", "\\", {{IDOK, {"a表", "\\"}}, {IDOK, {"a表\\b表", "\\"}}, {IDC_FIND_BACKWARD, {"a表", "\\"}}}},
        {"表示と表示と表", "表示", {{IDOK, {"表示と", "表示"}}, {IDC_FIND_BACKWARD, {"", "表示"}}}},
        {"アAア|A", "A", {{IDOK, {"ア", "A"}}, {IDOK, {"アAア|", "A"}}}},
    };
    for (const auto& c : cases) {
        Place(c.text, 0, 0);
        std::vector<std::pair<int, Shown>> shown;
        WithDialog(IDM_SEARCHFIND, c.find, "", [&](HWND d) {
            for (const auto& press : c.presses) {
                Click(d, press.first);
                shown.emplace_back(press.first, ShownIn(edit()));
            }
            PressButton(d, IDCANCEL);
        });
        EXPECT_EQ(shown, c.presses) << c.text;
        EXPECT_STREQ(SearchState.findText, c.find.c_str());
        EXPECT_EQ(Changed(), 0);
    }
}

TEST_F(FindDialog, NotFoundIsReportedAndTheDialogComesBackOnTop)
{
    Place("語と語", 0, 0);
    HWND dialog = nullptr;
    bool onTop = false;
    bool held = false;
    WithDialog(IDM_SEARCHFIND, "語", "", [&](HWND d) {
        dialog = d;
        Click(d, IDOK);
        PressButton(d, IDOK);
    }, [&](DialogAnswers& more) {
        more.Then([&](HWND box) {
            held = !IsWindowEnabled(dialog);
            PressButton(box, IDOK);
        });
        more.Then([&](HWND d) {
            onTop = d == dialog && GetActiveWindow() == dialog;
            PressButton(d, IDCANCEL);
        });
    });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].texts, (std::vector<std::string>{"「語」 が見つかりません。", "了解(&ﾘ)"}));
    EXPECT_TRUE(onTop);
    EXPECT_TRUE(held) << "the dialog is held while the box is up, so that 検索 cannot stack boxes";
    EXPECT_EQ(ShownIn(edit()), Shown("語と", "語")) << "the last one found stays selected";
}

TEST_F(ReplaceDialog, ButtonsNeedAFindStringAndCancelKeepsTheStrings)
{
    std::strcpy(SearchState.replaceText, "置換");
    std::vector<std::vector<bool>> states;
    WithDialog(IDM_SEARCHREPLACE, "", "物", [&](HWND d) {
        for (const char* find : {"", "語", ""}) {
            SetDlgItemTextA(d, IDC_FIND_TEXT, find);
            states.push_back({});
            for (int id : {IDOK, IDC_REPLACE_AND_FIND, IDC_REPLACE_ALL}) {
                states.back().push_back(IsWindowEnabled(GetDlgItem(d, id)) != FALSE);
            }
        }
        PressButton(d, IDCANCEL);
    });
    const std::vector<bool> off(3, false), on(3, true);
    EXPECT_EQ(states, (std::vector<std::vector<bool>>{off, on, off}));
    EXPECT_STREQ(SearchState.findText, "");
    EXPECT_STREQ(SearchState.replaceText, "置換");
}

TEST_F(ReplaceDialog, ReplaceAndFindGoesOnAfterTheInsertedText)
{
    const struct {
        std::string text;
        std::size_t start, end;
        std::string find, replace, result;
        Shown shown;
    } cases[] = {
        {"あいあい", 0, 2, "あ", "え", "えいあい", {"えい", "あ"}},
        {"xあ", 0, 0, "あ", "あ", "あxあ", {"あx", "あ"}},   // an empty selection: inserted at the caret
        {"表\\表\\", 0, 2, "\\", "", "\\表\\", {"", "\\"}},   // the one right after is not passed
    };
    for (const auto& c : cases) {
        Place(c.text, c.start, c.end);
        WithDialog(IDM_SEARCHREPLACE, c.find, c.replace, [&](HWND d) {
            Click(d, IDC_REPLACE_AND_FIND);
            PressButton(d, IDCANCEL);
        });
        EXPECT_EQ(EditText(edit()), c.result);
        EXPECT_EQ(ShownIn(edit()), c.shown) << c.text;
        EXPECT_EQ(Changed(), 1);
    }
}

TEST_F(ReplaceDialog, ReplaceAllOnAMegabyteWithTenThousandOccurrences)
{
    const std::string words = "日本語の文章と表示\\、ポ|ア。日本語の文章と表示\\、ポ|ア。";
    std::string text, replaced;
    std::size_t lastAt = 0;
    for (int occurrences = 0; text.size() < 1000000; text += "\r\n", replaced += "\r\n") {
        text += words;
        replaced += words;
        if (occurrences++ < 10000) {
            lastAt = replaced.size();
            text += "検索";
            replaced += "置換語";
        }
    }
    Place(text, 0, 0);
    HWND dialog = nullptr;
    bool dialogStillUp = false;
    WithDialog(IDM_SEARCHREPLACE, "検索", "置換語", [&](HWND d) {
        dialog = d;
        PressButton(d, IDC_REPLACE_ALL);
    }, [&](DialogAnswers& more) {
        more.Then([&](HWND box) {
            dialogStillUp = IsWindow(dialog) && GetWindow(box, GW_OWNER) == dialog;
            PressButton(box, IDOK);
        });
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].texts[0], "全て単語置き換え終了しました。");
    EXPECT_TRUE(dialogStillUp) << "the completion message comes while the dialog is up, owned by it";
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(EditText(edit()) == replaced);
    EXPECT_EQ(ShownIn(edit()), Shown(replaced.substr(0, lastAt), "置換語"));
    EXPECT_EQ(Changed(), 1);
}

TEST_F(ReplaceDialog, ReplaceAllEdgeCases)
{
    const struct {
        std::string text, find, replace, result;
        Shown shown;
        LONG_PTR changed;
    } cases[] = {
        {"語a語語", "語", "", "a", {"a", ""}, 1},           // consecutive ones all go
        {"表\\ア", "\\", "＼", "表＼ア", {"表", "＼"}, 1},
        {"アイウ", "A", "B", "アイウ", {"", ""}, 0},        // none: the caret goes to the start
        {"語と語", "語", "語", "語と語", {"語と", "語"}, 0},// replaced by itself: nothing changed
    };
    for (const auto& c : cases) {
        Place(c.text, c.text.size(), c.text.size());
        WithDialog(IDM_SEARCHREPLACE, c.find, c.replace, [](HWND d) { PressButton(d, IDC_REPLACE_ALL); },
                   [](DialogAnswers& more) { more.ThenPress(IDOK); });
        EXPECT_EQ(seen.size(), 2u) << "the completion message comes even when none was found";
        EXPECT_EQ(EditText(edit()), c.result);
        EXPECT_EQ(ShownIn(edit()), c.shown) << c.text;
        EXPECT_EQ(Changed(), c.changed) << c.text;
    }
}

// The fields hold 159 bytes whatever unit the control counts its limit in:
// a paste past that is taken back after the last whole character that fits,
// so what is searched is what the field shows; a string of no whole
// character finds nothing.
TEST_F(FindDialog, FieldsHoldNoMoreBytesThanTheStringsKeep)
{
    std::string kanji;
    for (int i = 0; i < 85; ++i) {
        kanji += "語";
    }
    for (const auto& typed : {std::make_pair(kanji, 158), std::make_pair("a" + kanji, 159)}) {
        Place("", 0, 0);
        LRESULT limit = 0;
        std::string shown;
        WithDialog(IDM_SEARCHFIND, "", "", [&](HWND d) {
            HWND field = GetDlgItem(d, IDC_FIND_TEXT);
            SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.first.c_str()));
            limit = SendMessageA(field, EM_GETLIMITTEXT, 0, 0);
            shown = TitleOf(field);
            PressButton(d, IDOK);
        }, [](DialogAnswers& more) {
            more.ThenPress(IDOK);
            more.ThenPress(IDCANCEL);
        });
        EXPECT_EQ(limit, 159);
        EXPECT_EQ(shown, typed.first.substr(0, typed.second));
        EXPECT_EQ(std::string(SearchState.findText), shown);
    }
    Place("表示", 0, 0);
    std::strcpy(SearchState.findText, "\x95");
    DialogAnswers none;
    EXPECT_EQ(FindText(+1, 1), 0);
    EXPECT_FALSE(ReplaceAll());
    EXPECT_EQ(EditText(edit()), "表示") << "an empty replacement never wipes the text";
    EXPECT_TRUE(none.Seen().empty());
}

void PutOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

// Both fields of the replace dialog: an over-long paste is cut before the
// field takes it, so that undo brings back what the field held; an input
// that came in another way is cut back afterwards; a character that does
// not fit is not typed.
TEST_F(ReplaceDialog, BothFieldsCutWhatComesInAndUndoBringsBackWhatTheyHeld)
{
    std::wstring pasted;
    std::string kanji;
    for (int i = 0; i < 85; ++i) {
        pasted += L"\u8A9E";
        kanji += "語";
    }
    for (int id : {IDC_FIND_TEXT, IDC_REPLACE_TEXT}) {
        SCOPED_TRACE(id);
        PutOnClipboard(pasted);
        std::string afterPaste, afterUndo, afterInsert, afterTyping;
        WithDialog(IDM_SEARCHREPLACE, "a", "a", [&](HWND d) {
            HWND field = GetDlgItem(d, id);
            SetWindowTextA(field, "XYZ");
            SendMessageA(field, EM_SETSEL, 0, -1);
            SendMessageA(field, WM_PASTE, 0, 0);
            afterPaste = TitleOf(field);
            SendMessageA(field, EM_UNDO, 0, 0);
            afterUndo = TitleOf(field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(("a" + kanji).c_str()));
            afterInsert = TitleOf(field);
            SendMessageA(field, WM_CHAR, 'b', 0);
            afterTyping = TitleOf(field);
            PressButton(d, IDCANCEL);
        });
        EXPECT_EQ(afterPaste, kanji.substr(0, 158));
        EXPECT_EQ(afterUndo, "XYZ");
        EXPECT_EQ(afterInsert, ("a" + kanji).substr(0, 159));
        EXPECT_EQ(afterTyping, afterInsert);
    }
}

TEST_F(SearchKeys, F3AndF4RepeatTheSearchInAnotherDocument)
{
    Place("語", 0, 0);
    DialogAnswers answers;
    Key(VK_F4);
    EXPECT_TRUE(answers.Seen().empty()) << "find-previous is grayed while there is nothing to find";
    answers.Then([](HWND d) {
        SetDlgItemTextA(d, IDC_FIND_TEXT, "語");
        PressButton(d, IDOK);
    });
    answers.ThenPress(IDOK);
    answers.ThenPress(IDCANCEL);
    Key(VK_F3);
    ASSERT_EQ(answers.Seen().size(), 3u) << "F3 opens the find dialog while there is nothing to find";
    EXPECT_EQ(answers.Seen()[0].caption, "文章中の単語の検索");

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

}  // namespace
