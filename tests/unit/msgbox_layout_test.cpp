#include "msg/msgbox_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// ---------------------------------------------------------------------------
// Text measures

struct MeasureCase {
    const char* name;
    std::string text;
    int lines;
    int widest;
};

void ExpectMeasures(const std::vector<MeasureCase>& cases)
{
    for (const MeasureCase& c : cases) {
        const MessageTextMeasure m = MeasureMessageLines(c.text.c_str());
        EXPECT_EQ(m.lines, c.lines) << c.name;
        EXPECT_EQ(m.widest, c.widest) << c.name;
    }
}

TEST(MeasureMessageLines, NullTextIsEmpty)
{
    const MessageTextMeasure m = MeasureMessageLines(nullptr);
    EXPECT_EQ(m.lines, 1);
    EXPECT_EQ(m.widest, 0);
}

TEST(MeasureMessageLines, CarriageReturnsEndLines)
{
    ExpectMeasures({
        {"empty", "", 1, 0},
        {"one line", "abc", 1, 3},
        {"2,2,4 joined by CR LF, LF counts in the next line", "ab\r\ncd\r\nefgh", 3, 5},
        {"first line widest", "abcdef\r\nab", 2, 6},
        {"lone CR", "\r", 2, 0},
        {"trailing CR", "abc\r", 2, 3},
        {"CR alone as separator", "a\rbb\rccc", 3, 3},
        {"lone LF is a byte of the line", "\n", 1, 1},
        {"two CR LF", "\r\n\r\n", 3, 1},
    });
}

TEST(MeasureMessageLines, DoubleByteCharactersCountTwoBytes)
{
    std::string twenty;
    for (int i = 0; i < 20; ++i) {
        twenty += "\x95\x5c";
    }
    ExpectMeasures({
        {"表, trail byte is a backslash", "\x95\x5c", 1, 2},
        {"20 double-byte characters", twenty, 1, 40},
        {"表 CR LF 漢字", "\x95\x5c\r\n\x8a\xbf\x8e\x9a", 2, 5},
        {"half-width katakana are single bytes", "\xb1\xb2\xb3", 1, 3},
        {"lone lead byte before the end", "ab\x81", 1, 3},
    });
}

TEST(MeasureMessageLines, CarriageReturnAfterLeadByteIsNoLineEnd)
{
    // Stepping by characters takes the byte after a lead byte as its trail.
    ExpectMeasures({
        {"lead byte then CR", "\x81\r", 1, 2},
        {"lead byte then CR then text", "a\x81\rbc", 1, 5},
        {"CR at a character start after a double-byte char", "\x81\x40\rb", 2, 2},
    });
}

// ---------------------------------------------------------------------------
// Buttons

TEST(ChooseMessageButtons, LowThreeBitsChooseTheSet)
{
    struct Case {
        unsigned flags;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {0, {1}},
        {1, {1, 2}},
        {2, {3, 4, 5}},
        {3, {6, 7, 2}},
        {4, {6, 7}},
        {5, {4, 2}},
        {6, {3, 4, 5}},
        {7, {6, 7, 2}},
        {16, {1}},
        {32, {1}},
        {48, {1}},
        {35, {6, 7, 2}},
        {36, {6, 7}},
        {0x40000u | 1u, {1, 2}},
        {0xFFFFFFF8u, {1}},
    };
    for (const Case& c : cases) {
        const MessageButtonSet set = ChooseMessageButtons(c.flags);
        ASSERT_EQ(set.count, static_cast<int>(c.ids.size())) << "flags " << c.flags;
        EXPECT_EQ(std::vector<int>(set.ids, set.ids + set.count), c.ids) << "flags " << c.flags;
    }
}

