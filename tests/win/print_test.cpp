// Printing: the default printer, the print job read back from a real PDF
// queue, the page layout dialog and the printer set-up dialog. Suites whose
// name starts with NoPrinter run where the print server cannot be reached.

#include "app/app_state.h"
#include "document/document_window.h"
#include "print/page_geometry.h"
#include "print/page_layout.h"
#include "print/page_layout_dialog.h"
#include "print/print_job.h"
#include "print/printer_device.h"
#include "print/printer_setup.h"
#include "res/resource.h"
#include "tests/win/harness.h"
#include "tests/win/print_support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <cstring>

namespace {

bool Grayed(UINT state)
{
    return (state & MF_GRAYED) != 0;
}

// The page arithmetic of a job on the current printer for this edit
// control, worked out on an information context as the job does it.
struct ExpectedLayout {
    PageGeometry page;
    int lineStep = 0;
    int tabStop = 0;  // x where the text after a leading tab starts
};

ExpectedLayout LayoutFor(HWND edit)
{
    ExpectedLayout layout;
    HDC screen = GetDC(edit);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(edit, screen);
    HDC printer = CreatePrinterContext(true);
    EXPECT_NE(printer, nullptr);
    if (printer == nullptr) {
        return layout;
    }
    const MarginDots margins{PrinterState.leftDots, PrinterState.rightDots, PrinterState.topDots,
                             PrinterState.bottomDots};
    EXPECT_TRUE(ComputePageGeometry(CurrentPrinterMetrics(), margins, dpiX, dpiY, layout.page));
    SetPrintMapping(printer, layout.page.scaleX, layout.page.scaleY);
    SelectObject(printer, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    SIZE cc = {};
    GetTextExtentPoint32A(printer, "CC", 2, &cc);
    layout.lineStep = cc.cy;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(printer, &metrics);
    const int tab = 8 * metrics.tmAveCharWidth;
    layout.tabStop = (layout.page.textLeft / tab + 1) * tab;
    DeleteDC(printer);
    return layout;
}

// A document of the given lines in the active window, titled token so that
// its PDF can be found.
HWND PrepareDocument(const std::string& token, const std::vector<std::string>& lines)
{
    HWND document = AppState.activeDocument;
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size()) {
            text += "\r\n";
        }
    }
    SendMessageA(AppState.activeEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetWindowTextA(document, token.c_str());
    return document;
}

std::string BodyLine(int n)
{
    char line[64];
    std::snprintf(line, sizeof line, "第%02d行の本文です", n);
    return line;
}

std::string BodyMarker(int n)
{
    char marker[16];
    std::snprintf(marker, sizeof marker, "第%02d行", n);
    return marker;
}

std::string Dump(const std::vector<PrintedLine>& page)
{
    std::string text;
    for (const PrintedLine& line : page) {
        text += std::to_string(line.left) + " " + line.text + "\n";
    }
    return text;
}

// OCR may misread one digit of a small line: a text holds what it holds
// with at most one byte read otherwise.
bool NearlyContains(const std::string& text, const std::string& wanted)
{
    if (wanted.size() > text.size()) {
        return false;
    }
    for (std::size_t at = 0; at + wanted.size() <= text.size(); ++at) {
        int differing = 0;
        for (std::size_t i = 0; i < wanted.size() && differing <= 1; ++i) {
            differing += text[at + i] != wanted[i] ? 1 : 0;
        }
        if (differing <= 1) {
            return true;
        }
    }
    return false;
}

bool PageHolds(const std::vector<PrintedLine>& page, const std::string& text)
{
    for (const PrintedLine& line : page) {
        if (NearlyContains(line.text, text)) {
            return true;
        }
    }
    return false;
}

const PrintedLine* FindLine(const std::vector<PrintedLine>& page, const std::string& text)
{
    for (const PrintedLine& line : page) {
        if (line.text.find(text) != std::string::npos) {
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
};

TEST_F(Printing, SixtyLinesPrintWithHeaderFooterAndBodyOnThePagesTheGeometryPredicts)
{
    const std::string token = UniqueJobToken();
    std::vector<std::string> lines{"\tタブの後"};
    for (int n = 1; n < 60; ++n) {
        lines.push_back(BodyLine(n));
    }
    HWND document = PrepareDocument(token, lines);
    HWND edit = AppState.activeEdit;
    const ExpectedLayout layout = LayoutFor(edit);
    ASSERT_GT(layout.lineStep, 0);
    const int lineCount = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    ASSERT_EQ(lineCount, 60);
    const int expectedPages = PageCount(lineCount, layout.page.textTop, layout.page.textHeight, layout.lineStep);
    EXPECT_GE(expectedPages, 2) << "the document should run over a page";
    const EditSnapshot before = TakeSnapshot(edit);

    DialogWatch watch;
    EXPECT_TRUE(PrintDocument(document));
    EXPECT_EQ(watch.Captions(), std::vector<std::string>{"印刷"});
    ASSERT_FALSE(watch.seen().empty());
    const std::vector<std::string>& shown = watch.seen().front().texts;
    EXPECT_NE(std::find(shown.begin(), shown.end(), token), shown.end()) << "the dialog names the document";
    EXPECT_NE(std::find(shown.begin(), shown.end(), "PDF"), shown.end()) << "the dialog names the printer";
    EXPECT_TRUE(IsWindowEnabled(frame()));
    EXPECT_TRUE(TakeSnapshot(edit) == before) << "the edit control keeps its font, rectangle and text";

    const PrintedPages printed = ReadPrintedPages(token, true);
    ASSERT_EQ(printed.count, expectedPages) << "one copy, pages as the geometry predicts";
    ASSERT_EQ(static_cast<int>(printed.pages.size()), expectedPages);
    const std::string header = NormaliseOcr("文書名：" + token);
    int next = 1;
    for (int p = 0; p < expectedPages; ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const std::vector<PrintedLine>& page = printed.pages[static_cast<std::size_t>(p)];
        EXPECT_TRUE(PageHolds(page, header)) << "header " << header << " on a page that reads:\n" << Dump(page);
        const std::string footer = "-" + std::to_string(p + 1) + "-";
        ASSERT_FALSE(page.empty());
        EXPECT_NE(page.back().text.find(footer), std::string::npos)
            << "footer " << footer << " is the page's last line; read: " << page.back().text;
        for (const PrintedLine& line : page) {
            if (next < 60 && NearlyContains(line.text, BodyMarker(next))) {
                ++next;
            }
        }
    }
    EXPECT_EQ(next, 60) << "body lines in order up to " << BodyMarker(next) << " were read";

    // The text after a leading tab starts at the first tab stop beyond the
    // left margin, the stops counted from the printable area's left edge.
    const PrintedLine* tabbed = FindLine(printed.pages.front(), NormaliseOcr("タブの後"));
    const PrintedLine* plain = FindLine(printed.pages.front(), BodyMarker(1));
    ASSERT_NE(tabbed, nullptr);
    ASSERT_NE(plain, nullptr);
    const int unitsToPixels = layout.page.scaleX * 150;
    const int expectedShift = MulDivRound(layout.tabStop - layout.page.textLeft, unitsToPixels, 100 * PrinterState.dpiX);
    EXPECT_NEAR(tabbed->left - plain->left, expectedShift, 12);
}

// Lines the job has taken from the edit control, and the press to make
// once it has taken so many: a cancel at a known point of the job.
int linesTaken = 0;
int pressAfterLines = 0;
std::function<void()> pendingPress;

LRESULT CALLBACK CountLinesTaken(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == EM_GETLINE && ++linesTaken == pressAfterLines && pendingPress) {
        pendingPress();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PressCancel(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void PressEscapeIn(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDOK);
    PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

TEST_F(Printing, CancelFromThePrintingDialogPrintsNothingAndSaysNothing)
{
    struct Case {
        const char* how;
        int afterLines;  // 0: as soon as the dialog is up
        void (*press)(HWND);
    };
    const Case cases[] = {
        {"the cancel button as the job starts", 0, PressCancel},
        {"the cancel button on the second page", 60, PressCancel},
        {"the Escape key on the first page", 3, PressEscapeIn},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string token = UniqueJobToken();
        std::vector<std::string> lines;
        for (int n = 1; n <= 120; ++n) {
            lines.push_back(BodyLine(n % 100));
        }
        HWND document = PrepareDocument(token, lines);
        const EditSnapshot before = TakeSnapshot(AppState.activeEdit);
        DialogWatch watch;
        HWND printing = nullptr;
        watch.On("印刷", [&](HWND dialog) {
            printing = dialog;
            if (c.afterLines == 0) {
                c.press(dialog);
            }
        });
        linesTaken = 0;
        pressAfterLines = c.afterLines;
        pendingPress = [&]() { c.press(printing); };
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountLinesTaken, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(PrintDocument(document));
        UnhookWindowsHookEx(hook);
        pendingPress = nullptr;
        EXPECT_EQ(watch.Messages(), std::vector<std::string>{}) << "no message after a cancel";
        EXPECT_EQ(watch.Captions(), std::vector<std::string>{"印刷"});
        EXPECT_LE(linesTaken, c.afterLines + 1) << "the job stops after the line of the cancel";
        EXPECT_TRUE(IsWindowEnabled(frame()));
        EXPECT_FALSE(IsWindow(printing));
        EXPECT_TRUE(TakeSnapshot(AppState.activeEdit) == before);
        EXPECT_EQ(ReadPrintedPages(token, false).count, 0) << "an aborted job leaves no pages";
    }
}

// The face the printer gives its device default font.
std::string DeviceDefaultFace()
{
    HDC printer = CreatePrinterContext(true);
    char face[LF_FACESIZE] = "";
    if (printer != nullptr) {
        SelectObject(printer, GetStockObject(DEVICE_DEFAULT_FONT));
        GetTextFaceA(printer, sizeof face, face);
        DeleteDC(printer);
    }
    return face;
}

TEST_F(Printing, SystemFacesPrintInTheDeviceDefaultFontAndGetTheirFontBack)
{
    const std::string deviceFace = DeviceDefaultFace();
    ASSERT_FALSE(deviceFace.empty());
    for (const char* face : {"System", "FixedSys"}) {
        SCOPED_TRACE(face);
        HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, face);
        HWND edit = AppState.activeEdit;
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const std::string token = UniqueJobToken();
        HWND document = PrepareDocument(token, {"\x95\x5c"});
        const EditSnapshot before = TakeSnapshot(edit);
        DialogWatch watch;
        EXPECT_TRUE(PrintDocument(document));
        ASSERT_EQ(watch.Captions(), std::vector<std::string>{"印刷"});
        const std::vector<std::string>& shown = watch.seen().front().texts;
        if (std::strcmp(PrintJob.printFaceName, face) == 0 || deviceFace == face) {
            ADD_FAILURE() << "the printer context kept the face " << face;
        }
        EXPECT_EQ(PrintJob.printFaceName, deviceFace);
        EXPECT_NE(std::find(shown.begin(), shown.end(), deviceFace), shown.end()) << "the dialog shows the face";
        EXPECT_TRUE(TakeSnapshot(edit) == before) << "the edit control has its own font back";
        EXPECT_EQ(ReadPrintedPages(token, false).count, 1);
        SendMessageA(edit, WM_SETFONT, 0, FALSE);
        DeleteObject(font);
    }
}

TEST_F(Printing, PageLayoutPrintButtonStoresTheLayoutAndPrints)
{
    const std::string token = UniqueJobToken();
    HWND document = PrepareDocument(token, {"一行だけ"});
    DialogWatch watch;
    watch.On("頁の割付の設定", [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_FOOTER, "%s頁 %d/%%");
        PostMessageA(dialog, WM_COMMAND, IDC_PAGELAYOUT_PRINT, 0);
    });
    Command(IDM_FILEPAGESETUP);
    EXPECT_EQ(watch.Captions(), (std::vector<std::string>{"頁の割付の設定", "印刷"}));
    EXPECT_STREQ(PageLayout.footerPattern, "%s頁 %d/%%");
    ASSERT_TRUE(IsWindow(document));
    EXPECT_EQ(ReadPrintedPages(token, false).count, 1);
    PageLayout = PageLayoutRecord();
}

TEST_F(Printing, MenuEnablesPrintingWhileAPrinterIsAvailable)
{
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_FALSE(Grayed(MenuState(id))) << id;
    }
    Command(IDM_WINCLOSEALL);
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
}

class PrinterDevice : public Printing {
protected:
    void TearDown() override
    {
        if (PrinterState.savedDevMode != nullptr) {
            GlobalFree(PrinterState.savedDevMode);
            PrinterState.savedDevMode = nullptr;
        }
        Printing::TearDown();
    }
};

TEST_F(PrinterDevice, LookupRecordsThePrinterItsMetricsAndTheMarginsInDots)
{
    EXPECT_STREQ(PrinterState.name, "PDF");
    EXPECT_STREQ(PrinterState.driver, "wineps.drv");
    EXPECT_STREQ(PrinterState.port, "CUPS:PDF");
    EXPECT_GT(PrinterState.dpiX, 0);
    EXPECT_GT(PrinterState.lineHeight, 0);
    EXPECT_GT(PrinterState.pageLineHeight, 0);
    EXPECT_EQ(PrinterState.minLeft, PrinterState.offsetX);
    EXPECT_EQ(PrinterState.minRight, PrinterState.paperWidth - PrinterState.horzRes - PrinterState.offsetX);
    HDC screen = GetDC(nullptr);
    const int scaleY = MulDivRound(PrinterState.dpiY, 100, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(PrinterState.minTop, PrinterState.offsetY + UnitsToDots(PrinterState.pageLineHeight, scaleY));
    PageLayout.leftMm = 30;
    RefreshPrinterState();
    EXPECT_EQ(PrinterState.leftDots, DotsPerMm(PrinterState.dpiX) * 30);
    EXPECT_EQ(PrinterState.bottomDots, DotsPerMm(PrinterState.dpiY) * 15);
    PageLayout = PageLayoutRecord();
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
    EXPECT_EQ(record.dmOrientation, DMORIENT_PORTRAIT);
}

HGLOBAL SavedSettingsNaming(const char* device)
{
    DEVMODEA record;
    EXPECT_TRUE(BuildDefaultDevMode("PDF", "CUPS:PDF", record));
    std::memset(record.dmDeviceName, 0, sizeof record.dmDeviceName);
    std::memcpy(record.dmDeviceName, device, std::strlen(device));
    record.dmFields &= ~static_cast<DWORD>(DM_SCALE | DM_TTOPTION);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof record);
    std::memcpy(GlobalLock(block), &record, sizeof record);
    GlobalUnlock(block);
    return block;
}

TEST_F(PrinterDevice, SavedSettingsAreUsedAndMarkedForScaleAndTrueType)
{
    PrinterState.savedDevMode = SavedSettingsNaming("PDF");
    RefreshPrinterState();
    EXPECT_TRUE(PrinterState.available);
    ASSERT_NE(PrinterState.savedDevMode, nullptr);
    const auto* saved = static_cast<const DEVMODEA*>(GlobalLock(PrinterState.savedDevMode));
    EXPECT_EQ(saved->dmFields & (DM_SCALE | DM_TTOPTION), static_cast<DWORD>(DM_SCALE | DM_TTOPTION));
    GlobalUnlock(PrinterState.savedDevMode);
}

TEST_F(PrinterDevice, SettingsOfAPrinterThatCannotBeReachedAreDroppedForTheDefault)
{
    PrinterState.savedDevMode = SavedSettingsNaming("Printer B");
    HDC context = CreatePrinterContext(false);
    EXPECT_NE(context, nullptr) << "the default record is tried once more";
    DeleteDC(context);
    EXPECT_EQ(PrinterState.savedDevMode, nullptr);
    EXPECT_STREQ(PrinterState.name, "PDF");
    EXPECT_TRUE(PrinterState.available);
}

TEST_F(PrinterDevice, ALongNameCutToTheSettingsRecordKeepsItsFullName)
{
    const std::string longName = "MokureQueueWithANameLongerThanADeviceRecordHolds";
    const std::string port = "CUPS:" + longName;
    DEVMODEA record;
    if (!BuildDefaultDevMode(longName.c_str(), port.c_str(), record)) {
        GTEST_SKIP() << "no queue " << longName << " (scripts/test.sh adds one)";
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.dmDeviceName)), longName.substr(0, 31));
    char line[160] = "";
    GetProfileStringA("windows", "device", "", line, sizeof line);
    WriteProfileStringA("windows", "device", (longName + ",wineps.drv," + port).c_str());
    HGLOBAL saved = GlobalAlloc(GMEM_MOVEABLE, sizeof record);
    std::memcpy(GlobalLock(saved), &record, sizeof record);
    GlobalUnlock(saved);
    PrinterState.savedDevMode = saved;

