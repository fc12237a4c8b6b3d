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

// The conversion written plainly, one character at a time.
std::string Reference(const std::string& bytes)
{
    const std::string s = bytes.substr(0, bytes.find('\0'));
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t step = 1;
        if (IsLeadByte932(static_cast<unsigned char>(s[i]))) {
            step = 2;
        } else if (s.compare(i, 2, "\r\n") == 0) {
            step = 2;
        } else if (s.compare(i, 3, "\r\r\n") == 0) {
            step = 3;
        } else if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            i += 1;
            continue;
        }
        out += s.substr(i, step);
        i += step;
    }
    return out;
}

// The bytes and a NUL in a heap block of exactly that size, so that the
// sanitizer catches a read one byte too far.
std::unique_ptr<char[]> ExactCopy(const std::string& bytes)
{
    std::unique_ptr<char[]> block(new char[bytes.size() + 1]);
    std::memcpy(block.get(), bytes.data(), bytes.size());
    block[bytes.size()] = '\0';
    return block;
}

// Converts into a block of exactly the announced size.
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
    const struct {
        std::string text;
        bool ask;
    } cases[] = {
        {B(""), false},           {B("xyz"), false},           {B("x\r\ny\nz"), false},
        {B("x\ny\r\nz"), true},   {B("x\r\r\ny\nz"), false},   {B("x\ry\rz"), true},
        {B("x\r"), true},         {B("\r\r"), true},           {B("\r\r\r\n"), true},
        {B("\n"), true},          {B("x\0\n"), false},         {B("x\r\0\n"), true},
        {B("\x95\x5c\n"), true},  {B("\x95\x5c\r\n"), false},  {B("\x83\x7c\r"), true},
        {B("\x81\r\n"), true},    {B("\x81\n\r\n"), false},    {B("\x81\r\r\n"), false},
        {B("\x81"), false},       {B("a\x81\x81\n"), true},    {B("\x8e\x9a\x8e\x9a\n"), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ask, NeedsQuestion(c.text)) << ::testing::PrintToString(c.text);
    }
}

TEST(LineEndsTest, ConversionKeepsPairsAndMendsLoneEnds)
{
    const std::string evenLeads(40, '\x8e');  // 20 characters 0x8E 0x8E
    const std::string oddLeads(41, '\x81');    // 20 characters, then a lead byte
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {B(""), B("")},
        {B("xyz"), B("xyz")},
        {B("x\r\ny\nz"), B("x\r\ny\r\nz")},
        {B("x\ny\r\nz"), B("x\r\ny\r\nz")},
        {B("x\r\r\ny\nz"), B("x\r\r\ny\r\nz")},
        {B("x\ry\rz"), B("x\r\ny\r\nz")},
        {B("\r\r\r"), B("\r\n\r\n\r\n")},
        {B("\r\rx"), B("\r\n\r\nx")},
        {B("\r\r\r\n"), B("\r\n\r\r\n")},
        {B("\r\r\n\n"), B("\r\r\n\r\n")},
        {B("\n\r\n\n"), B("\r\n\r\n\r\n")},
        {B("\x95\x5c\x83\x7c\n"), B("\x95\x5c\x83\x7c\r\n")},
        {B("\x95\x5c\x83\x7c\r"), B("\x95\x5c\x83\x7c\r\n")},
        {B("\x81\n\n"), B("\x81\n\r\n")},
        {B("\x81\r\n"), B("\x81\r\r\n")},
        {B("a\n\x81"), B("a\r\n\x81")},
        {B("x\ny\0z\n"), B("x\r\ny")},
        {B("\x81\0\n"), B("\x81")},
        {B("\0\n"), B("")},
        {evenLeads + "\n", evenLeads + "\r\n"},
        {oddLeads + "\n", oddLeads + "\n"},
        {"a" + oddLeads + "\r\n", "a" + oddLeads + "\r\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.in));
        EXPECT_EQ(c.out, Reference(c.in));
        EXPECT_EQ(c.out, Convert(c.in));
    }
}

// Random texts of what matters to the rules: CR, LF, lead bytes, trail
// bytes that look like other characters, long runs of lead-range bytes,
// runs of plain text, and any byte at all.
class MixedTexts {
public:
    explicit MixedTexts(std::uint32_t seed) : seed_(seed) {}

    std::uint32_t Next()
    {
        seed_ = seed_ * 1103515245u + 12345u;
        return seed_ >> 16;
    }

    std::string Make(std::size_t length)
    {
        static const char kBytes[] = "\r\n\r\n\r\r\n\n a\\|\x81\x95\x5c\x83\x7c\x9f\xe0\xfc\xa0\x40\x80";
        std::string text;
        while (text.size() < length) {
            const std::uint32_t kind = Next() % 8;
            if (kind == 0) {
                text.append(Next() % 40, "\x81\x8e\x9a"[Next() % 3]);
            } else if (kind == 1) {
                text.append(Next() % 70, 'q');
            } else if (kind == 2) {
                text += static_cast<char>(1 + Next() % 255);
            } else {
                text += kBytes[Next() % (sizeof kBytes - 1)];
            }
        }
        text.resize(length);
        return text;
    }

private:
    std::uint32_t seed_;
};

// Also: a converted text needs no question and converts to itself.
void ExpectPlainConversion(const std::string& text)
{
    const std::string converted = Convert(text);
    ASSERT_EQ(Reference(text), converted) << ::testing::PrintToString(text);
    EXPECT_FALSE(NeedsQuestion(converted));
    EXPECT_EQ(converted, Convert(converted));
}

TEST(LineEndsTest, MixedTextsMatchPlainConversion)
{
    MixedTexts texts(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text = texts.Make(texts.Next() % 700);
        if (texts.Next() % 50 == 0) {
            text.insert(texts.Next() % (text.size() + 1), 1, '\0');
        }
        ExpectPlainConversion(text);
    }
}

TEST(LineEndsTest, LongTextsMatchPlainConversion)
{
    MixedTexts texts(777);
    for (std::size_t length : {63, 64, 65, 127, 128, 129, 191, 192, 4095, 4096, 4097, 8191, 8192,
                               8193, 40000, 100001}) {
        SCOPED_TRACE(length);
        ExpectPlainConversion(texts.Make(length));
        ExpectPlainConversion(std::string(length - 1, 'x') + "\n");
        ExpectPlainConversion(std::string(length - 2, '\x81') + "\r\n");
    }
}

}  // namespace
