#pragma once
// Reading and filling a document's edit control the way the program does,
// shared by the tests of wrap mode, fonts and character-set conversion.

#include <windows.h>

#include <string>

bool UnderWine();

// The control's whole text, read with WM_GETTEXT.
std::string ControlText(HWND edit);

// Hands the control a text in a block of its own, as loading a file does.
void GiveText(HWND edit, const std::string& bytes);

// The number of edit controls (child identifier 3244) in the document.
int EditControlsIn(HWND document);

// True when the control covers the document's whole client area.
bool FillsClientArea(HWND document, HWND edit);
