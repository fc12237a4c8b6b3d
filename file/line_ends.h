#pragma once
// Line ends of a loaded text. The edit control keeps its lines as CR LF, and
// as CR CR LF for the soft breaks it writes while forced line breaks are on;
// a text whose first line end is in neither form is offered a conversion.
//
// Every text here is zero-ended: it ends at its first NUL byte. Characters
// are stepped as code page 932 characters, so the byte after a lead byte is
// never taken for a line end, even when it is a CR or an LF.

#include <cstddef>

// True when the first line end of the text is a lone CR or a lone LF, so the
// user should be asked before it is converted. False when the text has no
// line end, or when its first line end is CR LF or CR CR LF. Nothing after
// the first line end is looked at.
bool FirstLineEndNeedsQuestion(const char* text);

// The length, without its NUL, of the text that NormaliseLineEndsInto makes.
std::size_t NormalisedLength(const char* text);

// Writes the text with every lone CR and every lone LF turned into CR LF;
// CR LF and CR CR LF are kept as they are, so a converted text converts to
// itself; CR CR followed by anything but LF is two lone CRs. All other bytes are copied unchanged, a lead byte with the byte
// after it; a lead byte just before the end is copied alone. out must hold
// NormalisedLength(text) + 1 bytes apart from the text: exactly that many are
// written, the last one a NUL. Returns NormalisedLength(text).
std::size_t NormaliseLineEndsInto(const char* text, char* out);
