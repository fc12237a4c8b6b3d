#pragma once
// The header and footer lines of a printed page. The patterns are the
// user's own text, so they are data and never a format: the first "%s" of
// the header takes the title, the first "%d" of the footer the page
// number, "%%" gives "%", and any other "%" is copied as written.

#include <string>

constexpr std::size_t kPageLineBytes = 79;  // an 80-byte line with its zero

// Both cut to 79 bytes on a character boundary.
std::string FormatHeaderLine(const char* pattern, const char* title);
std::string FormatFooterLine(const char* pattern, int page);

// The part of a path after its last "\", cut to maxBytes on a character
// boundary: the file title when the platform cannot give one.
std::string TitleAfterLastSeparator(const char* path, std::size_t maxBytes);
