#pragma once
// Positions in an edit control's text. The platform's ANSI edit control
// counts them in bytes of the code page 932 text; Wine's counts UTF-16
// units, one for every character. The search works on bytes, so each
// position crosses over once per command.

#include <cstddef>

// The control's position of byte offset bytes of the text.
std::size_t EditPositionOfBytes(const char* text, std::size_t bytes, bool countsBytes);

// The byte offset of the control's position in a text of length bytes;
// never past the end, and always on a character start where the control
// counts characters.
std::size_t BytesOfEditPosition(const char* text, std::size_t length, std::size_t position, bool countsBytes);