TEST(MessageButtons, CaptionsEndInAHalfWidthKanaMnemonic)
{
    for (int i = 0; i < 7; ++i) {
        const MessageButton& b = kMessageButtons[i];
        EXPECT_EQ(b.id, i + 1);
        ASSERT_EQ(MessageButtonCaption(b.id), b.caption);
        const std::u16string caption = b.caption;
        // Converted into an 8-unit buffer with its terminator.
        ASSERT_LE(caption.size(), 7u) << "id " << b.id;
        ASSERT_GE(caption.size(), 4u) << "id " << b.id;
        const std::size_t n = caption.size();
        EXPECT_EQ(caption.substr(n - 4, 2), u"(&") << "id " << b.id;
        EXPECT_GE(caption[n - 2], 0xFF66) << "id " << b.id;
        EXPECT_LE(caption[n - 2], 0xFF9D) << "id " << b.id;
        EXPECT_EQ(caption[n - 1], u')') << "id " << b.id;
    }
    EXPECT_EQ(MessageButtonCaption(0), nullptr);
    EXPECT_EQ(MessageButtonCaption(8), nullptr);
}

// ---------------------------------------------------------------------------
// Geometry

TEST(ComputeMessageBoxGeometry, SizesAndPlaces)
{
    struct Case {
        const char* name;
        unsigned flags;
        int lines, widest;
        int width, height, x0, buttonY;
    };
    const Case cases[] = {
        {"empty OK box", 0, 1, 0, 75, 49, 15, 25},
        {"2,2,4 lines, OK", 0, 3, 5, 75, 69, 15, 45},
        {"2,2,4 lines, yes/no", 4, 3, 5, 120, 69, 10, 45},
        {"2,2,4 lines, yes/no/cancel", 3, 3, 5, 165, 69, 5, 45},
        {"40 bytes, yes/no/cancel", 3, 1, 40, 180, 49, 12, 25},
        {"40 bytes, 4 lines, yes/no/cancel", 35, 4, 40, 180, 79, 12, 55},
        {"20 double-byte chars, OK", 0, 1, 40, 180, 49, 67, 25},
        {"odd margin truncates", 0, 1, 20, 100, 49, 27, 25},
        {"OK/cancel", 1, 1, 0, 120, 49, 10, 25},
        {"hand icon", 16, 1, 0, 75, 49, 15, 25},
        {"exclamation icon", 48, 1, 0, 75, 49, 15, 25},
        {"flags 6", 6, 1, 0, 165, 49, 5, 25},
        {"flags 7", 7, 1, 0, 165, 49, 5, 25},
    };
    for (const Case& c : cases) {
        const MessageBoxGeometry g = ComputeMessageBoxGeometry(c.flags, {c.lines, c.widest});
        EXPECT_EQ(g.width, c.width) << c.name;
        EXPECT_EQ(g.height, c.height) << c.name;
        EXPECT_EQ(g.textHeight, 10 * c.lines) << c.name;
        EXPECT_EQ(g.firstButtonX, c.x0) << c.name;
        EXPECT_EQ(g.buttonY, c.buttonY) << c.name;
    }
}

TEST(PlaceBoxOverOwner, CentresWithinTheWorkAreaOfTheOwnersMonitor)
{
    // A 200 x 100 box; work areas left of and above the primary monitor.
    const ScreenRect left{-1920, 0, 0, 1040};
    const ScreenRect above{0, -1080, 1920, -40};
    const ScreenRect narrow{-150, 0, 0, 1040};
    const struct {
        ScreenRect owner;
        ScreenRect area;
        int x, y;
    } cases[] = {
        {{-1600, 100, -800, 700}, left, -1300, 350},    // centred
        {{-2500, 900, -1900, 1500}, left, -1920, 940},  // past the left edge and the bottom
        {{-300, 100, 500, 700}, left, -200, 350},       // past the right edge
        {{200, -1500, 1000, -1000}, above, 500, -1080}, // past the top
        {{-2200, 100, -2000, 200}, narrow, -150, 100},  // wider than the area, centred before it
        {{-50, 100, 50, 200}, narrow, -200, 100},       // wider than the area, centred within
    };
    for (const auto& c : cases) {
        const ScreenPoint place = PlaceBoxOverOwner(200, 100, c.owner, c.area);
        EXPECT_EQ(place.x, c.x) << c.owner.left << "," << c.owner.top;
        EXPECT_EQ(place.y, c.y) << c.owner.left << "," << c.owner.top;
    }
}

