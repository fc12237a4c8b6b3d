#include "print/printer_setup.h"

#include "msg/message_box.h"
#include "print/common_dialog_errors.h"
#include "print/printer_device.h"
#include "res/resource.h"
#include "state/app_state.h"
#include "text/shift_jis_font.h"

#include <commdlg.h>
#include <dlgs.h>

namespace {

PRINTDLGA request;

}  // namespace

HGLOBAL RunPrinterSetup(HWND owner)
{
    request = PRINTDLGA();
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.hDevMode = PrinterState.savedDevMode;
    request.hDevNames = PrinterState.savedDevNames;
    request.hInstance = AppState.instance;
    request.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK | PD_ENABLESETUPTEMPLATE;
    request.lpfnSetupHook = PrintSetupHook;
    request.lpSetupTemplateName = MAKEINTRESOURCEA(IDD_PRINTSETUPDLG);
    if (!PrintDlgA(&request)) {
        ReportCommonDialogError(CommDlgExtendedError(), owner);
        return nullptr;
    }
    // The device names hold the chosen printer's whole name, which the
    // settings' own field cuts to 31 bytes.
    PrinterState.savedDevMode = request.hDevMode;
    PrinterState.savedDevNames = request.hDevNames;
    return request.hDevMode;
}

UINT_PTR CALLBACK PrintSetupHook(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ShowDialogInShiftJis(dialog);
        if ((request.Flags & PD_ENABLESETUPTEMPLATE) != 0) {
            ShowWindow(GetDlgItem(dialog, psh1), SW_HIDE);
        }
        return TRUE;
    }
    return FALSE;
}

void ReportCommonDialogError(DWORD code, HWND owner)
{
    const int stringId = CommonDialogErrorStringId(code);
    if (stringId == 0) {
        return;
    }
    char text[256] = "";
    LoadStringA(AppState.instance, static_cast<UINT>(stringId), text, sizeof text);
    JpMessageBox(owner, text, "モクレ", MB_OK);
}
