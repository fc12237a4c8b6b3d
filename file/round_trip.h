#pragma once
// Where a text that has been through the edit control's UTF-16 storage comes
// back different: such bytes would be saved changed though nobody changed them.

#include <cstddef>
#include <string>
#include <string_view>

// The offset of the first character of the zero-ended text that does not
// come back as it was in back (the same text after a round trip, which may
// differ in length), or std::string::npos when every byte came back.
std::size_t FirstChangedCharacter(const char* text, std::string_view back);

// The line, counted from 1, that holds the character at offset: every CR LF,
// CR CR LF (a soft break), lone CR and lone LF before it ends a line. Trail
// bytes are never line ends.
std::size_t LineOfOffset(const char* text, std::size_t offset);
