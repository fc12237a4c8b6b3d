#pragma once
// Code page 932 (Shift-JIS) character stepping: a character is one byte, or a
// lead byte followed by a trail byte. Every scan in the program steps whole
// characters so that no position ever lands on a trail byte.

#include <cstddef>

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
