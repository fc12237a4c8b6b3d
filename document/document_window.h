#pragma once
// A document window: an MDI child holding one edit control and seven slots
// of per-document data (document_data.h).

#include <windows.h>

LRESULT CALLBACK DocumentWndProc(HWND document, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when the document may close (saved, unchanged, or the user chose not to
// save), 0 when it must stay open.
int QuerySaveDocument(HWND document);
