#pragma once
// The seven slots of per-document data and the lookups of open documents,
// which every part of the program reads.

#include <windows.h>

#include "text/encoding.h"

#include <string>
#include <vector>

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

// The whole title of a window: a document's identity is its title.
std::string WindowTitle(HWND window);

// The file name as the user gave it: the file is opened and saved through it,
// since the platform may tell names apart by case that the upper-cased title
// does not. Kept with the window until ForgetDocumentPath.
void SetDocumentPath(HWND document, const std::string& path);
// The name given, or the title when none was.
std::string DocumentPath(HWND document);
void ForgetDocumentPath(HWND document);

// The encoding the document's file was read in and is written in; a new
// document is Shift-JIS. Kept with the window until ForgetDocumentFile.
TextEncoding DocumentEncoding(HWND document);
void SetDocumentEncoding(HWND document, TextEncoding encoding);

// The title of the file that was read only up to a zero byte into this
// document, so that a save asks before writing over the longer file; empty
// when there is none.
std::string ShortenedFile(HWND document);
void SetShortenedFile(HWND document, const std::string& title);

// Forgets the name as given, the encoding and the shortened file.
void ForgetDocumentFile(HWND document);

// Document windows in z-order, top first.
std::vector<HWND> DocumentWindowsTopDown();

// The document window titled exactly name, or none. Upper-cases name in place.
HWND FindDocumentWindow(char* name);
