// Printing: the default printer, the print job read back from a real PDF
// queue, the page layout and printer set-up dialogs. Suites whose name
// starts with NoPrinter run where the print server cannot be reached.

#include "print/page_geometry.h"
#include "print/page_layout.h"
#include "print/page_layout_dialog.h"
#include "print/print_job.h"
#include "print/printer_device.h"
#include "print/printer_setup.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "tests/win/harness.h"
#include "tests/win/import_patch.h"
#include "tests/win/print_support.h"

#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

using Strings = std::vector<std::string>;

bool Grayed(UINT state)
{
    return (state & MF_GRAYED) != 0;
}

bool Holds(const Strings& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void PressOk(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// The active document holds the lines and is titled token, so that its PDF can be found.
HWND PrepareDocument(const std::string& token, const Strings& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    SendMessageA(AppState.activeEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetWindowTextA(AppState.activeDocument, token.c_str());
    return AppState.activeDocument;
}

std::string BodyMarker(int n)
{
    char marker[16];
    std::snprintf(marker, sizeof marker, "第%02d行", n);
    return marker;
}

// Whether text from at starts with wanted, but for at most edits bytes
// misread, dropped or added.
bool MatchesFrom(const std::string& text, std::size_t at, const std::string& wanted, std::size_t from, int edits)
{
    if (from == wanted.size()) {
        return true;
    }
    if (at == text.size()) {
        return static_cast<int>(wanted.size() - from) <= edits;
    }
    if (text[at] == wanted[from] && MatchesFrom(text, at + 1, wanted, from + 1, edits)) {
        return true;
    }
    return edits > 0 && (MatchesFrom(text, at + 1, wanted, from + 1, edits - 1) ||
                         MatchesFrom(text, at + 1, wanted, from, edits - 1) ||
                         MatchesFrom(text, at, wanted, from + 1, edits - 1));
}

// OCR may misread, drop or add one character of a small line.
bool NearlyContains(const std::string& text, const std::string& wanted)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (MatchesFrom(text, at, wanted, 0, 1)) {
            return true;
        }
    }
    return false;
}

const PrintedLine* FindLine(const std::vector<PrintedLine>& page, const std::string& text)
{
    for (const PrintedLine& line : page) {
        if (NearlyContains(line.text, text)) {
            return &line;
        }
    }
    return nullptr;
}

class Printing : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        std::string reason;
        if (!PrintQueueAvailable(reason)) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(PrinterState.available) << "the test run's PDF queue is not the default printer";
    }
    void TearDown() override
    {
        ForgetSavedSettings();
        FrameTest::TearDown();
    }
};

