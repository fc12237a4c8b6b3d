#pragma once
// Code page 932 (Shift-JIS) character stepping: a character is one byte, or a
// lead byte followed by a trail byte. Every scan in the program steps whole
// characters so that no position ever lands on a trail byte.

#include <cstddef>
#include <string>

// True for the lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte932(unsigned char b);

// The start of the character after p. Stays on the terminating zero; a lead
// byte directly followed by the terminator steps onto the terminator.
const char* NextChar932(const char* p);

// The longest prefix of the zero-ended text s that is at most maxBytes long
// and does not end inside a double-byte character.
std::size_t CutOnCharBoundary(const char* s, std::size_t maxBytes);

// Bytes of the longest prefix of s that is at most maxBytes long and made of
// whole characters: never cut inside a double-byte character and never
// ending in a lone lead byte. This is how much of a typed string counts.
std::size_t WholeCharacterLength(const char* s, std::size_t maxBytes = static_cast<std::size_t>(-1));

// Bytes of the text before the caret to keep when an input took a field
// past limit bytes: what is kept and the text after the caret fit in limit,
// and the cut lies on a character boundary. caret is a byte offset on one.
std::size_t InputKeptWithin(const char* text, std::size_t caret, std::size_t limit);

// Reads the answer of an ANSI call from its zero-filled buffer of size
// bytes. The platform fills such buffers from UTF-16 and may stop a byte
// short of the end, or at the end without a terminator, when the answer
// outgrows them: an answer is believed only when it leaves a byte to
// spare beside its terminator. False, and answer untouched, otherwise.
bool ReadAnsiAnswer(const char* buffer, std::size_t size, std::string& answer);
