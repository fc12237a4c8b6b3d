#include "print/print_job.h"

#include "document/document_data.h"
#include "document/edit_control.h"
#include "msg/message_box.h"
#include "print/page_geometry.h"
#include "print/page_layout.h"
#include "print/page_text.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/gdi_text.h"
#include "text/shift_jis_font.h"
#include "text/sjis.h"

#include <cstring>
#include <string>
#include <vector>

PrintJobRecord PrintJob;

namespace {

constexpr UINT kJobNameString = 24;
constexpr UINT kCannotPrintString = 25;
constexpr char kCaption[] = "モクレ";

// The layout of the running job, read by the header and footer.
PageGeometry jobPage;
int footerLineHeight = 0;
HWND printingDialog = nullptr;

std::string SpoolerDocumentName(const std::string& caption)
{
    char name[269] = "";
    LoadStringA(AppState.instance, kJobNameString, name, sizeof name);
    std::string text(name);
    const std::size_t room = sizeof name - 1 - text.size();
    text.append(caption, 0, CutOnCharBoundary(caption.c_str(), room));
    return text;
}

// The file title of the caption, cut to the record on a character boundary.
// The platform's buffer has room for a title of as many characters as the
// record has bytes; when it gives no title that fits, the caption's last part
// is taken.
void SetDocumentTitle(const std::string& caption)
{
    char title[2 * sizeof PrintJob.documentTitle + 2] = "";
    std::string answer;
    if (GetFileTitleA(caption.c_str(), title, sizeof title) != 0 || !ReadAnsiAnswer(title, sizeof title, answer)) {
        answer = caption;
    }
    const std::string chosen = TitleAfterLastSeparator(answer.c_str(), sizeof PrintJob.documentTitle - 1);
    std::memcpy(PrintJob.documentTitle, chosen.c_str(), chosen.size() + 1);
}

void ShowJobMessage(HWND document, const char* text)
{
    JpMessageBox(document, text, kCaption, MB_OK);
}

// One line of the edit control as the control lays it out, in code page 932.
std::string EditLine(HWND edit, int index)
{
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    const LRESULT length = SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    // The control counts characters or bytes by platform; two bytes a
    // character is room enough for either.
    std::size_t size = static_cast<std::size_t>(length) * 2 + 2;
    if (size > 0xFFFF) {
        size = 0xFFFF;
    }
    std::vector<char> buffer(size + 1, '\0');
    const WORD room = static_cast<WORD>(size);
    std::memcpy(buffer.data(), &room, sizeof room);
    const LRESULT copied = SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    if (length == 0 || copied <= 0) {
        return std::string();
    }
    return std::string(buffer.data(), static_cast<std::size_t>(copied));
}

// A page that could not be ended or begun; a page end that the user's
// cancel refused says nothing.
void ReportPageFailure(HWND document)
{
    if (!PrintJob.cancelRequested) {
        ShowJobMessage(document, "頁終了出来ません。");
    }
}

// Everything between the start and the end of the document; true when every
// page ended well and the document was ended.
bool SpoolPages(HDC printer, HWND document, HWND edit)
{
    const SIZE cc = TextExtent932(printer, "CC");
    const int lineStep = cc.cy;
    if (lineStep <= 0) {
        return false;
    }
    const int lineCount = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    PageFlow flow(jobPage.textTop, jobPage.textHeight, lineStep);
    if (StartPage(printer) <= 0) {
        ReportPageFailure(document);
        return false;
    }
    DrawPageHeader(printer);
    for (int i = 0; i < lineCount; ++i) {
        if (flow.LineNeedsNewPage()) {
            DrawPageFooter(printer, flow.Page(), jobPage.footerBase);
            if (!PrintAbortProc(printer, 0)) {
                return false;
            }
            if (EndPage(printer) <= 0) {
                ReportPageFailure(document);
                return false;
            }
            flow.NewPage();
            if (StartPage(printer) <= 0) {
                ReportPageFailure(document);
                return false;
            }
            DrawPageHeader(printer);
        }
        DrawBodyLine(printer, jobPage.textLeft, flow.Y(), EditLine(edit, i));
        if (!PrintAbortProc(printer, 0)) {
            return false;
        }
        flow.Advance();
    }
    DrawPageFooter(printer, flow.Page(), jobPage.footerBase);
    if (!PrintAbortProc(printer, 0) || EndPage(printer) <= 0 || !PrintAbortProc(printer, 0)) {
        return false;
    }
    return true;
}

void StartPrintingDialog(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_PRINTING_DEVICE, PrinterState.name.c_str());
    SetDlgItemTextA(dialog, IDC_PRINTING_PORT, PrinterState.port.c_str());
    SetDlgItemTextA(dialog, IDC_PRINTING_TITLE, PrintJob.documentTitle);
    SetDlgItemTextA(dialog, IDC_PRINTING_FONT, PrintJob.printFaceName);
    PrintJob.cancelRequested = false;
}