TEST_F(Printing, SixtyLinesPrintWithHeaderFooterAndBodyOnThePagesTheGeometryPredicts)
{
    const std::string token = UniqueJobToken();
    Strings lines{"\tタブの後"};
    for (int n = 1; n < 60; ++n) {
        lines.push_back(BodyMarker(n) + "の本文です");
    }
    HWND document = PrepareDocument(token, lines);
    HWND edit = AppState.activeEdit;

    // The job's arithmetic, worked out on an information context.
    HDC screen = GetDC(edit);
    const int screenDpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int screenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(edit, screen);
    HDC printer = CreatePrinterContext(true);
    ASSERT_NE(printer, nullptr);
    PageGeometry page;
    const MarginDots margins{PrinterState.leftDots, PrinterState.rightDots, PrinterState.topDots,
                             PrinterState.bottomDots};
    ASSERT_TRUE(ComputePageGeometry(CurrentPrinterMetrics(), margins, screenDpiX, screenDpiY, page));
    SetPrintMapping(printer, page.scaleX, page.scaleY);
    SelectObject(printer, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    SIZE cc = {};
    GetTextExtentPoint32A(printer, "CC", 2, &cc);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(printer, &metrics);
    DeleteDC(printer);
    const int pages = PageCount(60, page.textTop, page.textHeight, cc.cy);
    EXPECT_GE(pages, 2);
    const EditSnapshot before = TakeSnapshot(edit);

    DialogWatch watch;
    EXPECT_TRUE(PrintDocument(document));
    ASSERT_EQ(watch.Captions(), Strings{"印刷"});
    EXPECT_TRUE(Holds(watch.seen().front().texts, token)) << "the dialog names the document";
    EXPECT_TRUE(Holds(watch.seen().front().texts, "PDF")) << "the dialog names the printer";
    EXPECT_TRUE(IsWindowEnabled(frame()));
    EXPECT_TRUE(TakeSnapshot(edit) == before) << "the edit control keeps its font, rectangle and text";

    const PrintedPages printed = ReadPrintedPages(token, true);
    ASSERT_EQ(printed.count, pages) << "one copy, pages as the geometry predicts";
    ASSERT_EQ(static_cast<int>(printed.pages.size()), pages);
    int next = 1;
    for (int p = 0; p < pages; ++p) {
        const std::vector<PrintedLine>& read = printed.pages[static_cast<std::size_t>(p)];
        ASSERT_FALSE(read.empty());
        // The token's digits alone: how the header's kanji, and the letter
        // after them, read depends on the fonts a prefix has.
        EXPECT_NE(FindLine(read, token.substr(1)), nullptr) << "header on page " << p + 1 << ", first line read: "
                                                  << read.front().text;
        EXPECT_NE(read.back().text.find("-" + std::to_string(p + 1) + "-"), std::string::npos)
            << "footer last on page " << p + 1 << ", read: " << read.back().text;
        for (const PrintedLine& line : read) {
            next += next < 60 && NearlyContains(line.text, BodyMarker(next)) ? 1 : 0;
        }
    }
    EXPECT_EQ(next, 60) << "body lines in order up to " << BodyMarker(next);

    // The text after a leading tab starts at the next stop of eight average
    // widths, counted from the printable area's left edge, not the margin.
    const PrintedLine* tabbed = FindLine(printed.pages.front(), NormaliseOcr("タブの後"));
    const PrintedLine* plain = FindLine(printed.pages.front(), BodyMarker(1));
    ASSERT_TRUE(tabbed != nullptr && plain != nullptr);
    const int tab = 8 * metrics.tmAveCharWidth;
    const int shift = (page.textLeft / tab + 1) * tab - page.textLeft;
    EXPECT_NEAR(tabbed->left - plain->left, MulDivRound(shift, page.scaleX * 150, 100 * PrinterState.dpiX), 12);
}

// The job takes each line with EM_GETLINE: a press after so many lines is a
// cancel at a known point of the job.
int linesTaken = 0;
int pressAfterLines = 0;
HWND printingDialog = nullptr;
void (*press)(HWND) = nullptr;

LRESULT CALLBACK CountLinesTaken(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == EM_GETLINE && ++linesTaken == pressAfterLines) {
        press(printingDialog);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PressEscapeIn(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDOK);
    PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

TEST_F(Printing, CancelFromThePrintingDialogPrintsNothingAndSaysNothing)
{
    const struct {
        const char* how;
        int afterLines;  // 0: as soon as the dialog is up, while the document starts
        void (*press)(HWND);
    } cases[] = {
        {"the cancel button as the job starts", 0, PressOk},
        {"the cancel button on the second page", 60, PressOk},
        {"the Escape key on the first page", 3, PressEscapeIn},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string token = UniqueJobToken();
        HWND document = PrepareDocument(token, Strings(120, "第00行の本文です"));
        const EditSnapshot before = TakeSnapshot(AppState.activeEdit);
        DialogWatch watch;
        watch.On("印刷", [&c](HWND dialog) {
            printingDialog = dialog;
            if (c.afterLines == 0) {
                c.press(dialog);
            }
        });
        linesTaken = 0;
        pressAfterLines = c.afterLines;
        press = c.press;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountLinesTaken, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(PrintDocument(document));
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(watch.Captions(), Strings{"印刷"}) << "no message after a cancel";
        EXPECT_LE(linesTaken, c.afterLines + 1) << "the job stops after the line of the cancel";
        EXPECT_TRUE(IsWindowEnabled(frame()));
        EXPECT_FALSE(IsWindow(printingDialog));
        EXPECT_TRUE(TakeSnapshot(AppState.activeEdit) == before);
        EXPECT_EQ(ReadPrintedPages(token, false).count, 0) << "an aborted job leaves no pages";
    }
}

DWORD startDocError = ERROR_SUCCESS;

// A document that cannot start, as when the prompt of a driver that prints
// to a file (Microsoft Print to PDF, XPS) is cancelled.
int WINAPI FailingStartDoc(HDC, const DOCINFOW*)
{
    SetLastError(startDocError);
    return SP_ERROR;
}

TEST_F(Printing, ADocumentCancelledAsItStartsSaysNothingAndAFailureIsReported)
{
    const std::string token = UniqueJobToken();
    const struct {
        DWORD error;
        Strings messages;
    } cases[] = {
        {ERROR_CANCELLED, {}},
        {ERROR_NOT_ENOUGH_MEMORY, {"印刷開始出来ません。", "「" + token + "」 を印刷できません!"}},
    };
    HWND document = PrepareDocument(token, {"始まらない"});
    ImportPatch patch("gdi32.dll", "StartDocW", reinterpret_cast<void*>(FailingStartDoc));
    ASSERT_TRUE(patch.Patched());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        startDocError = c.error;
        DialogWatch watch;
        watch.On("モクレ", PressOk);
        EXPECT_FALSE(PrintDocument(document));
        EXPECT_EQ(watch.Messages(), c.messages);
        EXPECT_TRUE(IsWindowEnabled(frame()));
    }
}

TEST_F(Printing, SystemFacesPrintInTheDeviceDefaultFontAndGetTheirFontBack)
{
    HDC printer = CreatePrinterContext(true);
    ASSERT_NE(printer, nullptr);
    char deviceFace[LF_FACESIZE] = "";
    SelectObject(printer, GetStockObject(DEVICE_DEFAULT_FONT));
    GetTextFaceA(printer, sizeof deviceFace, deviceFace);
    DeleteDC(printer);
    for (const char* face : {"System", "FixedSys"}) {
        SCOPED_TRACE(face);
        ASSERT_STRNE(deviceFace, face);
        HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, face);
        HWND edit = AppState.activeEdit;
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const std::string token = UniqueJobToken();
        HWND document = PrepareDocument(token, {"\x95\x5c"});
        const EditSnapshot before = TakeSnapshot(edit);
        DialogWatch watch;
        EXPECT_TRUE(PrintDocument(document));
        ASSERT_EQ(watch.Captions(), Strings{"印刷"});
        EXPECT_STREQ(PrintJob.printFaceName, deviceFace);
        EXPECT_TRUE(Holds(watch.seen().front().texts, deviceFace)) << "the dialog shows the face";
        EXPECT_TRUE(TakeSnapshot(edit) == before) << "the edit control has its own font back";
        EXPECT_EQ(ReadPrintedPages(token, false).count, 1);
        SendMessageA(edit, WM_SETFONT, 0, FALSE);
        DeleteObject(font);
    }
}

