#pragma once
// The go-to-line dialog.

#include <windows.h>

INT_PTR CALLBACK GoToLineDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Asks for a line number and puts the caret at the start of that line of
// the active document.
void RunGoToLineDialog(HWND owner);
