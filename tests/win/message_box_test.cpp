// The Japanese message box as the platform shows it: its buttons and keys,
// its size and place, the reports of string-table messages through it, and
// what happens when it cannot be built.

#include "msg/message_box.h"

#include "msg/msgbox_layout.h"
#include "state/app_state.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

// Allocation failures on demand, to reach the paths taken when no template
// can be built. Off, the replacement below behaves as the standard one; the
// standard delete frees with std::free, so it stays.
enum class AllocationFailure { none, templateGrowth, every };
AllocationFailure failing = AllocationFailure::none;

}  // namespace

void* operator new(std::size_t size)
{
    // The template image starts as an empty byte vector, whose first growth
    // asks for exactly one byte; nothing else in a box's life does.
    if (failing == AllocationFailure::every || (failing == AllocationFailure::templateGrowth && size == 1)) {
        throw std::bad_alloc();
    }
    for (;;) {
        if (void* block = std::malloc(size != 0 ? size : 1)) {
            return block;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
}

namespace {

using JapaneseMessageBox = FrameTest;
using ErrorReport = FrameTest;

// Captions in code page 932; the mnemonics are single-byte half-width kana.
struct ButtonFace {
    int id;
    const char* caption;
    unsigned char mnemonic;
};

const ButtonFace kFaces[] = {
    {IDOK, "了解(&\xd8)", 0xD8},    {IDCANCEL, "取消(&\xc4)", 0xC4}, {IDABORT, "中止(&\xc1)", 0xC1},
    {IDRETRY, "再試行(&\xbb)", 0xBB}, {IDIGNORE, "無視(&\xd1)", 0xD1}, {IDYES, "はい(&\xca)", 0xCA},
    {IDNO, "いいえ(&\xb2)", 0xB2},
};

const ButtonFace& FaceOf(int id)
{
    return kFaces[id - 1];
}

bool IsClass(HWND window, const char* name)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

std::vector<HWND> Children(HWND box)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
}

RECT RectOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

std::vector<HWND> ButtonsLeftToRight(HWND box)
{
    std::vector<HWND> buttons;
    for (HWND c : Children(box)) {
        if (IsClass(c, "Button")) {
            buttons.push_back(c);
        }
    }
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) { return RectOf(a).left < RectOf(b).left; });
    return buttons;
}

// A key as the keyboard delivers it: to the window with the focus.
void PostKey(HWND box, UINT message, WPARAM key)
{
    HWND focus = GetFocus();
    HWND target = focus != nullptr && IsChild(box, focus) ? focus : box;
    PostMessageA(target, message, key, 1);
}

HWND boxUnderTest = nullptr;

// A box that its action failed to end is ended here, so that the test fails
// instead of waiting for ever.
void CALLBACK EndStuckBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (boxUnderTest != nullptr && IsWindow(boxUnderTest)) {
        ADD_FAILURE() << "the box was still up";
        EndDialog(boxUnderTest, 0);
    }
}

// Shows one box, lets action inspect and end it, and answers its result.
int ShowBox(HWND owner, const char* text, const char* caption, UINT flags, DialogAnswers::Action action,
            SeenDialog* seen = nullptr)
{
    DialogAnswers answers;
    answers.Then([&action](HWND box) {
        boxUnderTest = box;
        action(box);
    });
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 2000, EndStuckBox);
    const int result = JpMessageBox(owner, text, caption, flags);
    KillTimer(nullptr, watchdog);
    boxUnderTest = nullptr;
    EXPECT_EQ(answers.Pending(), 0u) << "no box came up";
    if (seen != nullptr && !answers.Seen().empty()) {
        *seen = answers.Seen().front();
    }
    return result;
}