// Steps 13 on: the frame disabled, the dialog up, the document spooled.
bool RunPrintingDialogAndJob(HDC printer, HWND document, HWND edit, const std::string& jobName)
{
    EnableWindow(AppState.frameWindow, FALSE);
    printingDialog = CreateDialogParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PRINTING), document,
                                        PrintingDialog, 0);
    bool succeeded = false;
    if (printingDialog != nullptr) {
        ShowWindow(printingDialog, SW_SHOW);
        UpdateWindow(printingDialog);
        if (SetAbortProc(printer, PrintAbortProc) <= 0) {
            ShowJobMessage(document, "印刷中止手続きが出来ません。");
        } else {
            DWORD error = ERROR_SUCCESS;
            if (StartDoc932(printer, jobName, error) <= 0) {
                // The platform may ask the abort procedure while it starts
                // the document, and a driver that prints to a file asks for
                // the file's name there: a cancel of either is the user's,
                // not a failure.
                if (error == ERROR_CANCELLED) {
                    PrintJob.cancelRequested = true;
                }
                if (!PrintJob.cancelRequested) {
                    ShowJobMessage(document, "印刷開始出来ません。");
                }
            } else if (SpoolPages(printer, document, edit)) {
                // The document is ended only after every page ended well and
                // nothing was cancelled; otherwise it is aborted, never both.
                succeeded = EndDoc(printer) > 0;
            } else {
                AbortDoc(printer);
            }
        }
    }
    EnableWindow(AppState.frameWindow, TRUE);
    if (printingDialog != nullptr) {
        DestroyWindow(printingDialog);
        printingDialog = nullptr;
    }
    return succeeded;
}

// Steps 5 to 26 on a printer context; the edit control keeps its font and
// formatting rectangle on every path.
bool PrintOnContext(HDC printer, HWND document, HWND edit, const std::string& jobName)
{
    HDC screen = GetDC(edit);
    const int screenDpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int screenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(edit, screen);

    const MarginDots margins{PrinterState.leftDots, PrinterState.rightDots, PrinterState.topDots,
                             PrinterState.bottomDots};
    if (!ComputePageGeometry(CurrentPrinterMetrics(), margins, screenDpiX, screenDpiY, jobPage) ||
        !SetPrintMapping(printer, jobPage.scaleX, jobPage.scaleY)) {
        return false;
    }
    // Measured where the footer is drawn: in page units, in its own font.
    footerLineHeight = DeviceFontLineHeight(printer);

    HFONT editFont = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    HGDIOBJ displaced = editFont != nullptr ? SelectObject(printer, editFont) : nullptr;
    TextFace932(printer, PrintJob.printFaceName, sizeof PrintJob.printFaceName);
    const bool substituted = std::strcmp(PrintJob.printFaceName, "System") == 0 ||
                             std::strcmp(PrintJob.printFaceName, "FixedSys") == 0;
    HFONT printFont = nullptr;
    if (substituted) {
        SelectObject(printer, GetStockObject(DEVICE_DEFAULT_FONT));
        TextFace932(printer, PrintJob.printFaceName, sizeof PrintJob.printFaceName);
        printFont = CreatePrintFont(jobPage.scaleX, jobPage.scaleY);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(printFont), FALSE);
    }

    RECT formatting = {};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&formatting));
    RECT printed = formatting;
    printed.right = jobPage.textWidth;
    SendMessageA(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&printed));

    const bool succeeded = RunPrintingDialogAndJob(printer, document, edit, jobName);

    if (substituted) {
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(editFont), TRUE);
        DeleteObject(printFont);
    }
    if (displaced != nullptr) {
        SelectObject(printer, displaced);
    }
    // The control answers EM_GETRECT inside the margins of its font and may
    // take them off again on EM_SETRECT; refitted to its window it lays its
    // rectangle out afresh, as on every resize.
    RefitToClientArea(document, edit);
    return succeeded;
}

}  // namespace

