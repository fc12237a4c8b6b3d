#pragma once
// Rules on the names and character sets of typefaces that the font dialog
// offers and answers.

#include <cstddef>

constexpr unsigned char kShiftJisCharset = 128;

// True for a vertical-writing face: its name begins with the at sign.
bool IsVerticalFace(const char* face);

// Makes a face name in a buffer of size bytes fit for a document font, in
// place: the at sign of a vertical face is taken off, and a name that fills
// the buffer without its terminator is cut on a character boundary.
void TidyFaceName(char* face, std::size_t size);

// The character set for a document font: Shift-JIS whenever the face offers
// it, so that double-byte text is not drawn as single bytes; otherwise the
// dialog's answer.
unsigned char DocumentCharset(unsigned char dialogCharset, bool faceOffersShiftJis);
