#include "document/goto_line_dialog.h"

#include "document/doc_info.h"
#include "msg/message_box.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

namespace {

constexpr UINT kLineBeyondEnd = 30;

UINT LineCount()
{
    return static_cast<UINT>(SendMessageA(AppState.activeEdit, EM_GETLINECOUNT, 0, 0));
}

UINT TypedLine(HWND dialog)
{
    BOOL ok = FALSE;
    const UINT n = GetDlgItemInt(dialog, IDC_GOTOLINE_NUMBER, &ok, FALSE);
    return ok ? n : 0;
}

void Initialise(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_GOTOLINE_MAX, FormatLineCountLabel(static_cast<int>(LineCount())).c_str());
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
}

void GoToTypedLine(HWND dialog)
{
    const UINT n = TypedLine(dialog);
    const UINT lines = LineCount();
    if (n == 0) {
        return;
    }
    if (n > lines) {
        ReportError(dialog, MB_OK, kLineBeyondEnd, static_cast<long long>(lines));
        BringWindowToTop(dialog);
        return;
    }
    HWND edit = AppState.activeEdit;
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, n - 1, 0);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), start);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK GoToLineDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        Initialise(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_GOTOLINE_NUMBER:
            if (HIWORD(wParam) == EN_CHANGE) {
                EnableWindow(GetDlgItem(dialog, IDOK), TypedLine(dialog) != 0);
            }
            return TRUE;
        case IDOK:
            GoToTypedLine(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void RunGoToLineDialog(HWND owner)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_GOTOLINE), owner, GoToLineDialog, 0);
}
