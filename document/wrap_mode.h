#pragma once
// The two forms of a document's edit control, wrapping at the window edge or
// scrolling sideways, and the switch that writes wrapped breaks into the text.

#include <windows.h>

// Replaces the document's edit control by one of the other form and hands
// the text block across without copying it. 1 on success; 0 when it failed,
// and then the document keeps its control, text and mode.
int SetWrapMode(HWND document, int wrap);

// Turns the forced line breaks of the document on or off, the opposite of
// what its slot says.
void SwitchForcedBreaks(HWND document);
