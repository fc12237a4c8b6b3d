#include "text/encoding.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

struct RecognitionCase {
    const char* label;
    std::string bytes;
    TextEncoding expected;
};

void ExpectRecognised(const std::vector<RecognitionCase>& cases)
{
    for (const RecognitionCase& c : cases) {
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(RecogniseEncoding(c.bytes.data(), c.bytes.size())))
            << c.label;
    }
}

using std::string_literals::operator""s;

TEST(RecogniseEncoding, Marks)
{
    ExpectRecognised({
        {"UTF-8 mark", "\xEF\xBB\xBF\xE3\x81\x82\r\n", TextEncoding::Utf8Marked},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", TextEncoding::Utf8Marked},
        {"UTF-16LE mark", "\xFF\xFE\x42\x30\r\0\n\0"s, TextEncoding::Utf16LeMarked},
        {"UTF-16BE mark", "\xFE\xFF\x30\x42\0\r\0\n"s, TextEncoding::Utf16BeMarked},
        // A mark before bytes its encoding cannot hold decides nothing.
        {"UTF-8 mark, then Shift-JIS", "\xEF\xBB\xBF\x82\xA0", TextEncoding::ShiftJis},
        {"UTF-16LE mark, odd length", "\xFF\xFE\x42\x30\x41"s, TextEncoding::ShiftJis},
        {"UTF-16LE mark, lone surrogate", "\xFF\xFE\x00\xD8\x41\x00"s, TextEncoding::ShiftJis},
    });
}

TEST(RecogniseEncoding, Utf16WithoutMark)
{
    ExpectRecognised({
        {"LE ASCII", "a\0b\0c\0\r\0\n\0"s, TextEncoding::Utf16Le},
        {"BE ASCII", "\0a\0b\0c\0\r\0\n"s, TextEncoding::Utf16Be},
        {"LE with kana", "a\0b\0\x42\x30\x44\x30"s, TextEncoding::Utf16Le},
        // Zero bytes that do not stand every other place are the zero-byte rule's.
        {"Shift-JIS with one zero", "\x95\x5C\0abc"s, TextEncoding::ShiftJis},
        {"mostly kanji, no mark", "\x2C\x67\x9E\x8A\x87\x65" "a\0"s, TextEncoding::ShiftJis},
        {"binary controls", "\x01\0\x02\0\x03\0"s, TextEncoding::ShiftJis},
        {"NUL unit", "a\0\0\0b\0"s, TextEncoding::ShiftJis},
    });
}

// Each pair: the same few bytes, where one reading is plain and the other
// is not, side by side with the cases that tip it.
TEST(RecogniseEncoding, Utf8)
{
    ExpectRecognised({
        {"two lines, CR LF", "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x80\x82\r\n\xE8\xAA\x9E\r\n", TextEncoding::Utf8},
        {"accented Latin", "caf\xC3\xA9 \xC3\x9F\x80", TextEncoding::ShiftJis},
        {"two characters, also Shift-JIS", "\xF0\xA0\xAE\xB7\xE7\x94\xB0", TextEncoding::ShiftJis},
        {"four, one of four bytes", "\xF0\xA0\xAE\xB7\xE7\x94\xB0\xE3\x81\x95\xE3\x82\x93", TextEncoding::Utf8},
        // Two-byte forms chain through half-width kana and hiragana leads.
        {"two-byte forms, also Shift-JIS", "\xC8\x82\xDE\x82\xD8\x82\xCD\x92\xD7\x82\xDE\x83R", TextEncoding::ShiftJis},
        // Valid Shift-JIS as well: three characters are too few to tell.
        {"also Shift-JIS, three", "\xE3\x81\xA1\xE3\x81\xA1\xE3\x81\xA1", TextEncoding::ShiftJis},
        {"also Shift-JIS, four", "\xE3\x81\xA1\xE3\x81\xA1\xE3\x81\xA1\xE3\x81\xA1", TextEncoding::Utf8},
        {"overlong", "\xC0\xAF\xE3\x81\x82\r", TextEncoding::ShiftJis},
        {"surrogate", "\xED\xA0\x80", TextEncoding::ShiftJis},
        {"cut short", "\xE6\x97\xA5\xE6\x9C", TextEncoding::ShiftJis},
    });
}

