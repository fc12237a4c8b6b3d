#pragma once
// A document's edit control: the style of its two forms, its place in the
// document, and the hand-over of its text.

#include <windows.h>

#include <cstddef>
#include <string>

// The style of a document's edit control in the wrapping form (wrap
// nonzero) or the scrolling one, without WS_VISIBLE; ES_OEMCONVERT only
// where the OEM code page is 932.
DWORD EditStyleForMode(int wrap);

// Moves the edit control over the whole client area of its document.
void FitToClientArea(HWND document, HWND edit, BOOL repaint);

// Fits the control to its document and has it lay its formatting rectangle
// out afresh, as a resize does, also when its size stays the same.
void RefitToClientArea(HWND document, HWND edit);

// Finds out once whether the edit control keeps its text as UTF-16, so that
// the block it hands out is a copy, and records in AppState how the program
// gives and reads its text.
void ProbeEditTextBlock();

// Gives an edit control a text block as its own and frees the block it had:
// the control does not free a block it is given another for. False when the
// control did not take the block: it then keeps its own, and nothing is freed.
bool GiveTextBlock(HWND edit, HLOCAL block);

// Makes the zero-ended text in block (a movable local block of the
// program's) the control's whole text, with empty undo and no EN_CHANGE,
// by the means AppState.editBlockIsItsText names. The block is the
// control's or freed afterwards. False when the control refused the text
// and kept its own.
bool GiveText(HWND edit, HLOCAL block);

// Makes the zero-ended code page 932 text the control's whole text by
// WM_SETTEXT, checked by what the control then holds, with empty undo and
// no EN_CHANGE; false when the control refused it and kept its own.
bool SetTextChecked(HWND edit, const char* text);

// The control's whole text as it shows it, in UTF-16: where it holds UTF-16
// (Wine), characters code page 932 lacks stay what they are. False when
// memory ran short or the text did not come.
bool ShownTextOf(HWND edit, std::wstring& text);

// Makes the UTF-16 text the control's whole text, with empty undo and no
// EN_CHANGE; false when the control refused it and kept its own.
bool SetShownText(HWND edit, const std::wstring& text);

// A copy of the control's whole text in a new movable local block ending
// with a zero, as GiveText takes it; none when memory ran short.
HLOCAL CopyOfText(HWND edit);

// Before the control is destroyed: a block the program has borrowed from it
// (EM_GETHANDLE) is no longer freed by the control under Wine, so it is
// taken back by the documented hand-over, an empty block given in its place,
// and freed here; the control frees the empty one.
void ReleaseTextBlock(HWND edit);