// A TrueType face gives the control margins of its own, which it adds to
// any rectangle it is given: printing must not narrow the view.
TEST_F(Printing, PrintingLeavesTheTextAreaOfATrueTypeFaceAsItWas)
{
    HWND edit = AppState.activeEdit;
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, "Tahoma");
    HDC screen = GetDC(edit);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(edit, screen);
    if ((metrics.tmPitchAndFamily & TMPF_TRUETYPE) == 0) {
        DeleteObject(font);
        GTEST_SKIP() << "no Western TrueType face";
    }
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    HWND document = PrepareDocument(UniqueJobToken(), {"Western text that wraps at the window edge"});
    const EditSnapshot before = TakeSnapshot(edit);
    for (int print = 1; print <= 3; ++print) {
        DialogWatch watch;
        watch.On("印刷", PressOk);
        PrintDocument(document);
        const EditSnapshot after = TakeSnapshot(edit);
        EXPECT_TRUE(after == before) << "print " << print << ": left " << after.rect.left << " right "
                                     << after.rect.right << ", was " << before.rect.left << " "
                                     << before.rect.right;
    }
    SendMessageA(edit, WM_SETFONT, 0, FALSE);
    DeleteObject(font);
}

using PrinterDevice = Printing;

TEST_F(PrinterDevice, LookupRecordsThePrinterItsMetricsAndMarginsAndEnablesPrinting)
{
    EXPECT_EQ(PrinterState.name, "PDF");
    EXPECT_EQ(PrinterState.driver, "wineps.drv");
    EXPECT_EQ(PrinterState.port, "CUPS:PDF");
    EXPECT_EQ(PrinterState.minRight, PrinterState.paperWidth - PrinterState.horzRes - PrinterState.offsetX);
    HDC screen = GetDC(nullptr);
    const int scaleY = MulDivRound(PrinterState.dpiY, 100, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    EXPECT_GT(PrinterState.pageLineHeight, 0);
    EXPECT_EQ(PrinterState.minTop, PrinterState.offsetY + UnitsToDots(PrinterState.pageLineHeight, scaleY))
        << "the header's line as it is drawn";
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_FALSE(Grayed(MenuState(id))) << id;
    }
    PageLayout.leftMm = 30;
    RefreshPrinterState();
    PageLayout = PageLayoutRecord();
    EXPECT_EQ(PrinterState.leftDots, DotsPerMm(PrinterState.dpiX) * 30);
    EXPECT_EQ(PrinterState.bottomDots, DotsPerMm(PrinterState.dpiY) * 15);
}