    HDC context = CreatePrinterContext(false);
    EXPECT_NE(context, nullptr);
    DeleteDC(context);
    EXPECT_EQ(PrinterState.name, longName);
    EXPECT_EQ(PrinterState.savedDevMode, saved) << "the settings stay in use";

    WriteProfileStringA("windows", "device", line);
    RefreshPrinterState();
    EXPECT_STREQ(PrinterState.name, "PDF");
}

TEST_F(PrinterDevice, FailedLookupEmptiesTheNameAndKeepsTheMetrics)
{
    char line[160] = "";
    GetProfileStringA("windows", "device", "", line, sizeof line);
    const int dpi = PrinterState.dpiX;
    const int minTop = PrinterState.minTop;
    for (const char* broken : {"", "PDF,wineps.drv", "PDF,wineps.drv,"}) {
        SCOPED_TRACE(broken);
        WriteProfileStringA("windows", "device", broken);
        EXPECT_EQ(CreatePrinterContext(true), nullptr);
        EXPECT_FALSE(PrinterState.available);
        EXPECT_STREQ(PrinterState.name, "");
        EXPECT_EQ(PrinterState.dpiX, dpi);
        EXPECT_EQ(PrinterState.minTop, minTop);
    }
    WriteProfileStringA("windows", "device", line);
    RefreshPrinterState();
    EXPECT_TRUE(PrinterState.available);
}