DialogAnswers::Action Press(int id)
{
    return [id](HWND box) { PressButton(box, id); };
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

// ---------------------------------------------------------------------------
// Buttons of each flag value

struct ButtonSet {
    UINT flags;
    std::vector<int> ids;
};

class BoxButtons : public FrameTest, public ::testing::WithParamInterface<ButtonSet> {};

TEST_P(BoxButtons, StandLeftToRightWithTheFirstAsDefaultAndEndTheBoxWithTheirIds)
{
    const ButtonSet& set = GetParam();
    for (std::size_t pressed = 0; pressed < set.ids.size(); ++pressed) {
        const int result = ShowBox(frame(), "確認", "題", set.flags, [&](HWND box) {
            if (pressed == 0) {
                std::vector<HWND> buttons = ButtonsLeftToRight(box);
                std::vector<int> ids;
                for (HWND b : buttons) {
                    ids.push_back(GetDlgCtrlID(b));
                }
                ASSERT_EQ(ids, set.ids);
                for (std::size_t k = 0; k < buttons.size(); ++k) {
                    EXPECT_EQ(TitleOf(buttons[k]), FaceOf(ids[k]).caption) << ids[k];
                    const LONG kind = GetWindowLongA(buttons[k], GWL_STYLE) & 0x0F;
                    EXPECT_EQ(kind, k == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << ids[k];
                }
                EXPECT_EQ(SendMessageA(box, DM_GETDEFID, 0, 0),
                          static_cast<LRESULT>(MAKELONG(set.ids[0], DC_HASDEFID)));
                EXPECT_EQ(GetFocus(), buttons[0]);
                // The text and the buttons, and no icon whatever the flags.
                EXPECT_EQ(Children(box).size(), set.ids.size() + 1);
            }
            PressButton(box, set.ids[pressed]);
        });
        EXPECT_EQ(result, set.ids[pressed]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachFlagValue, BoxButtons,
    ::testing::Values(ButtonSet{0, {IDOK}}, ButtonSet{1, {IDOK, IDCANCEL}}, ButtonSet{2, {IDABORT, IDRETRY, IDIGNORE}},
                      ButtonSet{3, {IDYES, IDNO, IDCANCEL}}, ButtonSet{4, {IDYES, IDNO}},
                      ButtonSet{5, {IDRETRY, IDCANCEL}}, ButtonSet{6, {IDABORT, IDRETRY, IDIGNORE}},
                      ButtonSet{7, {IDYES, IDNO, IDCANCEL}}, ButtonSet{MB_ICONHAND, {IDOK}},
                      ButtonSet{MB_ICONQUESTION | MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
                      ButtonSet{MB_ICONQUESTION | MB_YESNO, {IDYES, IDNO}}, ButtonSet{MB_ICONEXCLAMATION, {IDOK}}),
    [](const ::testing::TestParamInfo<ButtonSet>& info) { return "Flags" + std::to_string(info.param.flags); });

// ---------------------------------------------------------------------------
// Keys and the close box

struct KeyCase {
    const char* name;
    UINT flags;
    DialogAnswers::Action act;
    int result;
};

void ExpectKeyResults(HWND owner, const std::vector<KeyCase>& cases)
{
    for (const KeyCase& c : cases) {
        EXPECT_EQ(ShowBox(owner, "確認", "題", c.flags, c.act), c.result) << c.name;
    }
}

TEST_F(JapaneseMessageBox, EscapeAndTheCloseBoxCancelWhateverTheButtons)
{
    const auto close = [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const auto wmClose = [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); };
    ExpectKeyResults(frame(), {
                                  {"Escape, OK", MB_OK, PressEscape, IDCANCEL},
                                  {"Escape, yes/no", MB_YESNO, PressEscape, IDCANCEL},
                                  {"Escape, abort/retry/ignore", MB_ABORTRETRYIGNORE, PressEscape, IDCANCEL},
                                  {"Escape, yes/no/cancel", MB_YESNOCANCEL, PressEscape, IDCANCEL},
                                  {"close box, yes/no", MB_YESNO, close, IDCANCEL},
                                  {"close box, OK", MB_OK, close, IDCANCEL},
                                  {"WM_CLOSE, abort/retry/ignore", MB_ABORTRETRYIGNORE, wmClose, IDCANCEL},
                              });
}

TEST_F(JapaneseMessageBox, EnterPressesTheFirstButtonAndKanaKeysTheirButtons)
{
    const auto enter = [](HWND box) { PostKey(box, WM_KEYDOWN, VK_RETURN); };
    const auto kana = [](int id) {
        return [id](HWND box) { PostKey(box, WM_CHAR, FaceOf(id).mnemonic); };
    };
    ExpectKeyResults(frame(), {
                                  {"Enter, yes/no", MB_YESNO, enter, IDYES},
                                  {"Enter, retry/cancel", MB_RETRYCANCEL, enter, IDRETRY},
                                  {"ﾘ", MB_OKCANCEL, kana(IDOK), IDOK},
                                  {"ﾄ", MB_OKCANCEL, kana(IDCANCEL), IDCANCEL},
                                  {"ﾁ", MB_ABORTRETRYIGNORE, kana(IDABORT), IDABORT},
                                  {"ｻ", MB_ABORTRETRYIGNORE, kana(IDRETRY), IDRETRY},
                                  {"ﾑ", MB_ABORTRETRYIGNORE, kana(IDIGNORE), IDIGNORE},
                                  {"ﾊ", MB_YESNOCANCEL, kana(IDYES), IDYES},
                                  {"ｲ", MB_YESNOCANCEL, kana(IDNO), IDNO},
                              });
}

// ---------------------------------------------------------------------------
// Caption and text

TEST_F(JapaneseMessageBox, ShowsCaptionAndTextAndEmptyForNull)
{
    struct Case {
        const char* text;
        const char* caption;
        std::string shownText;
        std::string shownCaption;
    };
    const Case cases[] = {
        {"一行目\r\n\x95\x5c示", "題名", "一行目\r\n\x95\x5c示", "題名"},
        {"本文", nullptr, "本文", ""},
        {nullptr, "題名", "", "題名"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SeenDialog seen{};
        EXPECT_EQ(ShowBox(frame(), c.text, c.caption, MB_OK, Press(IDOK), &seen), IDOK);
        EXPECT_EQ(seen.caption, c.shownCaption) << c.shownText;
        ASSERT_FALSE(seen.texts.empty());
        EXPECT_EQ(seen.texts.front(), c.shownText) << c.shownCaption;
    }
}

// The text control painted into a bitmap of its size.
std::vector<DWORD> Painted(HWND control)
{
    RECT r;
    GetClientRect(control, &r);
    HDC screen = GetDC(control);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectObject(dc, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.right;
    info.bmiHeader.biHeight = -r.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(r.right) * static_cast<std::size_t>(r.bottom));
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(r.bottom), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(control, screen);
    return pixels;
}

TEST_F(JapaneseMessageBox, ShowsAnAmpersandOfTheTextAsItIs)
{
    // A file name such as "Q&A.txt" must not lose its "&" to an underline.
    const char text[] = "C:\\Q&A\\R&&D.txt";
    ShowBox(frame(), text, "題", MB_OK, [&](HWND box) {
        HWND shown = Children(box).front();
        ASSERT_TRUE(IsClass(shown, "Static"));
        RECT r;
        GetWindowRect(shown, &r);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
        HWND literal = CreateWindowExA(0, "STATIC", text, WS_CHILD | SS_LEFT | SS_NOPREFIX, r.left, r.top,
                                       Width(r), Height(r), box, nullptr, nullptr, nullptr);
        SendMessageA(literal, WM_SETFONT, SendMessageA(shown, WM_GETFONT, 0, 0), FALSE);
        EXPECT_TRUE(Painted(shown) == Painted(literal));
        DestroyWindow(literal);
        PressButton(box, IDOK);
    });
}

// ---------------------------------------------------------------------------
// Size

RECT BoxRect(HWND owner, const char* text, UINT flags)
{
    SeenDialog seen{};
    ShowBox(owner, text, "題", flags, Press(flags == MB_OK ? IDOK : IDYES), &seen);
    return seen.rect;
}

TEST_F(JapaneseMessageBox, GrowsWithTheLinesAndTheWidestLine)
{
    const RECT one = BoxRect(frame(), "abc", MB_OK);
    const RECT three = BoxRect(frame(), "abc\r\nde\r\nf", MB_OK);
    const RECT forty = BoxRect(frame(), "0123456789012345678901234567890123456789", MB_OK);
    // Twenty double-byte characters are as wide as forty single bytes.
    const RECT kanji = BoxRect(frame(), "表表表表表表表表表表表表表表表表表表表表", MB_OK);
    EXPECT_GT(Height(three), Height(one));
    EXPECT_EQ(Width(three), Width(one));
    EXPECT_GT(Width(forty), Width(one));
    EXPECT_EQ(Height(forty), Height(one));
    EXPECT_EQ(Width(kanji), Width(forty));
}

// The platform reads the template in the dialog units of the system font.
TEST_F(JapaneseMessageBox, PlacesItsPartsAtTheirDialogUnits)
{
    const char text[] = "一行目\r\n二行目は少し長い\r\n三";
    const MessageBoxGeometry g = ComputeMessageBoxGeometry(MB_YESNOCANCEL, MeasureMessageLines(text));
    ShowBox(frame(), text, "題", MB_YESNOCANCEL, [&](HWND box) {
        RECT client;
        GetClientRect(box, &client);
        RECT want = {0, 0, g.width, g.height};
        MapDialogRect(box, &want);
        EXPECT_EQ(client.right, want.right);
        EXPECT_EQ(client.bottom, want.bottom);

        const std::vector<HWND> buttons = ButtonsLeftToRight(box);
        ASSERT_EQ(buttons.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            RECT place = {MessageButtonX(g, k), g.buttonY, 0, 0};
            MapDialogRect(box, &place);
            RECT got = RectOf(buttons[static_cast<std::size_t>(k)]);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&got), 2);
            EXPECT_EQ(got.left, place.left) << k;
            EXPECT_EQ(got.top, place.top) << k;
        }
        PressButton(box, IDCANCEL);
    });
}

// ---------------------------------------------------------------------------
// Place

TEST_F(JapaneseMessageBox, CentresOverItsOwner)
{
    MoveWindow(frame(), 150, 100, 800, 600, TRUE);
    const RECT owner = RectOf(frame());
    const RECT box = BoxRect(frame(), "中央", MB_YESNO);
    EXPECT_LE(std::abs((box.left + box.right) - (owner.left + owner.right)), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) - (owner.top + owner.bottom)), 1);
}

TEST_F(JapaneseMessageBox, StaysOnTheScreenWhenTheOwnerDoesNot)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* name;
        int ownerX;
        int ownerY;
        bool left;  // clamped to the left or top edge, else to the right or bottom
        bool horizontal;
    };
    const Case cases[] = {
        {"far left", -2000, 100, true, true},
        {"far right", screenWidth + 1000, 100, false, true},
        {"far up", 100, -2000, true, false},
        {"far down", 100, screenHeight + 1000, false, false},
    };
    for (const Case& c : cases) {
        MoveWindow(frame(), c.ownerX, c.ownerY, 600, 400, TRUE);
        const RECT box = BoxRect(frame(), "端", MB_OK);
        if (c.horizontal) {
            EXPECT_EQ(box.left, c.left ? 0 : screenWidth - Width(box)) << c.name;
        } else {
            EXPECT_EQ(box.top, c.left ? 0 : screenHeight - Height(box)) << c.name;
        }
    }
}

