#pragma once
// The frame window: menu states, command dispatch, drops, and the operations
// that make, find and close document windows.

#include <windows.h>

#include <string>

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

void CommandDispatch(HWND frame, WPARAM command, LPARAM lParam);
void UpdateMenuState(HMENU menu);
void HandleDroppedFiles(HDROP drop);

// 1 when every document agreed to close, 0 when one refused.
int QueryCloseAll();
void DestroyAllDocuments();

// A new maximised document window titled title, empty and untitled.
HWND MakeDocumentWindow(const std::string& title);

// A new maximised document: untitled when name is null, else loaded from the
// named file (upper-cased in place). None when the window or the load failed.
HWND CreateDocumentWindow(char* name);

// Brings an open document forward, or opens the file in a new one. The
// search upper-cases a copy: the file is opened by the name as given.
void OpenOrBringForward(char* name);

void OpenFileCommand();