using PrinterSetup = PrinterDevice;

TEST_F(PrinterSetup, ConfirmedSettingsAreKeptAndOpenTheNextDialog)
{
    DialogWatch watch;
    watch.On("印字機の設定", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    HGLOBAL first = RunPrinterSetup(frame());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PrinterState.savedDevMode, first);
    EXPECT_EQ(watch.Captions(), std::vector<std::string>{"印字機の設定"}) << "the program's own template";
    RefreshPrinterState();
    EXPECT_TRUE(PrinterState.available);
    EXPECT_STREQ(PrinterState.name, "PDF");

    watch.On("印字機の設定", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(RunPrinterSetup(frame()), nullptr);
    EXPECT_NE(PrinterState.savedDevMode, nullptr) << "cancel keeps the settings";
    EXPECT_EQ(watch.Messages(), std::vector<std::string>{}) << "cancel says nothing";
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
        // The dialog itself is shown only after it is set up: ask the button's own style.
        visible = (GetWindowLongA(GetDlgItem(dialog, 1024), GWL_STYLE) & WS_VISIBLE) != 0;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunPrinterSetup(frame());
    EXPECT_FALSE(visible);
}

TEST_F(PrinterSetup, CommonDialogErrorsAreReportedInTheProgramsWords)
{
    struct Case {
        DWORD code;
        const char* message;
    };
    const Case cases[] = {
        {0x0000, nullptr},
        {0x0002, "コモン ダイアログ初期化エラー\n\r メモリ不足の可能性があります"},
        {0x1008, "デフォルトプリンタが見つかりません。"},
        {0x100C, "未定義のエラーが発生しました。"},
        {0xFFFF, "DialogBox() によるダイアログ作成に失敗しました。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        DialogWatch watch;
        watch.On("モクレ", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        ReportCommonDialogError(c.code, frame());
        const std::vector<std::string> expected =
            c.message == nullptr ? std::vector<std::string>{} : std::vector<std::string>{c.message};
        EXPECT_EQ(watch.Messages(), expected);
    }
}

// The worked example's printer: 600 dpi, printable area 100 dots in from
// the left and top edges, a default line of 100 dots.
void UseWorkedExamplePrinter()
{
    PrinterState.dpiX = 600;
    PrinterState.dpiY = 600;
    PrinterState.minLeft = 100;
    PrinterState.minRight = 100;
    PrinterState.minTop = 200;
    PrinterState.minBottom = 100;
    PrinterState.paperWidth = 4960;
    PrinterState.paperHeight = 7016;
    PrinterState.lineHeight = 100;
}

class PageLayoutDialogs : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        PageLayout = PageLayoutRecord();
        UseWorkedExamplePrinter();
    }
    void TearDown() override
    {
        PageLayout = PageLayoutRecord();
        FrameTest::TearDown();
    }

    // Opens the dialog, lets act fill it, and presses the button.
    DialogWatch& Run(std::function<void(HWND)> act)
    {
        watch_.On("頁の割付の設定", [act](HWND dialog) { act(dialog); });
        watch_.On("モクレ", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        ShowPageLayoutDialog();
        return watch_;
    }

    DialogWatch watch_;
};

TEST_F(PageLayoutDialogs, OpensOnTheLayoutWithOkDisabledAndFieldsLimited)
{
    bool okEnabled = true;
    LRESULT patternLimit = 0;
    LRESULT marginLimit = 0;
    std::string left;
    Run([&](HWND dialog) {
        okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        patternLimit = SendDlgItemMessageA(dialog, IDC_PAGELAYOUT_HEADER, EM_GETLIMITTEXT, 0, 0);
        marginLimit = SendDlgItemMessageA(dialog, IDC_PAGELAYOUT_LEFT, EM_GETLIMITTEXT, 0, 0);
        left = TitleOf(GetDlgItem(dialog, IDC_PAGELAYOUT_LEFT));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(patternLimit, 50);
    EXPECT_EQ(marginLimit, 3) << "margins take at most 3 digits";
    EXPECT_EQ(left, "20");
    ASSERT_FALSE(watch_.seen().empty());
    const std::vector<std::string>& texts = watch_.seen().front().texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "文書名：%s"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "-%d-"), texts.end());
}

TEST_F(PageLayoutDialogs, OkFollowsTheFieldThatChanged)
{
    struct Case {
        int field;
        const char* text;
        bool enabled;
    };
    const Case cases[] = {
        {IDC_PAGELAYOUT_HEADER, "", false}, {IDC_PAGELAYOUT_HEADER, "a", true},
        {IDC_PAGELAYOUT_FOOTER, "", false}, {IDC_PAGELAYOUT_LEFT, "0", false},
        {IDC_PAGELAYOUT_LEFT, "abc", false}, {IDC_PAGELAYOUT_BOTTOM, "12", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool enabled = !c.enabled;
        Run([&](HWND dialog) {
            SetDlgItemTextA(dialog, c.field, c.text);
            enabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(enabled, c.enabled);
    }
}

TEST_F(PageLayoutDialogs, RefusedMarginsAreNamedAndNothingIsStored)
{
    struct Case {
        const char* left;
        const char* right;
        const char* top;
        const char* bottom;
        const char* message;
    };
    const Case cases[] = {
        {"4", "17", "20", "15", "左の余白の長さは短く取り過ぎています。"},
        {"20", "4", "20", "15", "右の余白の長さは短く取り過ぎています。"},
        {"20", "17", "8", "15", "上の余白の長さは短く取り過ぎています。"},
        {"20", "17", "20", "", "下の余白の長さは短く取り過ぎています。"},
        {"150", "57", "20", "15", "左右の余白の長さは長く取り過ぎています。"},
        {"20", "17", "200", "89", "上下の余白の長さは長く取り過ぎています。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        watch_.On("モクレ", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        bool stillOpen = false;
        Run([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_HEADER, "changed %s");
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_LEFT, c.left);
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_RIGHT, c.right);
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_TOP, c.top);
            SetDlgItemTextA(dialog, IDC_PAGELAYOUT_BOTTOM, c.bottom);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            // After the refusal's box, the dialog is still there to cancel.
            watch_.On("モクレ", [dialog, &stillOpen](HWND box) {
                stillOpen = IsWindow(dialog) != FALSE;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        });
        ASSERT_FALSE(watch_.Messages().empty());
        EXPECT_EQ(watch_.Messages().back(), c.message);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(PageLayout.leftMm, 20);
        EXPECT_EQ(PageLayout.rightMm, 17);
        EXPECT_EQ(PageLayout.topMm, 20);
        EXPECT_EQ(PageLayout.bottomMm, 15);
        EXPECT_STREQ(PageLayout.headerPattern, "文書名：%s");
    }
}

TEST_F(PageLayoutDialogs, AcceptedLayoutIsStoredWithItsDotsAndPatternsCutWhole)
{
    // 25 double-byte characters: 50 bytes, of which 49 would end inside one.
    std::string longHeader;
    for (int i = 0; i < 25; ++i) {
        longHeader += "表";
    }
    Run([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_HEADER, longHeader.c_str());
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_FOOTER, "頁%d");
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_LEFT, "5");
        SetDlgItemTextA(dialog, IDC_PAGELAYOUT_TOP, "9");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(watch_.Messages().empty());
    EXPECT_EQ(PageLayout.leftMm, 5);
    EXPECT_EQ(PageLayout.topMm, 9);
    EXPECT_EQ(PrinterState.leftDots, 120);
    EXPECT_EQ(PrinterState.topDots, 216);
    EXPECT_EQ(std::string(PageLayout.headerPattern), longHeader.substr(0, 48));
    EXPECT_STREQ(PageLayout.footerPattern, "頁%d");
}

TEST_F(PageLayoutDialogs, TypedMarginsStopAtThreeDigits)
{
    std::string typed;
    Run([&](HWND dialog) {
        HWND field = GetDlgItem(dialog, IDC_PAGELAYOUT_RIGHT);
        SetWindowTextA(field, "");
        for (char c : std::string("1234")) {
            SendMessageA(field, WM_CHAR, static_cast<WPARAM>(c), 0);
        }
        typed = TitleOf(field);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(typed, "123");
}

using NoPrinterAvailable = FrameTest;

TEST_F(NoPrinterAvailable, PrintingCommandsAreGrayedWithADocument)
{
    EXPECT_FALSE(PrinterState.available);
    EXPECT_STREQ(PrinterState.name, "");
    for (UINT id : {IDM_FILEPRINT, IDM_FILEPAGESETUP, IDM_FILESETUP}) {
        EXPECT_TRUE(Grayed(MenuState(id))) << id;
    }
}

std::vector<HWND> framesDisabled;

LRESULT CALLBACK WatchFrameDisabled(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_ENABLE && call->wParam == FALSE &&
        call->hwnd == AppState.frameWindow) {
        framesDisabled.push_back(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(NoPrinterAvailable, PrintingReportsOnlyThatTheFileTitleCannotBePrinted)
{
    std::string longName(140, 'N');
    struct Case {
        std::string caption;
        std::string title;
    };
    const Case cases[] = {
        {"書簡1", "書簡1"},
        {"C:\\DOCS\\MEMO.TXT", "MEMO.TXT"},
        // Too long for the title's 128 bytes: the name after the last "\"
        // is cut, not the buffer left as it was.
        {"C:\\DOCS\\" + longName, longName.substr(0, 127)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        SetWindowTextA(AppState.activeDocument, c.caption.c_str());
        DialogWatch watch;
        watch.On("モクレ", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        framesDisabled.clear();
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchFrameDisabled, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(PrintDocument(AppState.activeDocument));
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(watch.Captions(), std::vector<std::string>{"モクレ"}) << "no printing dialog";
        EXPECT_EQ(watch.Messages(), std::vector<std::string>{"「" + c.title + "」 を印刷できません!"});
        EXPECT_EQ(framesDisabled.size(), 1u) << "the frame is disabled only by the message box";
        EXPECT_TRUE(IsWindowEnabled(frame()));
    }
}

TEST_F(NoPrinterAvailable, PrinterSetupReportsThatThereIsNoDefaultPrinter)
{
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's PrintDlgA shows a box of its own (check_printer_setup) when there is no "
                        "printer instead of failing with PDERR_NODEFAULTPRN";
    }
    DialogWatch watch;
    watch.On("モクレ", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(RunPrinterSetup(frame()), nullptr);
    EXPECT_EQ(watch.Messages(), std::vector<std::string>{"デフォルトプリンタが見つかりません。"});
}

}  // namespace
