#pragma once
// The whole text of the active document converted to the OEM character set
// and back, with the display font switched to match.

#include <windows.h>

#include <cstddef>

// 1 on success; 0 after a report, and then the text, the font and the flag
// are as they were.
int ConvertToOem();
int ConvertFromOem();

// The OEM switch of the active document: converts one way or the other and
// flips the document's flag when the conversion succeeded.
void SwitchOemForm();

// length bytes of text in code page from, converted to code page to, in a
// new movable global block that ends with a zero; the same code page leaves
// the bytes as they are. None when memory ran short.
HGLOBAL ConvertedText(const char* text, std::size_t length, UINT from, UINT to);

// The same conversion by way of UTF-16 even where both code pages are one,
// as the edit control stores its text; *bytes gets the length of the result.
// None when memory ran short or the text was empty.
HGLOBAL ThroughUnicode(const char* text, std::size_t length, UINT from, UINT to, std::size_t* bytes);
