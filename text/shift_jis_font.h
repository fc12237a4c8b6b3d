#pragma once
// Fonts that show Shift-JIS on any system. GDI, its stock fonts and the
// dialog manager follow the system's code page, which the manifest does not
// change: where that is not 932 their fonts read the program's bytes by
// another code page, and a raster font gets no font linking to make up for it.

#include <windows.h>

// The system's ANSI code page, not the process's.
UINT SystemCodePage();

// True where the system's own fonts show Shift-JIS: its code page is 932.
bool SystemFontsShowShiftJis();

// A new Shift-JIS font with the cell height and weight that model has in
// dc, of a fixed-pitch face where one has the character set; none when it
// cannot be made. Chosen by character set and pitch: no face is assumed.
HFONT CreateShiftJisFontLike(HDC dc, HGDIOBJ model);

// Where the system's fonts do not show Shift-JIS, gives the controls of a
// dialog a Shift-JIS font of the size of the dialog's own; elsewhere the
// dialog keeps the font of its template. For WM_INITDIALOG.
void ShowDialogInShiftJis(HWND dialog);