TEST(RecogniseEncoding, EucJp)
{
    ExpectRecognised({
        // 日本語の文章です。
        {"kanji and kana", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xCA\xB8\xBE\xCF\xA4\xC7\xA4\xB9\xA1\xA3",
         TextEncoding::EucJp},
        {"half-width kana", "\x8E\xB1\xA4\xA2\xA4\xA4\xA4\xA6\xA4\xA8", TextEncoding::EucJp},
        {"JIS X 0212", "\x8F\xB0\xA1\xA4\xA2\xA4\xA4\xA4\xA6", TextEncoding::EucJp},
        // あいうえ reads as half-width kana in Shift-JIS too.
        {"also Shift-JIS: four kana", "\xA4\xA2\xA4\xA4\xA4\xA6\xA4\xA8", TextEncoding::EucJp},
        {"also Shift-JIS: two kana", "\xA4\xA2\xA4\xA4", TextEncoding::ShiftJis},
        {"also Shift-JIS: half-width kana text", "\xB6\xC0\xB6\xC5\xC3\xDE\xBD", TextEncoding::ShiftJis},
        {"also Shift-JIS: kanji only", "\xC6\xFC\xCB\xDC\xB8\xEC\xCA\xB8", TextEncoding::ShiftJis},
        {"lone lead at the end", "\xA4\xA2\xA4", TextEncoding::ShiftJis},
    });
}

TEST(RecogniseEncoding, Iso2022Jp)
{
    ExpectRecognised({
        {"kanji between escapes", "\x1B$B4A;z\x1B(B\r\n", TextEncoding::Iso2022Jp},
        {"old JIS and Roman", "\x1B$@F|K\\\x1B(J!\r\n", TextEncoding::Iso2022Jp},
        {"half-width kana only", "\x1B(I1\x1B(B", TextEncoding::ShiftJis},
        {"unknown escape", "\x1B$B4A\x1B[0m", TextEncoding::ShiftJis},
        {"odd byte in kanji", "\x1B$B4A;\x1B(B", TextEncoding::ShiftJis},
        {"eight-bit byte", "\x1B$B4A\x1B(B\x82\xA0", TextEncoding::ShiftJis},
        {"plain ASCII", "abc\r\n", TextEncoding::ShiftJis},
    });
}

TEST(RecogniseEncoding, ShiftJisStaysShiftJis)
{
    ExpectRecognised({
        {"empty", "", TextEncoding::ShiftJis},
        {"table, trail backslash", "\x95\x5C\r\n", TextEncoding::ShiftJis},
        {"hiragana", "\x82\xA0\x82\xA2\x82\xA4", TextEncoding::ShiftJis},
        {"escape in Shift-JIS", "\x1B$B\x82\xA0", TextEncoding::ShiftJis},
        {"invalid everywhere", "\xFF\xFD", TextEncoding::ShiftJis},
    });
}

// Real-looking Shift-JIS: mostly hiragana, kanji and punctuation, some ASCII
// and half-width kana, in texts of a few characters and more. Each kind of
// character is a lead range and a trail range (none for a single byte),
// listed as often as it comes.
std::string GeneratedShiftJis(std::mt19937& random, std::size_t characters)
{
    static const int kKinds[][4] = {
        {0x82, 0x82, 0x9F, 0xF1}, {0x82, 0x82, 0x9F, 0xF1}, {0x82, 0x82, 0x9F, 0xF1},  // hiragana
        {0x83, 0x83, 0x40, 0x96},                                                      // katakana
        {0x88, 0x9F, 0x40, 0x7E}, {0x88, 0x9F, 0x80, 0xFC}, {0xE0, 0xEA, 0x40, 0x7E},  // kanji
        {0x81, 0x81, 0x40, 0x7E},                                                      // punctuation
        {0xA1, 0xDF, 0, 0},                                                            // half-width kana
        {0x20, 0x7E, 0, 0},                                                            // ASCII
    };
    auto pick = [&](int low, int high) { return static_cast<char>(std::uniform_int_distribution<int>(low, high)(random)); };
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) {
        const int* kind = kKinds[std::uniform_int_distribution<std::size_t>(0, std::size(kKinds) - 1)(random)];
        text += pick(kind[0], kind[1]);
        if (kind[2] != 0) {
            text += pick(kind[2], kind[3]);
        }
    }
    return text;
}

TEST(RecogniseEncoding, GeneratedShiftJisIsShiftJis)
{
    std::mt19937 random(932);
    for (int n = 0; n < 20000; ++n) {
        const std::string text = GeneratedShiftJis(random, 1 + n % 64);
        ASSERT_EQ(static_cast<int>(TextEncoding::ShiftJis),
                  static_cast<int>(RecogniseEncoding(text.data(), text.size())))
            << testing::PrintToString(text);
    }
}