TEST_F(PrinterDevice, DefaultRecordIsThePlatformsSizeForOneCopy)
{
    DEVMODEA record;
    ASSERT_TRUE(BuildDefaultDevMode("PDF", "CUPS:PDF", record));
    EXPECT_STREQ(reinterpret_cast<const char*>(record.dmDeviceName), "PDF");
    EXPECT_EQ(record.dmSize, sizeof(DEVMODEA));
    EXPECT_EQ(record.dmDriverExtra, 0);
    EXPECT_EQ(record.dmCopies, 1);
    EXPECT_EQ(record.dmTTOption, DMTT_DOWNLOAD);
    EXPECT_EQ(record.dmPaperSize, DMPAPER_A4);
}

HGLOBAL SavedSettings(const std::string& printer, const char* deviceName)
{
    DEVMODEA record;
    EXPECT_TRUE(BuildDefaultDevMode(printer.c_str(), ("CUPS:" + printer).c_str(), record));
    std::memset(record.dmDeviceName, 0, sizeof record.dmDeviceName);
    std::memcpy(record.dmDeviceName, deviceName, std::min<std::size_t>(std::strlen(deviceName), 31));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof record);
    std::memcpy(GlobalLock(block), &record, sizeof record);
    GlobalUnlock(block);
    return block;
}

