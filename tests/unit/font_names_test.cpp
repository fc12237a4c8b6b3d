#include "text/font_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The trail byte of the full-width space 0x8140 is an at sign too; only a
// name's first byte marks a vertical face.
TEST(FontNamesTest, OnlyALeadingAtSignMarksAVerticalFace)
{
    struct Case {
        const char* face;
        bool vertical;
    };
    const Case cases[] = {
        {"@MS Gothic", true},
        {"@\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", true},
        {"@", true},
        {"MS Gothic", false},
        {"MS@Gothic", false},
        {"\x81\x40Gothic", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        EXPECT_EQ(IsVerticalFace(c.face), c.vertical);
    }
}

// Names are held in buffers of `size` bytes; `name` is what the buffer holds
// up to its size, terminator or not.
TEST(FontNamesTest, TidyFaceNameDropsTheAtSignAndEndsWithinTheBuffer)
{
    struct Case {
        std::string name;
        std::size_t size;
        std::string tidy;
    };
    const Case cases[] = {
        {"@MS Gothic", 32, "MS Gothic"},
        {"MS Gothic", 32, "MS Gothic"},
        {"@@x", 32, "@x"},
        {"@", 32, ""},
        {"", 32, ""},
        {"@\x82\x6c\x82\x72", 32, "\x82\x6c\x82\x72"},
        {"\x81\x40x", 32, "\x81\x40x"},
        // Filling the buffer without a terminator.
        {"abcdef", 6, "abcde"},
        {"ab\x82\x6c\x82\x72", 6, "ab\x82\x6c"},
        {"abc\x82\x6c\x82", 6, "abc\x82\x6c"},
        {"@abcde", 6, "abcde"},
        {"@ab\x82\x6c\x82", 6, "ab\x82\x6c"},
        {"\x82\x6c", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string buffer = c.name;
        buffer.resize(c.size, '\0');
        buffer += "guard";
        TidyFaceName(buffer.data(), c.size);
        EXPECT_EQ(std::string(buffer.c_str()), c.tidy);
        EXPECT_EQ(buffer.substr(c.size), "guard");
    }
}

}  // namespace