// A monitor left of the primary one, which Wine cannot show: the box's own
// calls are answered as Windows answers them there.
const HMONITOR kLeftMonitor = reinterpret_cast<HMONITOR>(0x4C4D);
HWND monitorAskedFor = nullptr;

HMONITOR WINAPI LeftMonitorFromWindow(HWND window, DWORD)
{
    monitorAskedFor = window;
    return kLeftMonitor;
}

BOOL WINAPI LeftMonitorInfo(HMONITOR monitor, MONITORINFO* info)
{
    info->rcMonitor = {-1280, 0, 0, 1000};
    info->rcWork = {-1280, 0, 0, 960};
    return monitor == kLeftMonitor;
}

TEST_F(JapaneseMessageBox, StaysWithinTheWorkAreaOfItsOwnersMonitorLeftOfThePrimary)
{
    ImportPatch fromWindow("user32.dll", "MonitorFromWindow", reinterpret_cast<void*>(LeftMonitorFromWindow));
    ImportPatch info("user32.dll", "GetMonitorInfoA", reinterpret_cast<void*>(LeftMonitorInfo));
    ASSERT_TRUE(fromWindow.Patched() && info.Patched());
    const RECT probe = BoxRect(frame(), "端", MB_OK);
    const int w = Width(probe);
    const int h = Height(probe);
    const struct {
        int ownerX, ownerY, left, top;
    } cases[] = {
        {-1000, 200, -1000 + (600 - w) / 2, 200 + (400 - h) / 2},  // centred over it
        {-1700, 200, -1280, 200 + (400 - h) / 2},                  // past the monitor's left edge
        {-100, 800, -w, 960 - h},  // past its right edge and the bottom of its work area
    };
    for (const auto& c : cases) {
        MoveWindow(frame(), c.ownerX, c.ownerY, 600, 400, TRUE);
        monitorAskedFor = nullptr;
        const RECT box = BoxRect(frame(), "端", MB_OK);
        EXPECT_EQ(monitorAskedFor, frame()) << "the owner's monitor";
        EXPECT_EQ(box.left, c.left) << c.ownerX;
        EXPECT_EQ(box.top, c.top) << c.ownerX;
    }
}

