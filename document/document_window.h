#pragma once
// A document window: an MDI child holding one edit control and seven slots
// of per-document data.

#include <windows.h>

#include <string>

// The per-document slots, in the order they are stored in the window.
enum class DocumentWindow : int {
    edit,          // the edit control
    changed,       // 1 when the text changed since it was made, loaded or saved
    wrap,          // 1 = lines wrap at the window edge, 0 = horizontal scrolling
    untitled,      // 1 while the document has no file name
    forcedBreaks,  // 1 while the edit control writes its soft line breaks
    font,          // the document's own font
    oemConverted,  // 1 while the text is held in the OEM character set
};

constexpr int kDocumentSlotCount = 7;
constexpr int kDocumentWindowExtraBytes = kDocumentSlotCount * static_cast<int>(sizeof(LONG_PTR));

LONG_PTR GetDocumentData(HWND document, DocumentWindow slot);
void SetDocumentData(HWND document, DocumentWindow slot, LONG_PTR value);
HWND DocumentEdit(HWND document);

// Gives an edit control a text block as its own and frees the block it had:
// the control does not free a block it is given another for.
void GiveTextBlock(HWND edit, HLOCAL block);

// The whole title of a window: a document's identity is its title.
std::string WindowTitle(HWND window);

LRESULT CALLBACK DocumentWndProc(HWND document, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when the document may close (saved, unchanged, or the user chose not to
// save), 0 when it must stay open.
int QuerySaveDocument(HWND document);

// 1 when the user chose a new name for the document (its title now holds
// it), 0 when the user cancelled.
int RunSaveAsDialog(HWND document);
