#include "file/round_trip.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ChangeCase {
    const char* text;
    std::string back;
    std::size_t changed;
};

TEST(RoundTripTest, FirstChangedCharacterStartsOnACharacter)
{
    const std::size_t none = std::string::npos;
    const ChangeCase cases[] = {
        {"", "", none},
        {"abc \x95\x5c", "abc \x95\x5c", none},
        // NEC-selected IBM extension: 0xED40 comes back as 0xFA5C.
        {"ab\xed\x40z", "ab\xfa\x5cz", 2},
        // Only the trail byte differs: the character starts at its lead byte.
        {"\x95\x5c\x88\x9f", "\x95\x5c\x88\x40", 2},
        // A lone lead byte before a line end comes back as another character.
        {"x\x95\nz", "x\x81\x45\nz", 1},
        // A lone lead byte at the end grows.
        {"xy\x95", "xy\x81\x45", 2},
        // A shorter answer.
        {"abc", "ab", 2},
        // More after the whole text: the last character changed.
        {"a\x95\x5c", "a\x95\x5c?", 1},
        {"", "?", 0},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FirstChangedCharacter(c.text, c.back), c.changed);
    }
}

struct LineCase {
    const char* text;
    std::size_t offset;
    std::size_t line;
};

TEST(RoundTripTest, LineOfOffsetCountsEveryKindOfLineEnd)
{
    const LineCase cases[] = {
        {"abc", 0, 1},
        {"abc", 2, 1},
        {"a\r\nb", 3, 2},
        {"a\r\nb\nc\rd", 7, 4},
        {"a\r\r\nb", 4, 2},
        {"a\r\nb", 2, 1},
        // The trail byte of ー (0x81 0x5B) and of 表 are no line ends; nor is
        // a 0x0A or 0x0D that no character has.
        {"\x95\x5c\x81\x5b" "x", 4, 1},
        {"\r\n\r\n\xed\x40", 4, 3},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LineOfOffset(c.text, c.offset), c.line);
    }
}

}  // namespace