std::string ToShiftJis(TextEncoding from, const std::string& in, std::size_t* lacking)
{
    std::string out(in.size(), '\0');
    out.resize(JisToShiftJis(from, in.data(), in.size(), out.data(), lacking));
    return out;
}

// 〜 ― − ‖ stay the same JIS characters, whatever Unicode calls them.
TEST(JisConversion, JisCharactersKeepTheirCell)
{
    struct Case {
        TextEncoding encoding;
        std::string jis;
        std::string shiftJis;
    };
    const Case cases[] = {
        {TextEncoding::EucJp, "\xA1\xC1\xA1\xBD\xA1\xDD\xA1\xC2", "\x81\x60\x81\x5C\x81\x7C\x81\x61"},
        {TextEncoding::Iso2022Jp, "\x1B$B!A!=!]!B\x1B(B", "\x81\x60\x81\x5C\x81\x7C\x81\x61"},
        {TextEncoding::EucJp, "a\xC9\xBD\x8E\xB1\r\n", "a\x95\x5C\xB1\r\n"},
        {TextEncoding::Iso2022Jp, "a\x1B$BI=\x1B(I1\x1B(B\r\n", "a\x95\x5C\xB1\r\n"},
        {TextEncoding::EucJp, "\xAD\xA1\xFE\xFE", "\x87\x40\xEF\xFC"},
    };
    for (const Case& c : cases) {
        std::size_t lacking = 0;
        EXPECT_EQ(c.shiftJis, ToShiftJis(c.encoding, c.jis, &lacking)) << testing::PrintToString(c.jis);
        EXPECT_EQ(std::string::npos, lacking);
        EXPECT_EQ(c.jis, ShiftJisToJis(c.encoding, c.shiftJis.data(), c.shiftJis.size(), &lacking));
        EXPECT_EQ(std::string::npos, lacking);
    }
}

TEST(JisConversion, EveryCellOfTheNinetyFourRowsRoundTrips)
{
    std::string shiftJis;
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if ((lead > 0x9F && lead < 0xE0) || trail == 0x7F) {
                continue;
            }
            shiftJis += static_cast<char>(lead);
            shiftJis += static_cast<char>(trail);
        }
    }
    for (TextEncoding to : {TextEncoding::EucJp, TextEncoding::Iso2022Jp}) {
        std::size_t lacking = 0;
        const std::string jis = ShiftJisToJis(to, shiftJis.data(), shiftJis.size(), &lacking);
        EXPECT_EQ(std::string::npos, lacking);
        EXPECT_EQ(shiftJis, ToShiftJis(to, jis, &lacking));
        EXPECT_EQ(std::string::npos, lacking);
    }
}

TEST(JisConversion, LackingCharactersAreFound)
{
    struct Case {
        TextEncoding encoding;
        std::string from;
        bool toJis;
        std::size_t lacking;
    };
    const Case cases[] = {
        // IBM extensions and user-defined characters have no JIS cell.
        {TextEncoding::EucJp, "ab\xFA\x40", true, 2},
        {TextEncoding::Iso2022Jp, "\x82\xA0\xF0\x40", true, 2},
        {TextEncoding::Iso2022Jp, "a\x1B", true, 1},
        {TextEncoding::EucJp, "\x80", true, 0},
        // JIS X 0212 has no code page 932 form.
        {TextEncoding::EucJp, "a\x8F\xB0\xA1", false, 1},
        {TextEncoding::Iso2022Jp, "\x1B$B$\"\x1B$(D0!\x1B(B", false, 2},
    };
    for (const Case& c : cases) {
        std::size_t lacking = 0;
        if (c.toJis) {
            ShiftJisToJis(c.encoding, c.from.data(), c.from.size(), &lacking);
        } else {
            ToShiftJis(c.encoding, c.from, &lacking);
        }
        EXPECT_EQ(c.lacking, lacking) << testing::PrintToString(c.from);
    }
}

TEST(JisConversion, UnicodeFormsOfJisCharacters)
{
    std::u16string text = u"a\u301C\u2016\u2212\u2014\u00A2\u00A3\u00AC\u00A5";
    EXPECT_EQ(1u, ToCodePage932Forms(text.data(), text.size()));
    EXPECT_EQ(u"a\uFF5E\u2225\uFF0D\u2015\uFFE0\uFFE1\uFFE2\u00A5", text);
    std::u16string plain = u"\uFF5E abc";
    EXPECT_EQ(std::string::npos, ToCodePage932Forms(plain.data(), plain.size()));
}

}  // namespace
