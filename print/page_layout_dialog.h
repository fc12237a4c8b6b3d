#pragma once
// The page layout dialog: header and footer patterns and the four margins,
// checked against the printer before they are stored.

#include <windows.h>

void ShowPageLayoutDialog();

INT_PTR CALLBACK PageLayoutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
