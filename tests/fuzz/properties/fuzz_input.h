#pragma once
// What every property check shares: reading arguments from the fuzzer's
// bytes, texts in blocks of their exact size, and the plain reference form
// of code page 932 characters.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Arguments taken from the front of the bytes. Reads past the end give zeros
// and empty strings, so every input is a case.
class FuzzInput {
public:
    FuzzInput(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    unsigned Byte();
    std::uint32_t Number32();
    std::uint64_t Number64();
    // A length byte, then up to that many bytes.
    std::string Piece();
    // A two-byte length, then up to that many bytes.
    std::string LongPiece();
    // Everything not read yet.
    std::string Rest();

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The bytes up to the first NUL: what a zero-ended buffer would hold.
std::string ZeroEnded(const std::string& bytes);

// The bytes and a NUL in a heap block of exactly that size, so that the
// sanitizer catches a read one byte too far.
class ExactText {
public:
    explicit ExactText(const std::string& bytes);
    const char* get() const { return block_.get(); }
    std::size_t size() const { return size_; }

private:
    std::unique_ptr<char[]> block_;
    std::size_t size_;
};

// The bytes in a readable form for a failure: printable ASCII as it is,
// everything else as \xNN.
std::string Show(const std::string& bytes);

// The plain rule of code page 932, written apart from the code it checks: a
// byte 0x81-0x9F or 0xE0-0xFC takes the byte after it, unless that is a NUL
// or the text ends; every other byte is a character of its own.
std::vector<std::string> Characters(const std::string& text);

bool IsLead(unsigned char b);

// The bytes of the character that starts at offset at of the text.
std::size_t CharacterLength(const std::string& text, std::size_t at);

// The offsets at which the characters of the text start, and its length.
std::vector<std::size_t> CharacterStarts(const std::string& text);

bool IsCharacterStart(const std::string& text, std::size_t offset);

// The longest run of whole characters from the start of the zero-ended text
// that is at most limit bytes long.
std::size_t ReferenceCut(const std::string& text, std::size_t limit);

// The same without a lead byte that ends the text alone, whose trail byte
// was lost.
std::size_t ReferenceWholeLength(const std::string& text, std::size_t limit);

// Returns from the check with the condition and what it was given when the
// condition does not hold.
#define PROPERTY(condition, detail)                                  \
    do {                                                             \
        if (!(condition)) {                                          \
            return std::string(#condition) + " failed for " + (detail); \
        }                                                            \
    } while (false)
