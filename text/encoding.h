#pragma once
// The encodings a text file may come in besides code page 932, how they are
// told apart, and the conversions between code page 932 and the two that
// carry the same JIS X 0208 characters (EUC-JP, ISO-2022-JP), done on row
// and cell so that a JIS character stays the same character.

#include <cstddef>
#include <string>

// A document's encoding: what its file was found to be, and what a save
// writes. The values are kept with the document window, so they stay fixed.
enum class TextEncoding : int {
    ShiftJis = 0,
    Utf8 = 1,
    Utf8Marked = 2,
    Utf16Le = 3,
    Utf16LeMarked = 4,
    Utf16Be = 5,
    Utf16BeMarked = 6,
    EucJp = 7,
    Iso2022Jp = 8,
};

// The encoding's usual name: "シフトJIS", "UTF-8", "UTF-16", "EUC-JP",
// "ISO-2022-JP" (in code page 932).
const char* EncodingName(TextEncoding encoding);

bool IsUtf8(TextEncoding encoding);
bool IsUtf16(TextEncoding encoding);
bool IsJisBased(TextEncoding encoding);  // EUC-JP or ISO-2022-JP
bool IsBigEndian(TextEncoding encoding);

// The byte-order mark the encoding starts with ("" when it has none).
std::string ByteOrderMark(TextEncoding encoding);

// What the bytes are. A mark decides; UTF-16 without one only when zero
// bytes stand in every other place of mostly plain text; the others only
// when the bytes are valid in them and, where they are valid Shift-JIS as
// well, the evidence is overwhelming. Anything else is Shift-JIS.
TextEncoding RecogniseEncoding(const char* bytes, std::size_t size);

// What stands for a character that has no form in the target: the platform's
// own default character.
constexpr char kLackingCharacter = '?';

// EUC-JP or ISO-2022-JP bytes (after any mark) as code page 932. out holds
// at least size bytes; the length written is returned (never more than
// size). *firstLacking is the offset in out of the first character that
// has no code page 932 form (written as kLackingCharacter), or npos.
std::size_t JisToShiftJis(TextEncoding from, const char* in, std::size_t size, char* out,
                          std::size_t* firstLacking);

// Code page 932 text as EUC-JP or ISO-2022-JP. *firstLacking is the offset
// in the input of the first character that the target has no cell for
// (written as kLackingCharacter), or npos. Throws std::bad_alloc.
std::string ShiftJisToJis(TextEncoding to, const char* in, std::size_t size, std::size_t* firstLacking);

// Replaces in place the Unicode characters that code page 932 holds under
// another code point of the same JIS character (U+301C WAVE DASH is JIS
// 1-33, which code page 932 maps from U+FF5E). Answers the index of the
// first one replaced, or npos.
std::size_t ToCodePage932Forms(char16_t* units, std::size_t count);