// ---------------------------------------------------------------------------
// Template image

struct Item {
    std::size_t offset = 0;
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned id = 0;
    unsigned classMarker = 0, classAtom = 0;
    std::u16string title;
    unsigned creationData = 0xDEAD;
};

struct Image {
    std::uint32_t style = 0, exStyle = 0;
    unsigned count = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned menu = 0xDEAD, windowClass = 0xDEAD;
    std::u16string title;
    std::vector<Item> items;
    unsigned closing = 0xDEAD;
    bool paddingIsZero = true;
    bool endsExactly = false;
};

// Reads the image back field by field, so that a failure names the field.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    std::size_t Pos() const { return pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

    unsigned Word()
    {
        if (pos_ + 2 > bytes_.size()) {
            ADD_FAILURE() << "image ends at " << bytes_.size() << ", word wanted at " << pos_;
            pos_ = bytes_.size();
            return 0;
        }
        const unsigned v = bytes_[pos_] | (bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }

    std::uint32_t Dword()
    {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }

    int Short() { return static_cast<std::int16_t>(Word()); }

    std::u16string String()
    {
        std::u16string s;
        while (!AtEnd()) {
            const unsigned c = Word();
            if (c == 0) {
                return s;
            }
            s += static_cast<char16_t>(c);
        }
        ADD_FAILURE() << "string without terminator";
        return s;
    }

    // Skips to the next 4-byte boundary; false when a skipped byte is not zero.
    bool Align()
    {
        bool zero = true;
        while (pos_ % 4 != 0 && pos_ < bytes_.size()) {
            zero = zero && bytes_[pos_] == 0;
            ++pos_;
        }
        return zero;
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t pos_ = 0;
};

Image Decode(const std::vector<unsigned char>& bytes)
{
    Reader r(bytes);
    Image im;
    im.style = r.Dword();
    im.exStyle = r.Dword();
    im.count = r.Word();
    im.x = r.Short();
    im.y = r.Short();
    im.cx = r.Short();
    im.cy = r.Short();
    im.menu = r.Word();
    im.windowClass = r.Word();
    im.title = r.String();
    for (unsigned i = 0; i < im.count && !r.AtEnd(); ++i) {
        im.paddingIsZero = r.Align() && im.paddingIsZero;
        Item it;
        it.offset = r.Pos();
        it.style = r.Dword();
        it.exStyle = r.Dword();
        it.x = r.Short();
        it.y = r.Short();
        it.cx = r.Short();
        it.cy = r.Short();
        it.id = r.Word();
        it.classMarker = r.Word();
        it.classAtom = r.Word();
        it.title = r.String();
        it.creationData = r.Word();
        im.items.push_back(it);
    }
    im.closing = r.Word();
    im.endsExactly = r.AtEnd();
    return im;
}

// The image's items, offsets, padding and end, the same for every box.
void ExpectWellFormed(const Image& im, const std::string& what)
{
    EXPECT_EQ(im.items.size(), im.count) << what;
    for (std::size_t i = 0; i < im.items.size(); ++i) {
        EXPECT_EQ(im.items[i].offset % 4, 0u) << what << ", item " << i;
        EXPECT_EQ(im.items[i].exStyle, 0u) << what << ", item " << i;
        EXPECT_EQ(im.items[i].classMarker, 0xFFFFu) << what << ", item " << i;
        EXPECT_EQ(im.items[i].creationData, 0u) << what << ", item " << i;
    }
    EXPECT_TRUE(im.paddingIsZero) << what;
    EXPECT_EQ(im.closing, 0u) << what;
    EXPECT_TRUE(im.endsExactly) << what;
}

TEST(BuildMessageBoxTemplate, YesNoCancelFieldByField)
{
    const std::u16string caption = u"モクレ";
    const std::u16string text = u"「C:\\表.txt」は変更されています。\r\n保管しますか？";
    const Image im = Decode(BuildMessageBoxTemplate(caption, text, 35, {2, 40}));
    ExpectWellFormed(im, "yes/no/cancel");

    EXPECT_EQ(im.style, 0x10C80080u);
    EXPECT_EQ(im.exStyle, 0u);
    EXPECT_EQ(im.count, 4u);
    EXPECT_EQ(im.x, 100);
    EXPECT_EQ(im.y, 100);
    EXPECT_EQ(im.cx, 180);
    EXPECT_EQ(im.cy, 59);
    EXPECT_EQ(im.menu, 0u);
    EXPECT_EQ(im.windowClass, 0u);
    EXPECT_EQ(im.title, caption);
    ASSERT_EQ(im.items.size(), 4u);

    const Item& t = im.items[0];
    EXPECT_EQ(t.style, 0x50000000u);
    EXPECT_EQ(t.x, 10);
    EXPECT_EQ(t.y, 10);
    EXPECT_EQ(t.cx, 180);
    EXPECT_EQ(t.cy, 20);
    EXPECT_EQ(t.id, 0u);
    EXPECT_EQ(t.classAtom, 0x0082u);
    EXPECT_EQ(t.title, text);

    struct ButtonCase {
        std::uint32_t style;
        int x;
        unsigned id;
        std::u16string caption;
    };
    const ButtonCase buttons[] = {
        {0x50010001u, 12, 6, u"はい(&ﾊ)"},
        {0x50010000u, 67, 7, u"いいえ(&ｲ)"},
        {0x50010000u, 122, 2, u"取消(&ﾄ)"},
    };
    for (int k = 0; k < 3; ++k) {
        const Item& b = im.items[k + 1];
        EXPECT_EQ(b.style, buttons[k].style) << "button " << k;
        EXPECT_EQ(b.x, buttons[k].x) << "button " << k;
        EXPECT_EQ(b.y, 35) << "button " << k;
        EXPECT_EQ(b.cx, 45) << "button " << k;
        EXPECT_EQ(b.cy, 14) << "button " << k;
        EXPECT_EQ(b.id, buttons[k].id) << "button " << k;
        EXPECT_EQ(b.classAtom, 0x0080u) << "button " << k;
        EXPECT_EQ(b.title, buttons[k].caption) << "button " << k;
    }
}

TEST(BuildMessageBoxTemplate, EmptyOkBox)
{
    const std::vector<unsigned char> bytes = BuildMessageBoxTemplate(u"", u"", 0, {1, 0});
    const Image im = Decode(bytes);
    ExpectWellFormed(im, "empty OK box");
    EXPECT_EQ(im.count, 2u);
    EXPECT_EQ(im.cx, 75);
    EXPECT_EQ(im.cy, 49);
    EXPECT_TRUE(im.title.empty());
    ASSERT_EQ(im.items.size(), 2u);
    EXPECT_TRUE(im.items[0].title.empty());
    EXPECT_EQ(im.items[0].cy, 10);
    EXPECT_EQ(im.items[1].style, 0x50010001u);
    EXPECT_EQ(im.items[1].x, 15);
    EXPECT_EQ(im.items[1].y, 25);
    EXPECT_EQ(im.items[1].id, 1u);
    EXPECT_EQ(im.items[1].title, u"了解(&ﾘ)");
    // Header 18 + menu, class, title 6 = 24; text item 18 + 4 + 2 + 2 = 26,
    // padded to 28; button item 18 + 4 + 14 + 2 = 38; closing word 2.
    EXPECT_EQ(bytes.size(), 24u + 28u + 38u + 2u);
}

TEST(BuildMessageBoxTemplate, ButtonRecordsFollowTheFlags)
{
    struct Case {
        unsigned flags;
        std::vector<unsigned> ids;
        std::vector<int> xs;
    };
    const Case cases[] = {
        {0, {1}, {15}},
        {1, {1, 2}, {10, 65}},
        {2, {3, 4, 5}, {5, 60, 115}},
        {4, {6, 7}, {10, 65}},
        {5, {4, 2}, {10, 65}},
        {6, {3, 4, 5}, {5, 60, 115}},
        {7, {6, 7, 2}, {5, 60, 115}},
        {16, {1}, {15}},
        {48, {1}, {15}},
    };
    for (const Case& c : cases) {
        const std::string what = "flags " + std::to_string(c.flags);
        const Image im = Decode(BuildMessageBoxTemplate(u"モクレ", u"abc", c.flags, {1, 3}));
        ExpectWellFormed(im, what);
        ASSERT_EQ(im.count, c.ids.size() + 1) << what;
        ASSERT_EQ(im.items.size(), c.ids.size() + 1) << what;
        for (std::size_t k = 0; k < c.ids.size(); ++k) {
            const Item& b = im.items[k + 1];
            EXPECT_EQ(b.id, c.ids[k]) << what << ", button " << k;
            EXPECT_EQ(b.x, c.xs[k]) << what << ", button " << k;
            EXPECT_EQ(b.style, k == 0 ? 0x50010001u : 0x50010000u) << what << ", button " << k;
            EXPECT_EQ(b.title, MessageButtonCaption(static_cast<int>(c.ids[k]))) << what;
        }
    }
}

TEST(BuildMessageBoxTemplate, EveryItemStartsOnAFourByteBoundary)
{
    // Odd and even string lengths move each record by 2 bytes.
    for (std::size_t captionLength = 0; captionLength < 4; ++captionLength) {
        for (std::size_t textLength = 0; textLength < 4; ++textLength) {
            for (unsigned flags : {0u, 3u}) {
                const std::string what = "caption " + std::to_string(captionLength) + ", text " +
                                         std::to_string(textLength) + ", flags " +
                                         std::to_string(flags);
                const std::u16string caption(captionLength, u'題');
                const std::u16string text(textLength, u'文');
                const MessageTextMeasure m{1, static_cast<int>(2 * textLength)};
                const Image im = Decode(BuildMessageBoxTemplate(caption, text, flags, m));
                ExpectWellFormed(im, what);
                EXPECT_EQ(im.title, caption) << what;
                ASSERT_FALSE(im.items.empty()) << what;
                EXPECT_EQ(im.items[0].title, text) << what;
            }
        }
    }
}

TEST(BuildMessageBoxTemplate, LongTextIsWholeInTheImage)
{
    std::u16string text;
    for (int i = 0; i < 2000; ++i) {
        text += (i % 100 == 99) ? u'\r' : u'表';
    }
    const std::u16string caption(300, u'題');
    const std::vector<unsigned char> bytes = BuildMessageBoxTemplate(caption, text, 3, {21, 198});
    EXPECT_GT(bytes.size(), 1000u);
    const Image im = Decode(bytes);
    ExpectWellFormed(im, "long text");
    EXPECT_EQ(im.title, caption);
    ASSERT_EQ(im.items.size(), 4u);
    EXPECT_EQ(im.items[0].title, text);
    EXPECT_EQ(im.items[3].id, 2u);
    EXPECT_EQ(im.items[3].title, u"取消(&ﾄ)");
}

TEST(BuildMessageBoxTemplate, ZeroInsideAStringEndsIt)
{
    // A zero inside would end the field early and shift every later record.
    const std::u16string caption(u"ab\0cd", 5);
    const std::u16string text(u"x\0yz", 4);
    const Image im = Decode(BuildMessageBoxTemplate(caption, text, 0, {1, 1}));
    ExpectWellFormed(im, "embedded zeros");
    EXPECT_EQ(im.title, u"ab");
    ASSERT_EQ(im.items.size(), 2u);
    EXPECT_EQ(im.items[0].title, u"x");
    EXPECT_EQ(im.items[1].id, 1u);
}

TEST(BuildMessageBoxTemplate, HugeTextGivesPositiveSizes)
{
    const Image im = Decode(BuildMessageBoxTemplate(u"", u"a", 0, {5000, 20000}));
    ExpectWellFormed(im, "huge measures");
    EXPECT_GT(im.cx, 0);
    EXPECT_GT(im.cy, 0);
    ASSERT_EQ(im.items.size(), 2u);
    EXPECT_GT(im.items[0].cy, 0);
    EXPECT_GT(im.items[1].y, 0);
    EXPECT_LT(im.items[1].y, im.cy);
}

// ---------------------------------------------------------------------------
// One-argument formatting

struct FormatCase {
    const char* name;
    std::string format;
    const char* text;
    long long number;
    std::string expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases)
{
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatOneArgument(c.format, c.text, c.number), c.expected) << c.name;
    }
}

