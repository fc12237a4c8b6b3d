#pragma once
// The program's own message box, with Japanese buttons, and the reporting
// of string-table messages through it.

#include <windows.h>

#include <string>

// Shows text and caption (code page 932; either may be null) with the
// buttons that the low three bits of flags choose. Answers the pressed
// button's identifier (1 to 7), 2 for Escape and the close box, -1 when
// the box could not be built.
int JpMessageBox(HWND owner, const char* text, const char* caption, UINT flags);

// Formats string-table message stringId with one argument and shows it,
// captioned with the program's name and owned by the frame window. While it
// is up, the frame's dialog that asked for it (window, or else the active
// window) is disabled.
int ReportError(HWND window, UINT flags, UINT stringId, const char* argument);
int ReportError(HWND window, UINT flags, UINT stringId, long long argument);

// Moves window so that it is centred over owner and stays within the work
// area of the monitor that owner is on.
void CentreOnOwner(HWND window, HWND owner);

// The UTF-16 form of a code page 932 text; false (and a report) when it
// cannot be converted.
bool ToWideText(const char* text, std::u16string& wide);

// The widest line of text in bytes; raises lineCount by one for each line break.
int MeasureMessageText(const char* text, int& lineCount);