// ---------------------------------------------------------------------------
// Reports of string-table messages

struct ReportCase {
    const char* name;
    UINT stringId;
    std::string argument;  // a string argument, or the number's text
    bool numeric;
    long long number;
    std::string shown;
};

std::string LongPath()
{
    std::string path = "C:\\";
    while (path.size() < 320) {
        path += "\x95\x5c\x8e\xa6\\";  // 表示 and a separator
    }
    return path + "a.txt";
}

TEST_F(ErrorReport, ShowsTheFormattedMessageCaptionedWithTheProgramName)
{
    const std::string path = "C:\\\x95\x5c\\読込.txt";
    const std::string cannotOpen = " ファイルを取り出すことができません。";
    const ReportCase cases[] = {
        {"string with 表", 1, path, false, 0, "「" + path + "」" + cannotOpen},
        {"path over 300 bytes", 1, LongPath(), false, 0, "「" + LongPath() + "」" + cannotOpen},
        {"number", 30, "", true, 12345, "12345行より大きい行は編集されていません。"},
        {"high bits of the id", 0x10000 + 30, "", true, -7, "-7行より大きい行は編集されていません。"},
    };
    for (const ReportCase& c : cases) {
        DialogAnswers answers;
        answers.ThenPress(IDOK);
        const int result = c.numeric ? ReportError(nullptr, MB_ICONHAND, c.stringId, c.number)
                                     : ReportError(nullptr, MB_ICONHAND, c.stringId, c.argument.c_str());
        EXPECT_EQ(result, IDOK) << c.name;
        ASSERT_EQ(answers.Seen().size(), 1u) << c.name;
        EXPECT_EQ(answers.Seen()[0].caption, "モクレ") << c.name;
        ASSERT_FALSE(answers.Seen()[0].texts.empty());
        EXPECT_EQ(answers.Seen()[0].texts.front(), c.shown) << c.name;
    }
}

