#pragma once
// The find dialog and the replace dialog: one procedure for both templates.

#include <windows.h>

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the find (IDD_FIND) or replace (IDD_REPLACE) dialog modally.
void RunSearchDialog(HWND owner, int templateId);

// Repeats the search forward, or opens the find dialog while there is
// nothing to search for.
void FindNext();
