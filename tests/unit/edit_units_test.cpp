#include "document/edit_units.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Byte offsets and the control's positions where it counts characters; a
// position past the end means the end. Where it counts bytes, both are one.
TEST(EditUnits, CharacterPositionsMapToCharacterStarts)
{
    const struct {
        const char* text;
        std::size_t bytes, characters;
    } cases[] = {
        {"a\x95\x5c" "b", 3, 2}, {"a\x95\x5c" "b", 4, 3}, {"\xb1\xb2", 1, 1}, {"a\x95", 2, 2}, {"", 0, 0},
    };
    for (const auto& c : cases) {
        const std::size_t length = std::strlen(c.text);
        EXPECT_EQ(EditPositionOfBytes(c.text, c.bytes, false), c.characters) << c.text;
        EXPECT_EQ(BytesOfEditPosition(c.text, length, c.characters, false), c.bytes) << c.text;
        EXPECT_EQ(BytesOfEditPosition(c.text, length, c.characters + 9, false), length) << c.text;
        EXPECT_EQ(BytesOfEditPosition(c.text, length, c.bytes, true), c.bytes) << c.text;
        EXPECT_EQ(BytesOfEditPosition(c.text, length, length + 9, true), length) << c.text;
    }
}

}  // namespace
