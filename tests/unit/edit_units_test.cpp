#include "document/edit_units.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Byte offsets and the edit control's positions where it counts characters.
struct Place {
    const char* text;
    std::size_t bytes;
    std::size_t characters;
};

const Place kPlaces[] = {
    {"abc", 2, 2},
    {"a\x95\x5c" "b", 3, 2},     // 表 is one character of two bytes
    {"a\x95\x5c" "b", 4, 3},
    {"\xb1\xb2", 1, 1},          // half-width kana are one byte each
    {"\x83\x41\x83\x41", 0, 0},
    {"\x83\x41\x83\x41", 4, 2},
    {"a\x95", 2, 2},             // a lone lead byte at the end is a character
};

TEST(EditUnits, CharacterPositionsMapToCharacterStarts)
{
    for (const Place& p : kPlaces) {
        const std::size_t length = std::strlen(p.text);
        EXPECT_EQ(EditPositionOfBytes(p.text, p.bytes, false), p.characters) << p.text << " at " << p.bytes;
        EXPECT_EQ(BytesOfEditPosition(p.text, length, p.characters, false), p.bytes) << p.text;
    }
}

// Past the end a position means the end; where the control counts bytes
// the offsets pass through unchanged.
struct Clamp {
    const char* text;
    std::size_t position;
    bool countsBytes;
    std::size_t bytes;
};

const Clamp kClamps[] = {
    {"a\x95\x5c", 7, false, 3},
    {"a\x95\x5c", 7, true, 3},
    {"a\x95\x5c", 1, true, 1},
    {"", 1, false, 0},
};

TEST(EditUnits, PositionsPastTheEndMeanTheEnd)
{
    for (const Clamp& c : kClamps) {
        EXPECT_EQ(BytesOfEditPosition(c.text, std::strlen(c.text), c.position, c.countsBytes), c.bytes) << c.text;
    }
    EXPECT_EQ(EditPositionOfBytes("a\x95\x5c", 3, true), 3u);
}

}  // namespace
