#include "text/font_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
        {"\x81\x40x", 32, "\x81\x40x"},  // the trail byte of the full-width space is an at sign
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