bool PrintDocument(HWND document)
{
    HWND edit = DocumentEdit(document);
    PrintJob.cancelRequested = false;
    const std::string caption = WindowTitle(document);
    const std::string jobName = SpoolerDocumentName(caption);
    SetDocumentTitle(caption);

    bool succeeded = false;
    HDC printer = CreatePrinterContext(false);
    if (printer != nullptr) {
        succeeded = PrintOnContext(printer, document, edit, jobName);
        DeleteDC(printer);
    }
    if (!succeeded && !PrintJob.cancelRequested) {
        ReportError(document, MB_ICONEXCLAMATION, kCannotPrintString, PrintJob.documentTitle);
    }
    return succeeded;
}

INT_PTR CALLBACK PrintingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        StartPrintingDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            PrintJob.cancelRequested = true;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CALLBACK PrintAbortProc(HDC, int)
{
    MSG msg;
    while (!PrintJob.cancelRequested && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (printingDialog == nullptr || !IsDialogMessageA(printingDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return PrintJob.cancelRequested ? FALSE : TRUE;
}

void DrawBodyLine(HDC printer, int x, int y, const std::string& text)
{
    TextOut932(printer, x, y, text);
}

void DrawPageHeader(HDC printer)
{
    const HeaderFont header(printer);
    DrawBodyLine(printer, jobPage.textLeft, 0, FormatHeaderLine(PageLayout.headerPattern, PrintJob.documentTitle));
}

void DrawPageFooter(HDC printer, int page, int footerBase)
{
    const HeaderFont footer(printer);
    DrawCentred(printer, 0, footerBase, FormatFooterLine(PageLayout.footerPattern, page).c_str());
}

void DrawCentred(HDC printer, int leftX, int baseY, const char* text)
{
    const SIZE extent = TextExtent932(printer, text);
    const int x = leftX + (jobPage.pageWidth - extent.cx) / 2;
    const int y = baseY - footerLineHeight;
    TextOut932(printer, x, y, text);
}

HFONT CreatePrintFont(int scaleX, int scaleY)
{
    const TEXTMETRICA& metrics = PrinterState.fontMetrics;
    LOGFONTA font = {};
    font.lfHeight = -MulDivRound(PrinterState.lineHeight, 100, scaleY);
    font.lfWidth = MulDivRound(metrics.tmAveCharWidth, 100, scaleX);
    font.lfWeight = metrics.tmWeight;
    font.lfItalic = metrics.tmItalic;
    font.lfUnderline = metrics.tmUnderlined;
    font.lfStrikeOut = metrics.tmStruckOut;
    // The control lays its bytes out by this font's character set.
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = static_cast<BYTE>((metrics.tmPitchAndFamily & 0xF0) | FIXED_PITCH);
    std::strcpy(font.lfFaceName, "ＭＳ 明朝");
    return CreateFont932(font);
}
