#pragma once
// The printer set-up common dialog, in the program's own template, and the
// program's messages for the common dialogs' failures.

#include <windows.h>

// Runs the dialog for the owner; the confirmed settings become the saved
// settings of PrinterState. Answers them, or none when cancelled or failed.
HGLOBAL RunPrinterSetup(HWND owner);

UINT_PTR CALLBACK PrintSetupHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the message for an extended error code; nothing for 0 (cancelled).
void ReportCommonDialogError(DWORD code, HWND owner);
