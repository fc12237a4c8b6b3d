#pragma once
// A file's bytes in its own encoding, turned into the code page 932 text the
// edit control holds, and the control's text turned back into the file's
// encoding. UTF-8 and UTF-16 go through the platform's conversions; EUC-JP
// and ISO-2022-JP through JIS row and cell.

#include <windows.h>

#include "text/encoding.h"

#include <cstddef>
#include <string>

// A new movable local block holding the bytes (a file's, mark included) as
// zero-ended code page 932 text; *length is its length without the zero,
// which the text itself may hold. *firstChanged is the offset in it of the
// first character that a save would write otherwise than the file has it
// (one that code page 932 lacks, or holds under another code point), or
// npos. None when memory ran short.
HLOCAL DecodeToShiftJis(TextEncoding encoding, const char* bytes, std::size_t size, std::size_t* length,
                        std::size_t* firstChanged);

// The file bytes, mark first, of a UTF-16 text in UTF-8 or UTF-16. Throws
// std::bad_alloc.
std::string EncodeUnicodeText(TextEncoding encoding, const wchar_t* text, std::size_t length);
