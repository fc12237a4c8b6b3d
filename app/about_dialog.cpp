#include "app/about_dialog.h"

#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowDialogInShiftJis(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void RunAboutDialog(HWND owner)
{
    DialogBoxParamA(AppState.instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialog, 0);
}
