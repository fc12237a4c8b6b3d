#pragma once
// The editing commands that act directly on the active edit control.

#include <windows.h>

// Undo, cut, copy, paste, delete, the selection commands, start and end of
// the document and the date insertions, by command identifier.
void RunEditingCommand(HWND edit, UINT command);

// Replaces the selection with the current date and time in one of the
// three year styles (command IDM_EDITDATEKOKI, _HEISEI or _SEIREKI).
void InsertDateAndTime(HWND edit, UINT command);

// Reports resolution, formatting rectangle, size, lines, caret and typeface
// of the edit control; with no document, says that none is open.
void ShowDocumentInformation(HWND owner, HWND edit);