TEST(FormatOneArgument, FirstConversionTakesTheArgument)
{
    ExpectFormats({
        {"open failure", "「%s」 ファイルを取り出すことができません。", "C:\\文書\\表.txt", 0,
         "「C:\\文書\\表.txt」 ファイルを取り出すことができません。"},
        {"null text shows empty", "「%s」", nullptr, 0, "「」"},
        {"number", "%d 行目", nullptr, 12, "12 行目"},
        {"negative number", "[%d]", nullptr, -305, "[-305]"},
        {"zero", "%d", nullptr, 0, "0"},
        {"smallest number", "%d", nullptr, LLONG_MIN, "-9223372036854775808"},
        {"no conversion", "モクレ", "unused", 7, "モクレ"},
        {"empty format", "", "x", 1, ""},
    });
}

TEST(FormatOneArgument, LaterConversionsAndOtherPercentsStayAsTheyAre)
{
    ExpectFormats({
        {"second %s", "%s と %s", "a", 0, "a と %s"},
        {"second %d", "%d/%d", nullptr, 3, "3/%d"},
        {"%s then %d", "%s %d", "x", 9, "x %d"},
        {"%d then %s", "%d %s", "x", 9, "9 %s"},
        {"double percent", "100%%", nullptr, 0, "100%"},
        {"double percent then conversion", "%%%d", nullptr, 5, "%5"},
        {"double percent after the conversion", "%s%%", "a", 0, "a%"},
        {"%%s is no conversion", "%%s", "a", 0, "%s"},
        {"unknown conversion", "%x %5d", nullptr, 1, "%x %5d"},
        {"percent at the end", "abc%", "x", 0, "abc%"},
        {"zero byte inside is copied", "a\0%s"s, "b", 0, "a\0b"s},
    });
}

TEST(FormatOneArgument, DoubleByteCharactersAreWholes)
{
    ExpectFormats({
        {"表 before the conversion", "\x95\x5c%s", "a", 0, "\x95\x5c" "a"},
        {"表 in the argument", "%s", "C:\\\x95\x5c\\\x83\x5c.txt", 0, "C:\\\x95\x5c\\\x83\x5c.txt"},
        {"percent before a double-byte char", "%\x95\x5c", "a", 0, "%\x95\x5c"},
        {"percent as a trail byte is no conversion", "\x81%s", "a", 0, "\x81%s"},
        {"lone lead byte at the end", "%s\x81", "a", 0, "a\x81"},
    });
}

TEST(FormatOneArgument, LongPathIsNeverCut)
{
    std::string path = "C:\\";
    while (path.size() < 400) {
        path += "\x95\x5c\\";
    }
    const std::string format = "「%s」 ファイルを取り出すことができません。";
    const std::string result = FormatOneArgument(format, path.c_str(), 0);
    EXPECT_EQ(result.size(), format.size() - 2 + path.size());
    EXPECT_EQ(result, "「" + path + "」 ファイルを取り出すことができません。");
}

} // namespace
