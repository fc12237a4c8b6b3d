#include "print/page_layout_dialog.h"

#include "document/document_data.h"
#include "document/limited_field.h"
#include "msg/message_box.h"
#include "print/page_layout.h"
#include "print/print_job.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

#include <cstring>
#include <string>

namespace {

constexpr int kMarginDigits = 3;
// A pattern field holds what the layout keeps: its text without the zero.
constexpr std::size_t kPatternTextBytes = kPatternBytes - 1;

struct MarginField {
    int id;
    int PageLayoutRecord::*millimetres;
};

constexpr MarginField kMarginFields[] = {
    {IDC_PAGELAYOUT_LEFT, &PageLayoutRecord::leftMm},
    {IDC_PAGELAYOUT_RIGHT, &PageLayoutRecord::rightMm},
    {IDC_PAGELAYOUT_TOP, &PageLayoutRecord::topMm},
    {IDC_PAGELAYOUT_BOTTOM, &PageLayoutRecord::bottomMm},
};

void InitPageLayoutDialog(HWND dialog)
{
    LimitFieldBytes(GetDlgItem(dialog, IDC_PAGELAYOUT_HEADER), kPatternTextBytes);
    LimitFieldBytes(GetDlgItem(dialog, IDC_PAGELAYOUT_FOOTER), kPatternTextBytes);
    SetDlgItemTextA(dialog, IDC_PAGELAYOUT_HEADER, PageLayout.headerPattern);
    SetDlgItemTextA(dialog, IDC_PAGELAYOUT_FOOTER, PageLayout.footerPattern);
    for (const MarginField& field : kMarginFields) {
        SendDlgItemMessageA(dialog, field.id, EM_LIMITTEXT, kMarginDigits, 0);
        SetDlgItemInt(dialog, field.id, static_cast<UINT>(PageLayout.*field.millimetres), FALSE);
    }
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
}

// OK follows the field that changed: a pattern must not be empty, a margin
// must read as a number other than 0.
void FieldChanged(HWND dialog, int id)
{
    bool acceptable = false;
    if (id == IDC_PAGELAYOUT_HEADER || id == IDC_PAGELAYOUT_FOOTER) {
        acceptable = SendDlgItemMessageA(dialog, id, WM_GETTEXTLENGTH, 0, 0) > 0;
    } else {
        acceptable = GetDlgItemInt(dialog, id, nullptr, FALSE) != 0;
    }
    EnableWindow(GetDlgItem(dialog, IDOK), acceptable ? TRUE : FALSE);
}

std::string FieldPattern(HWND dialog, int id)
{
    return PatternFromField(WindowTitle(GetDlgItem(dialog, id)).c_str());
}

MarginLimits CurrentMarginLimits()
{
    MarginLimits limits;
    limits.dpiX = PrinterState.dpiX;
    limits.dpiY = PrinterState.dpiY;
    limits.minLeft = PrinterState.minLeft;
    limits.minRight = PrinterState.minRight;
    limits.minTop = PrinterState.minTop;
    limits.minBottom = PrinterState.minBottom;
    limits.paperWidth = PrinterState.paperWidth;
    limits.paperHeight = PrinterState.paperHeight;
    limits.lineHeight = PrinterState.lineHeight;
    return limits;
}

// Stores the layout only when all four margins leave room for text; a
// refused margin is named and the dialog stays open with nothing stored.
bool AcceptPageLayout(HWND dialog)
{
    MarginsMm margins;
    int* read[] = {&margins.left, &margins.right, &margins.top, &margins.bottom};
    for (int i = 0; i < 4; ++i) {
        *read[i] = static_cast<int>(GetDlgItemInt(dialog, kMarginFields[i].id, nullptr, FALSE));
    }
    const MarginProblem problem = CheckMargins(margins, CurrentMarginLimits());
    if (problem.stringId != 0) {
        ReportError(dialog, MB_OK, static_cast<UINT>(problem.stringId), problem.word);
        BringWindowToTop(dialog);
        return false;
    }
    PageLayout.leftMm = margins.left;
    PageLayout.rightMm = margins.right;
    PageLayout.topMm = margins.top;
    PageLayout.bottomMm = margins.bottom;
    ComputeMarginDots();
    const std::string header = FieldPattern(dialog, IDC_PAGELAYOUT_HEADER);
    const std::string footer = FieldPattern(dialog, IDC_PAGELAYOUT_FOOTER);
    std::memcpy(PageLayout.headerPattern, header.c_str(), header.size() + 1);
    std::memcpy(PageLayout.footerPattern, footer.c_str(), footer.size() + 1);
    return true;
}

void PageLayoutCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDOK:
    case IDC_PAGELAYOUT_PRINT:
        if (AcceptPageLayout(dialog)) {
            EndDialog(dialog, id);
        }
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_PAGELAYOUT_HEADER:
    case IDC_PAGELAYOUT_FOOTER:
        if (notification == EN_UPDATE) {
            KeepFieldWithin(GetDlgItem(dialog, id), kPatternTextBytes);
        }
        [[fallthrough]];
    default:
        if (notification == EN_CHANGE) {
            FieldChanged(dialog, id);
        }
        break;
    }
}

bool HandlesCommand(int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDC_PAGELAYOUT_HEADER:
    case IDC_PAGELAYOUT_PRINT:
    case IDC_PAGELAYOUT_FOOTER:
    case IDC_PAGELAYOUT_LEFT:
    case IDC_PAGELAYOUT_RIGHT:
    case IDC_PAGELAYOUT_TOP:
    case IDC_PAGELAYOUT_BOTTOM:
        return true;
    default:
        return false;
    }
}

}  // namespace

void ShowPageLayoutDialog()
{
    const INT_PTR result = DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_PAGELAYOUT),
                                           AppState.frameWindow, PageLayoutDialog, 0);
    // Printing starts once the dialog is gone, so that its window is not
    // left under the printing dialog.
    if (result == IDC_PAGELAYOUT_PRINT && AppState.activeDocument != nullptr) {
        PrintDocument(AppState.activeDocument);
    }
}

INT_PTR CALLBACK PageLayoutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        InitPageLayoutDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (!HandlesCommand(LOWORD(wParam))) {
            return FALSE;
        }
        PageLayoutCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
