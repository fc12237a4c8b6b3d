#pragma once
// A document's edit control: the style of its two forms, its place in the
// document, and the hand-over of its text block.

#include <windows.h>

// The style of a document's edit control in the wrapping form (wrap
// nonzero) or the scrolling one, without WS_VISIBLE.
DWORD EditStyleForMode(int wrap);

// Moves the edit control over the whole client area of its document.
void FitToClientArea(HWND document, HWND edit, BOOL repaint);

// Fits the control to its document and has it lay its formatting rectangle
// out afresh, as a resize does, also when its size stays the same.
void RefitToClientArea(HWND document, HWND edit);

// Gives an edit control a text block as its own and frees the block it had:
// the control does not free a block it is given another for.
void GiveTextBlock(HWND edit, HLOCAL block);
