#pragma once
// Writing a document to the file its title names, keeping one backup.

#include <windows.h>

// Writes the whole text of the document. An existing file is first copied
// to its backup name. False when the file could not be written (reported);
// the document's text is untouched either way.
bool SaveDocument(HWND document);
