#pragma once
// The typeface of a document, chosen through the platform's font dialog with
// the program's own template.

#include <windows.h>

// Runs the font dialog, owned by owner, from CurrentLogFont; on OK gives the
// active document the chosen font and releases the one it replaces.
void ChooseDocumentFont(HWND owner);

// The dialog's hook: takes the vertical-writing faces and those without
// Shift-JIS out of the face list once the dialog has filled it.
UINT_PTR CALLBACK FontDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the font the dialog answered, in the Shift-JIS character set, and
// gives it to the document and its edit control; CurrentLogFont keeps it
// for the next dialog. 0, and nothing changed, when the font cannot be made.
int UseChosenFont(HWND document, HWND edit, LOGFONTA chosen);
