#pragma once
// Rules on the names and character sets of typefaces that the font dialog
// offers and answers.

#include <cstddef>

// True for a vertical-writing face: its name begins with the at sign.
bool IsVerticalFace(const char* face);

// Makes a face name in a buffer of size bytes fit for a document font, in
// place: the at sign of a vertical face is taken off, and a name that fills
// the buffer without its terminator is cut on a character boundary.
void TidyFaceName(char* face, std::size_t size);
