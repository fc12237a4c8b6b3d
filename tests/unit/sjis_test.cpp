#include "text/sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Which bytes start a double-byte character: 0x81-0x9F and 0xE0-0xFC.
TEST(Sjis, LeadBytesOfCodePage932)
{
    const unsigned char leads[] = {0x81, 0x95, 0x9F, 0xE0, 0xEA, 0xFC};
    const unsigned char others[] = {0x00, 0x0D, 0x40, 0x5C, 0x7F, 0x80, 0xA0, 0xA1, 0xC4, 0xDF, 0xFD, 0xFF};
    for (unsigned char b : leads) {
        EXPECT_TRUE(IsLeadByte932(b)) << static_cast<int>(b);
    }
    for (unsigned char b : others) {
        EXPECT_FALSE(IsLeadByte932(b)) << static_cast<int>(b);
    }
}

struct Step {
    const char* text;
    int size;  // bytes of the first character
};

// A trail byte is never a character of its own, whatever it looks like.
const Step kSteps[] = {
    {"a", 1},
    {"\x95\x5c", 2},    // 表: the trail byte is a backslash
    {"\x83\x7c", 2},    // ポ: the trail byte is a vertical bar
    {"\x81\x0d", 2},    // a lead byte takes the next byte whatever it is
    {"\xc4", 1},        // half-width katakana are single bytes
    {"\x95", 1},        // a lead byte at the end steps onto the terminator
    {"", 0},            // the terminator is never left
};

TEST(Sjis, NextCharacterStepsWholeCharacters)
{
    for (const Step& s : kSteps) {
        EXPECT_EQ(NextChar932(s.text) - s.text, s.size) << s.text;
    }
}

struct Cut {
    const char* text;
    std::size_t limit;
    std::size_t length;
};

const Cut kCuts[] = {
    {"abc", 2, 2},
    {"abc", 10, 3},
    {"a\x95\x5c", 2, 1},           // no half of 表
    {"a\x95\x5c", 3, 3},
    {"\x95\x5c\x95\x5c", 3, 2},
    {"\xc4\xc4\xc4", 2, 2},         // single-byte kana cut anywhere
    {"\x95", 1, 1},                 // a lone lead byte at the end is one character
    {"", 5, 0},
};

TEST(Sjis, CutsOnlyOnCharacterBoundaries)
{
    for (const Cut& c : kCuts) {
        EXPECT_EQ(CutOnCharBoundary(c.text, c.limit), c.length) << c.text << " at " << c.limit;
    }
}

struct Input {
    const char* text;
    std::size_t caret;  // bytes, after the input
    std::size_t limit;
    std::size_t kept;   // bytes before the caret that stay
};

// The input is cut back from its end, never the text after the caret,
// and never inside a character.
const Input kInputs[] = {
    {"abcdef", 6, 4, 4},
    {"abcdef", 3, 4, 1},                  // "def" after the caret stays whole
    {"\x93\xfa\x93\xfa\x93\xfa", 6, 5, 4},  // no half of 日 is kept
    {"\x95\x5cX", 2, 2, 0},             // 表 does not fit beside X
    {"abc", 3, 5, 3},                     // within the limit nothing goes
    {"abcdef", 0, 3, 0},                  // text past the limit after the caret: nothing kept
};

TEST(Sjis, InputPastALimitIsCutBackOnACharacterBoundary)
{
    for (const Input& c : kInputs) {
        EXPECT_EQ(InputKeptWithin(c.text, c.caret, c.limit), c.kept) << c.text << " at " << c.caret;
    }
}

struct Answer {
    const char* bytes;  // the buffer as the platform left it
    std::size_t size;
    bool believed;
    const char* text;
};

const Answer kAnswers[] = {
    {"abc\0\0", 5, true, "abc"},
    {"abcd\0", 5, false, ""},                 // may have been cut a byte short of the end
    {"abcde", 5, false, ""},                   // ran to the end without a terminator
    {"\x93\xfa\0\0\0", 5, true, "\x93\xfa"},
    {"\x93\xfa\x93\xfa", 4, false, ""},
    {"", 0, false, ""},
};

TEST(Sjis, AnAnsiAnswerIsBelievedOnlyWithRoomToSpare)
{
    for (const Answer& c : kAnswers) {
        std::string read = "unchanged";
        EXPECT_EQ(ReadAnsiAnswer(c.bytes, c.size, read), c.believed) << c.bytes;
        EXPECT_EQ(read, c.believed ? c.text : "unchanged") << c.bytes;
    }
}

}  // namespace