TEST_F(ErrorReport, IsOwnedByTheFrameWhateverWindowIsPassed)
{
    HWND stranger = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    for (HWND passed : {HWND{nullptr}, AppState.activeDocument, AppState.activeEdit, stranger}) {
        DialogAnswers answers;
        answers.Then([&](HWND box) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), frame());
            EXPECT_FALSE(IsWindowEnabled(frame())) << "the box is modal to the frame";
            EXPECT_TRUE(IsWindowEnabled(stranger));
            PressButton(box, IDNO);
        });
        EXPECT_EQ(ReportError(passed, MB_ICONQUESTION | MB_YESNO, 7, "a.txt"), IDNO);
        EXPECT_TRUE(IsWindowEnabled(frame()));
    }
    DestroyWindow(stranger);
}

// ---------------------------------------------------------------------------
// Failures

const std::string kNoMemoryReport = "「文字変換」のファイルの記憶域を取ることが出来ません。";

// Restores normal allocation however the call under test ends.
struct FailAllocations {
    explicit FailAllocations(AllocationFailure how) { failing = how; }
    ~FailAllocations() { failing = AllocationFailure::none; }
};

TEST_F(JapaneseMessageBox, WithoutATemplateReportsOnceInThePlatformsOwnBox)
{
    DialogAnswers answers;
    answers.Then([](HWND box) {
        for (HWND c : Children(box)) {
            EXPECT_NE(TitleOf(c), FaceOf(IDOK).caption) << "not a box of ours";
        }
        PressButton(box, IDOK);
    });
    int result = 0;
    {
        FailAllocations fail(AllocationFailure::templateGrowth);
        result = JpMessageBox(frame(), "本文", "題", MB_YESNO);
    }
    EXPECT_EQ(result, -1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "モクレ");
    const std::vector<std::string>& texts = answers.Seen()[0].texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), kNoMemoryReport), texts.end());

    answers.ThenPress(IDYES);
    EXPECT_EQ(JpMessageBox(frame(), "本文", "題", MB_YESNO), IDYES) << "the next box is ours again";
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].caption, "題");
}

TEST_F(JapaneseMessageBox, WithoutAnyMemoryGivesUpQuietly)
{
    DialogAnswers answers;
    int result = 0;
    try {
        FailAllocations fail(AllocationFailure::every);
        result = JpMessageBox(frame(), "本文", "題", MB_YESNO);
    } catch (const std::bad_alloc&) {
        ADD_FAILURE() << "the failure escaped the box";
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(answers.Seen().empty());

    // The next failure is reported again, not shown as the caller's text.
    answers.ThenPress(IDOK);
    {
        FailAllocations fail(AllocationFailure::templateGrowth);
        EXPECT_EQ(JpMessageBox(frame(), "本文", "題", MB_YESNO), -1);
    }
    ASSERT_EQ(answers.Seen().size(), 1u);
    const std::vector<std::string>& texts = answers.Seen()[0].texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), kNoMemoryReport), texts.end());
}

LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(JapaneseMessageBox, APlatformThatCannotCreateTheBoxGivesTheLowWordOfItsFailure)
{
    DialogAnswers answers;
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    const int result = JpMessageBox(frame(), "本文", "題", MB_OK);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(result, 0xFFFF);
    EXPECT_TRUE(answers.Seen().empty());
}

}  // namespace
