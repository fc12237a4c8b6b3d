#pragma once
// The program's own dialog that names a document before it is saved, and the
// save under a new name that it starts.

#include <windows.h>

INT_PTR CALLBACK SaveAsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when the user chose a new name for the document (its title now holds
// it), 0 when the user cancelled.
int RunSaveAsDialog(HWND document);

// Asks for a new name and writes the document under it. 0 when written; 1
// when the user cancelled or the write failed, and then the document keeps
// its old title, its untitled mark and its changed mark.
LRESULT SaveUnderNewName(HWND document);
