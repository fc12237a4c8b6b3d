#include "file/line_ends.h"

#include "text/sjis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A byte string from a literal, NULs included.
template <std::size_t N>
std::string B(const char (&s)[N])
{
    return std::string(s, N - 1);
}

std::string Repeat(const std::string& s, int times)
{
    std::string r;
    for (int i = 0; i < times; ++i) {
        r += s;
    }
    return r;
}

// The conversion written plainly, one character at a time.
std::string Reference(const std::string& bytes)
{
    const std::string s = bytes.substr(0, bytes.find('\0'));
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (IsLeadByte932(static_cast<unsigned char>(s[i]))) {
            out += s.substr(i, 2);
            i += 2;
        } else if (s.compare(i, 2, "\r\n") == 0) {
            out += "\r\n";
            i += 2;
        } else if (s.compare(i, 3, "\r\r\n") == 0) {
            out += "\r\r\n";
            i += 3;
        } else if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            i += 1;
        } else {
            out += s[i];
            i += 1;
        }
    }
    return out;
}

// The bytes and a NUL in a heap block of exactly that size.
std::unique_ptr<char[]> ExactCopy(const std::string& bytes)
{
    std::unique_ptr<char[]> block(new char[bytes.size() + 1]);
    std::memcpy(block.get(), bytes.data(), bytes.size());
    block[bytes.size()] = '\0';
    return block;
}

// Runs the conversion on a heap copy of exactly the input's bytes and its
// NUL, into a block of exactly the announced size, so that the sanitizer
// catches a read or a write one byte too far.
std::string Convert(const std::string& bytes)
{
    const std::unique_ptr<char[]> in = ExactCopy(bytes);
    const std::size_t length = NormalisedLength(in.get());
    const std::unique_ptr<char[]> out(new char[length + 1]);
    EXPECT_EQ(length, NormaliseLineEndsInto(in.get(), out.get()));
    EXPECT_EQ('\0', out[length]);
    return std::string(out.get(), length);
}

bool NeedsQuestion(const std::string& bytes)
{
    return FirstLineEndNeedsQuestion(ExactCopy(bytes).get());
}

TEST(LineEndsTest, FirstLineEndDecides)
{
    struct Case {
        std::string text;
        bool ask;
    };
    const Case cases[] = {
        {B(""), false},
        {B("xyz"), false},
        {B("x\r\ny\nz"), false},
        {B("x\ny\r\nz"), true},
        {B("x\r\r\ny\nz"), false},
        {B("x\ry\rz"), true},
        {B("x\r"), true},
        {B("\r\r"), true},
        {B("\r\r\r\n"), true},
        {B("\n"), true},
        {B("x\0\n"), false},
        {B("x\r\0\n"), true},
        {B("\x95\x5c\n"), true},
        {B("\x95\x5c\r\n"), false},
        {B("\x83\x7c\r"), true},
        {B("\x81\r\n"), true},
        {B("\x81\n\r\n"), false},
        {B("\x81\r\r\n"), false},
        {B("\x81"), false},
        {B("\x8e\x9a\x8e\x9a\n"), true},
        {B("a\x81\x81\n"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(c.ask, NeedsQuestion(c.text));
    }
}

TEST(LineEndsTest, ConversionKeepsPairsAndMendsLoneEnds)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {B(""), B("")},
        {B("xyz"), B("xyz")},
        {B("x\r\ny\nz"), B("x\r\ny\r\nz")},
        {B("x\ny\r\nz"), B("x\r\ny\r\nz")},
        {B("x\r\r\ny\nz"), B("x\r\r\ny\r\nz")},
        {B("x\ry\rz"), B("x\r\ny\r\nz")},
        {B("\r"), B("\r\n")},
        {B("\r\r\r"), B("\r\n\r\n\r\n")},
        {B("\r\rx"), B("\r\n\r\nx")},
        {B("\r\r\r\n"), B("\r\n\r\r\n")},
        {B("\r\r\n\n"), B("\r\r\n\r\n")},
        {B("\n\r"), B("\r\n\r\n")},
        {B("\n\n"), B("\r\n\r\n")},
        {B("\x95\x5c\n"), B("\x95\x5c\r\n")},
        {B("\x83\x7c\n"), B("\x83\x7c\r\n")},
        {B("\x95\x5c\x83\x7c\r"), B("\x95\x5c\x83\x7c\r\n")},
        {B("\x81\n\n"), B("\x81\n\r\n")},
        {B("\x81\r\n"), B("\x81\r\r\n")},
        {B("a\n\x81"), B("a\r\n\x81")},
        {B("\x81"), B("\x81")},
        {B("x\ny\0z\n"), B("x\r\ny")},
        {B("\x81\0\n"), B("\x81")},
        {B("\0\n"), B("")},
        {Repeat(B("\x8e\x9a"), 20) + "\n", Repeat(B("\x8e\x9a"), 20) + "\r\n"},
        {Repeat(B("\x81"), 41) + "\n", Repeat(B("\x81"), 41) + "\n"},
        {"a" + Repeat(B("\x81"), 41) + "\r\n", "a" + Repeat(B("\x81"), 41) + "\r\r\n"},
        {Repeat(B("abcdefghijklm\n"), 5), Repeat(B("abcdefghijklm\r\n"), 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.in));
        EXPECT_EQ(c.out, Reference(c.in));
        EXPECT_EQ(c.out, Convert(c.in));
    }
}

// Texts of bytes that matter to the rules, many long enough for the block
// scan, checked against the plain conversion; a converted text needs no
// question and converts to itself.
TEST(LineEndsTest, MixedTextsMatchPlainConversion)
{
    const char pieces[] = {'\r', '\n', '\r', '\n', 'a', ' ', '\\', '|', '\x81', '\x95', '\x5c',
                           '\x83', '\x7c', '\x9f', '\xe0', '\xfc', '\xa0', '\x40', '\x80', '\xfd'};
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const unsigned length = next() % 120;
        const unsigned plainRun = next() % 40;
        for (unsigned i = 0; i < length; ++i) {
            text += pieces[next() % sizeof pieces];
            text.append(next() % 4 == 0 ? plainRun : 0, 'q');
        }
        if (next() % 50 == 0) {
            text.insert(next() % (text.size() + 1), 1, '\0');
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        const std::string converted = Convert(text);
        ASSERT_EQ(Reference(text), converted);
        EXPECT_FALSE(NeedsQuestion(converted));
        EXPECT_EQ(converted, Convert(converted));
    }
}

}  // namespace