TEST_F(PrinterDevice, SavedSettingsNamingAnotherPrinterFallBackOnceSayingSoOrKeepALongName)
{
    const std::string longName = LongQueueName();
    ASSERT_GT(longName.size(), 31u) << "scripts/test.sh adds a queue with a long name";
    char line[160] = "";
    GetProfileStringA("windows", "device", "", line, sizeof line);
    const struct {
        std::string printer;
        const char* device;
        bool kept;
        std::string name;
        Strings messages;
    } cases[] = {
        {"PDF", "Printer B", false, "PDF",
         {"印字機の設定で選んだ「Printer B」を開けません。初期設定の印字機を使います。"}},
        {longName, longName.c_str(), true, longName, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        WriteProfileStringA("windows", "device", (c.printer + ",wineps.drv,CUPS:" + c.printer).c_str());
        HGLOBAL saved = SavedSettings(c.printer, c.device);
        PrinterState.savedDevMode = saved;
        DialogWatch watch;
        watch.On("モクレ", PressOk);
        HDC context = CreatePrinterContext(false);
        EXPECT_NE(context, nullptr);
        DeleteDC(context);
        EXPECT_EQ(PrinterState.name, c.name);
        EXPECT_EQ(PrinterState.savedDevMode, c.kept ? saved : nullptr);
        EXPECT_EQ(watch.Messages(), c.messages);
        RefreshPrinterState();
        EXPECT_EQ(watch.Messages(), c.messages) << "said once";
    }
    WriteProfileStringA("windows", "device", line);
}

// Counts the information contexts made: each is a lookup of the printer.
int contextsMade = 0;
ImportPatch* createIcPatch = nullptr;

HDC WINAPI CountingCreateIc(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings)
{
    ++contextsMade;
    return createIcPatch->original<decltype(&CreateICW)>()(driver, device, port, settings);
}

TEST_F(PrinterDevice, OnlyAChangeOfThePrintersSectionsOrOfNoneLooksThePrinterUp)
{
    const struct {
        UINT message;
        const char* section;
        int lookups;
    } cases[] = {
        {WM_SETTINGCHANGE, nullptr, 1}, {WM_SETTINGCHANGE, "windows", 1}, {WM_SETTINGCHANGE, "Devices", 1},
        {WM_SETTINGCHANGE, "intl", 0},  {WM_SETTINGCHANGE, "Policy", 0},  {WM_SETTINGCHANGE, "windowsx", 0},
        {WM_DEVMODECHANGE, "PDF", 1},
    };
    ImportPatch patch("gdi32.dll", "CreateICW", reinterpret_cast<void*>(CountingCreateIc));
    ASSERT_TRUE(patch.Patched());
    createIcPatch = &patch;
    for (const auto& c : cases) {
        contextsMade = 0;
        SendMessageA(frame(), c.message, 0, reinterpret_cast<LPARAM>(c.section));
        EXPECT_EQ(contextsMade, c.lookups) << c.message << " " << (c.section != nullptr ? c.section : "(none)");
    }
    createIcPatch = nullptr;
}

TEST_F(PrinterDevice, FailedLookupEmptiesTheNameAndKeepsTheMetrics)
{
    char line[160] = "";
    GetProfileStringA("windows", "device", "", line, sizeof line);
    const int dpi = PrinterState.dpiX;
    for (const char* broken : {"", "PDF,wineps.drv", "PDF,wineps.drv,"}) {
        WriteProfileStringA("windows", "device", broken);
        EXPECT_EQ(CreatePrinterContext(true), nullptr) << broken;
        EXPECT_FALSE(PrinterState.available);
        EXPECT_EQ(PrinterState.name, "");
        EXPECT_EQ(PrinterState.dpiX, dpi);
    }
    WriteProfileStringA("windows", "device", line);
    RefreshPrinterState();
    EXPECT_TRUE(PrinterState.available);
}

using PrinterSetup = Printing;

TEST_F(PrinterSetup, ConfirmedSettingsAreKeptCancelKeepsThemAndFailuresAreNamed)
{
    DialogWatch watch;
    watch.On("印字機の設定", PressOk);
    HGLOBAL first = RunPrinterSetup(frame());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PrinterState.savedDevMode, first);
    EXPECT_EQ(watch.Captions(), Strings{"印字機の設定"}) << "the program's own template";
    RefreshPrinterState();
    EXPECT_TRUE(PrinterState.available);

    watch.On("印字機の設定", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(RunPrinterSetup(frame()), nullptr);
    EXPECT_EQ(PrinterState.savedDevMode, first);
    EXPECT_EQ(watch.Messages(), Strings{}) << "cancel says nothing";

    watch.On("モクレ", PressOk);
    ReportCommonDialogError(0x0000, frame());
    ReportCommonDialogError(0x100C, frame());
    EXPECT_EQ(watch.Messages(), Strings{"未定義のエラーが発生しました。"}) << "a failure is named, a cancel not";
}

// Picks a printer in the set-up dialog as the user does.
void ChoosePrinter(HWND dialog, const std::string& printer)
{
    HWND list = GetDlgItem(dialog, cmb1);
    SendMessageA(list, CB_SETCURSEL,
                 SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(printer.c_str())),
                 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

TEST_F(PrinterSetup, APrinterWithALongNameChosenInTheDialogIsTheOnePrintedOn)
{
    const std::string queue = LongQueueName();
    ASSERT_GT(queue.size(), 31u) << "scripts/test.sh adds a queue with a long name";
    DialogWatch watch;
    watch.On("印字機の設定", [&queue](HWND dialog) {
        ChoosePrinter(dialog, queue);
        PressOk(dialog);
    });
    ASSERT_NE(RunPrinterSetup(frame()), nullptr);

    const int before = JobsPrintedOn(queue);
    const std::string token = UniqueJobToken();
    EXPECT_TRUE(PrintDocument(PrepareDocument(token, {"長い名前"})));
    EXPECT_EQ(PrinterState.name, queue);
    EXPECT_EQ(PrinterState.port, "CUPS:" + queue) << "Wine prints to the port it is given";
    EXPECT_EQ(watch.Captions(), (Strings{"印字機の設定", "印刷"})) << "no message";
    EXPECT_TRUE(Holds(watch.seen().back().texts, queue)) << "the printing dialog names it";
    EXPECT_EQ(ReadPrintedPages(token, false).count, 1);
    EXPECT_EQ(JobsPrintedOn(queue), before + 1) << "the print server counted the job on that queue";

    std::string shown;
    watch.On("印字機の設定", [&shown](HWND dialog) {
        shown = TitleOf(GetDlgItem(dialog, cmb1));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunPrinterSetup(frame());
    EXPECT_EQ(shown, queue) << "the next set-up dialog opens on it";
}

TEST_F(PrinterSetup, HidesTheAdditionalSettingsButton)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's print dialog procedure calls only lpfnPrintHook (with PD_ENABLEPRINTHOOK), "
                        "never lpfnSetupHook, so button 1024 stays visible";
    }
    bool visible = true;
    DialogWatch watch;
    watch.On("印字機の設定", [&visible](HWND dialog) {
        // The dialog is shown only after it is set up: ask the button's own style.
        visible = (GetWindowLongA(GetDlgItem(dialog, 1024), GWL_STYLE) & WS_VISIBLE) != 0;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunPrinterSetup(frame());
    EXPECT_FALSE(visible);
}

// The worked example's printer: 600 dpi, the printable area 100 dots in
// from the edges, a default line of 100 dots.
class PageLayoutDialogs : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        PageLayout = PageLayoutRecord();
        PrinterState.dpiX = PrinterState.dpiY = 600;
        PrinterState.minLeft = PrinterState.minRight = PrinterState.minBottom = 100;
        PrinterState.minTop = 200;
        PrinterState.paperWidth = 4960;
        PrinterState.paperHeight = 7016;
        PrinterState.lineHeight = 100;
        watch_.On("モクレ", PressOk);
    }
    void TearDown() override
    {
        PageLayout = PageLayoutRecord();
        FrameTest::TearDown();
    }
    // Opens the dialog; act fills it and presses a button.
    void Run(std::function<void(HWND)> act)
    {
        watch_.On("頁の割付の設定", act);
        ShowPageLayoutDialog();
    }
    DialogWatch watch_;
};

TEST_F(PageLayoutDialogs, OpensOnTheLayoutWithOkDisabledAndFieldsLimited)
{
    LRESULT limits[2] = {};
    bool okEnabled = true;
    Run([&](HWND dialog) {
        okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        limits[0] = SendDlgItemMessageA(dialog, IDC_PAGELAYOUT_HEADER, EM_GETLIMITTEXT, 0, 0);
        limits[1] = SendDlgItemMessageA(dialog, IDC_PAGELAYOUT_LEFT, EM_GETLIMITTEXT, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(limits[0], 49) << "a pattern keeps 49 bytes and its zero";
    EXPECT_EQ(limits[1], 3) << "margins take at most 3 digits";
    for (const char* text : {"文書名：%s", "-%d-", "20", "17", "15"}) {
        EXPECT_TRUE(Holds(watch_.seen().front().texts, text)) << text;
    }
}

TEST_F(PageLayoutDialogs, OkFollowsTheFieldThatChanged)
{
    const struct {
        int field;
        const char* text;
        bool enabled;
    } cases[] = {
        {IDC_PAGELAYOUT_HEADER, "", false}, {IDC_PAGELAYOUT_HEADER, "a", true},
        {IDC_PAGELAYOUT_FOOTER, "", false}, {IDC_PAGELAYOUT_LEFT, "0", false},
        {IDC_PAGELAYOUT_LEFT, "abc", false}, {IDC_PAGELAYOUT_BOTTOM, "12", true},
    };
    for (const auto& c : cases) {
        bool enabled = !c.enabled;
        Run([&](HWND dialog) {
            SetDlgItemTextA(dialog, c.field, c.text);
            enabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(enabled, c.enabled) << c.field << " " << c.text;
    }
}

TEST_F(PageLayoutDialogs, RefusedMarginsAreNamedAndNothingIsStored)
{
    const struct {
        const char* margins[4];
        const char* message;
    } cases[] = {
        {{"4", "17", "20", "15"}, "左の余白の長さは短く取り過ぎています。"},
        {{"20", "17", "20", ""}, "下の余白の長さは短く取り過ぎています。"},
        {{"20", "17", "200", "89"}, "上下の余白の長さは長く取り過ぎています。"},
    };
    const int fields[] = {IDC_PAGELAYOUT_LEFT, IDC_PAGELAYOUT_RIGHT, IDC_PAGELAYOUT_TOP, IDC_PAGELAYOUT_BOTTOM};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        bool stillOpen = false;
        Run([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_HEADER, "changed %s");
            for (int i = 0; i < 4; ++i) {
                SetDlgItemTextA(dialog, fields[i], c.margins[i]);
            }
            PressOk(dialog);
            // The refusal's box comes up over the dialog, which then cancels.
            watch_.On("モクレ", [dialog, &stillOpen](HWND box) {
                stillOpen = IsWindow(dialog) != FALSE;
                PressOk(box);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        });
        ASSERT_FALSE(watch_.Messages().empty());
        EXPECT_EQ(watch_.Messages().back(), c.message);
        EXPECT_TRUE(stillOpen);
        const PageLayoutRecord defaults;
        EXPECT_TRUE(PageLayout.leftMm == defaults.leftMm && PageLayout.topMm == defaults.topMm &&
                    PageLayout.rightMm == defaults.rightMm && PageLayout.bottomMm == defaults.bottomMm);
        EXPECT_STREQ(PageLayout.headerPattern, defaults.headerPattern);
    }
}

TEST_F(PageLayoutDialogs, AcceptedLayoutIsStoredWithItsDotsAndPatternsCutWhole)
{
    std::string header;  // 50 bytes; the 49th ends inside a character
    for (int i = 0; i < 25; ++i) {
        header += "表";
    }
    std::string shown;
    Run([&](HWND dialog) {
        HWND field = GetDlgItem(dialog, IDC_PAGELAYOUT_HEADER);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(header.c_str()));
        shown = TitleOf(field);
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_FOOTER, "頁%d");
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_LEFT, "5");
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_TOP, "9");
        PressOk(dialog);
    });
    EXPECT_EQ(watch_.Messages(), Strings{});
    EXPECT_EQ(PageLayout.leftMm, 5);
    EXPECT_EQ(PageLayout.topMm, 9);
    EXPECT_EQ(PrinterState.leftDots, 120);
    EXPECT_EQ(PrinterState.topDots, 216);
    EXPECT_EQ(shown, header.substr(0, 48)) << "the field shows what is kept";
    EXPECT_EQ(std::string(PageLayout.headerPattern), shown);
    EXPECT_STREQ(PageLayout.footerPattern, "頁%d");
}

using NoPrinterAvailable = FrameTest;

int framesDisabled = 0;

LRESULT CALLBACK CountFrameDisabled(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_ENABLE && !call->wParam && call->hwnd == AppState.frameWindow) {
        ++framesDisabled;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(NoPrinterAvailable, PrintingIsGrayedAndReportsOnlyThatTheFileTitleCannotBePrinted)
{
    EXPECT_FALSE(PrinterState.available);
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
    const std::string longName(140, 'N');
    auto days = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += "\x93\xfa";  // 日
        }
        return text;
    };
    const struct {
        std::string caption;
        std::string title;
    } cases[] = {
        {"書簡1", "書簡1"},
        {"C:\\DOCS\\MEMO.TXT", "MEMO.TXT"},
        // Too long for the title's 128 bytes: cut from the caption, not left unset.
        {"C:\\DOCS\\" + longName, longName.substr(0, 127)},
        // Shift-JIS titles that outgrow 128 bytes while their UTF-16 fits.
        {"C:\\A\\" + days(65) + ".TXT", days(63)},
        {"C:\\A\\" + days(62) + ".TXT", days(62) + ".TX"},
    };
    for (const auto& c : cases) {
        SetWindowTextA(AppState.activeDocument, c.caption.c_str());
        DialogWatch watch;
        watch.On("モクレ", PressOk);
        framesDisabled = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountFrameDisabled, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(PrintDocument(AppState.activeDocument));
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(watch.Captions(), Strings{"モクレ"}) << "no printing dialog";
        EXPECT_EQ(watch.Messages(), Strings{"「" + c.title + "」 を印刷できません!"});
        EXPECT_EQ(framesDisabled, 1) << "the frame is disabled only by the message box";
    }
}

ImportPatch* titlePatch = nullptr;

// A title as Wine gives one whose Shift-JIS outgrows the buffer: the buffer
// filled to its end, no terminator, and success.
short WINAPI TitleFillingTheBuffer(LPCSTR file, LPSTR title, WORD size)
{
    titlePatch->original<decltype(&GetFileTitleA)>()(file, title, size);
    std::memset(title, 'X', size);
    return 0;
}

TEST_F(NoPrinterAvailable, AFileTitleThatFillsItsBufferIsNotBelieved)
{
    ImportPatch patch("comdlg32.dll", "GetFileTitleA", reinterpret_cast<void*>(TitleFillingTheBuffer));
    ASSERT_TRUE(patch.Patched());
    titlePatch = &patch;
    SetWindowTextA(AppState.activeDocument, "C:\\DOCS\\MEMO.TXT");
    DialogWatch watch;
    watch.On("モクレ", PressOk);
    EXPECT_FALSE(PrintDocument(AppState.activeDocument));
    EXPECT_EQ(watch.Messages(), Strings{"「MEMO.TXT」 を印刷できません!"});
}

TEST_F(NoPrinterAvailable, PrinterSetupReportsThatThereIsNoDefaultPrinter)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's PrintDlgA shows a box of its own (check_printer_setup) when there is no "
                        "printer instead of failing with PDERR_NODEFAULTPRN";
    }
    DialogWatch watch;
    watch.On("モクレ", PressOk);
    EXPECT_EQ(RunPrinterSetup(frame()), nullptr);
    EXPECT_EQ(watch.Messages(), Strings{"デフォルトプリンタが見つかりません。"});
}

}  // namespace
