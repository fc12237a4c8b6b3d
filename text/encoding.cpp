#include "text/encoding.h"

#include <cstring>
#include <utility>

namespace {

using Byte = unsigned char;

bool InRange(Byte c, Byte low, Byte high)
{
    return c >= low && c <= high;
}

bool IsLead(Byte c)
{
    return InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC);
}

bool IsTrail(Byte c)
{
    return InRange(c, 0x40, 0x7E) || InRange(c, 0x80, 0xFC);
}

bool IsHalfWidthKana(Byte c)
{
    return InRange(c, 0xA1, 0xDF);
}

bool IsJisByte(Byte c)
{
    return InRange(c, 0x21, 0x7E);
}

// JIS X 0208 row and cell bytes (0x21-0x7E each) of a code page 932 double
// character; false for one outside the 94 rows (user-defined, IBM's own).
bool ShiftJisToJisPair(Byte lead, Byte trail, Byte* first, Byte* second)
{
    if (!IsLead(lead) || !IsTrail(trail) || lead >= 0xF0) {
        return false;
    }
    int row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) << 1;
    int cell;
    if (trail < 0x9F) {
        --row;
        cell = trail - 0x1F - (trail >= 0x80 ? 1 : 0);
    } else {
        cell = trail - 0x7E;
    }
    *first = static_cast<Byte>(row);
    *second = static_cast<Byte>(cell);
    return true;
}

void JisPairToShiftJis(Byte first, Byte second, char* out)
{
    const int lead = ((first + 1) >> 1) + (first <= 0x5E ? 0x70 : 0xB0);
    const int trail = (first & 1) != 0 ? second + (second <= 0x5F ? 0x1F : 0x20) : second + 0x7E;
    out[0] = static_cast<char>(lead);
    out[1] = static_cast<char>(trail);
}

// A character of a text that needs no escape in a file: printable, or the
// white space of plain text.
bool IsPlainText(Byte c)
{
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

unsigned Utf16Unit(const Byte* at, bool bigEndian)
{
    return bigEndian ? (at[0] << 8) | at[1] : (at[1] << 8) | at[0];
}

bool ValidUtf16(const Byte* b, std::size_t units, bool bigEndian)
{
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = Utf16Unit(b + 2 * i, bigEndian);
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const unsigned low = i + 1 < units ? Utf16Unit(b + 2 * (i + 1), bigEndian) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

// UTF-16 without a mark: at least half the units are plain text whose
// high byte is zero, few have a zero low byte, none is NUL, and the
// surrogates pair up.
TextEncoding Utf16WithoutMark(const Byte* b, std::size_t size)
{
    if (size < 4 || size % 2 != 0) {
        return TextEncoding::ShiftJis;
    }
    const std::size_t units = size / 2;
    std::size_t zeroAt[2] = {0, 0};
    bool plain[2] = {true, true};
    for (std::size_t i = 0; i < units; ++i) {
        const Byte first = b[2 * i];
        const Byte second = b[2 * i + 1];
        if (first == 0 && second == 0) {
            return TextEncoding::ShiftJis;
        }
        if (second == 0) {
            ++zeroAt[1];
            plain[0] = plain[0] && IsPlainText(first);
        }
        if (first == 0) {
            ++zeroAt[0];
            plain[1] = plain[1] && IsPlainText(second);
        }
    }
    // Index 0 reads little-endian (its high byte second), 1 big-endian.
    for (int bigEndian = 0; bigEndian < 2; ++bigEndian) {
        const std::size_t highZero = zeroAt[1 - bigEndian];
        const std::size_t lowZero = zeroAt[bigEndian];
        if (plain[bigEndian] && highZero * 2 >= units && lowZero * 4 <= highZero &&
            ValidUtf16(b, units, bigEndian != 0)) {
            return bigEndian != 0 ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
        }
    }
    return TextEncoding::ShiftJis;
}

// Strict UTF-8, read a byte at a time: no overlong forms, no surrogates,
// nothing past U+10FFFF.
struct Utf8Reading {
    bool valid = true;
    int need = 0;
    Byte low = 0x80;
    Byte high = 0xBF;
    std::size_t multi = 0;
    std::size_t longer = 0;  // of three bytes or four
    int started = 0;

    void Step(Byte c)
    {
        if (!valid) {
            return;
        }
        if (need > 0) {
            valid = InRange(c, low, high);
            low = 0x80;
            high = 0xBF;
            if (--need == 0) {
                ++multi;
                longer += started > 1 ? 1 : 0;
            }
        } else if (c >= 0x80) {
            need = InRange(c, 0xC2, 0xDF) ? 1 : InRange(c, 0xE0, 0xEF) ? 2 : InRange(c, 0xF0, 0xF4) ? 3 : 0;
            valid = need > 0;
            started = need;
            low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
        }
    }
    bool Complete() const { return valid && need == 0; }
};

bool ValidUtf8(const Byte* b, std::size_t size)
{
    Utf8Reading reading;
    for (std::size_t i = 0; i < size && reading.valid; ++i) {
        reading.Step(b[i]);
    }
    return reading.Complete();
}

// The ISO-2022-JP character sets a file may switch between.
enum class JisSet { Ascii, Kanji, Kana, Supplementary };

// Walks ISO-2022-JP bytes, calling single(byte) for an ASCII byte, kana(byte)
// for a half-width kana (0x21-0x5F), pair(first, second) for a JIS X 0208
// character and lacking() for a JIS X 0212 one. Line ends return to ASCII,
// as writers must before them. False where the bytes are not ISO-2022-JP;
// *designated tells whether a two-byte set was ever chosen.
template <typename Single, typename Kana, typename Pair, typename Lacking>
bool WalkIso2022Jp(const Byte* b, std::size_t size, bool* designated, Single single, Kana kana, Pair pair,
                   Lacking lacking)
{
    struct Escape {
        const char* bytes;
        std::size_t length;
        JisSet set;
    };
    static const Escape kEscapes[] = {
        {"\x1b$B", 3, JisSet::Kanji},    {"\x1b$@", 3, JisSet::Kanji},         {"\x1b&@\x1b$B", 6, JisSet::Kanji},
        {"\x1b(B", 3, JisSet::Ascii},    {"\x1b(J", 3, JisSet::Ascii},         {"\x1b(I", 3, JisSet::Kana},
        {"\x1b$(D", 4, JisSet::Supplementary},
    };
    JisSet set = JisSet::Ascii;
    *designated = false;
    std::size_t i = 0;
    while (i < size) {
        const Byte c = b[i];
        if (c >= 0x80 || c == 0x0E || c == 0x0F) {
            return false;
        }
        if (c == 0x1B) {
            const Escape* found = nullptr;
            for (const Escape& e : kEscapes) {
                if (size - i >= e.length && std::memcmp(b + i, e.bytes, e.length) == 0) {
                    found = &e;
                    break;
                }
            }
            if (found == nullptr) {
                return false;
            }
            set = found->set;
            *designated = *designated || set == JisSet::Kanji || set == JisSet::Supplementary;
            i += found->length;
            continue;
        }
        if (c == '\r' || c == '\n') {
            set = JisSet::Ascii;
        }
        switch (set) {
        case JisSet::Ascii:
            single(c);
            ++i;
            break;
        case JisSet::Kana:
            if (!InRange(c, 0x21, 0x5F)) {
                return false;
            }
            kana(c);
            ++i;
            break;
        case JisSet::Kanji:
        case JisSet::Supplementary:
            if (i + 1 >= size || !IsJisByte(c) || !IsJisByte(b[i + 1])) {
                return false;
            }
            if (set == JisSet::Kanji) {
                pair(c, b[i + 1]);
            } else {
                lacking();
            }
            i += 2;
            break;
        }
    }
    return true;
}

bool IsIso2022Jp(const Byte* b, std::size_t size)
{
    bool designated = false;
    const auto none = [](Byte) {};
    const bool valid = WalkIso2022Jp(b, size, &designated, none, none, [](Byte, Byte) {}, [] {});
    return valid && designated;
}

// One pass over a text with no mark, reading it as Shift-JIS, UTF-8 and
// EUC-JP at once; it stops as soon as Shift-JIS is the only reading left.
TextEncoding RecogniseNarrow(const Byte* b, std::size_t size)
{
    bool sjisValid = true;
    bool sjisTrail = false;
    std::size_t sjisKana = 0;
    std::size_t sjisDouble = 0;

    Utf8Reading utf8;

    bool eucValid = true;
    int eucState = 0;
    Byte eucFirst = 0;
    std::size_t eucDouble = 0;
    std::size_t eucCommon = 0;

    bool high = false;
    bool escape = false;
    for (std::size_t i = 0; i < size; ++i) {
        const Byte c = b[i];
        if (c < 0x80 && !sjisTrail && utf8.need == 0 && eucState == 0) {
            escape = escape || c == 0x1B;
            continue;
        }
        high = high || c >= 0x80;
        if (sjisValid) {
            if (sjisTrail) {
                sjisValid = IsTrail(c);
                sjisTrail = false;
                ++sjisDouble;
            } else if (IsLead(c)) {
                sjisTrail = true;
            } else if (IsHalfWidthKana(c)) {
                ++sjisKana;
            } else {
                sjisValid = c < 0x80;
            }
        }
        utf8.Step(c);
        if (eucValid) {
            const bool cell = InRange(c, 0xA1, 0xFE);
            switch (eucState) {
            case 0:
                eucState = cell ? 1 : c == 0x8E ? 2 : c == 0x8F ? 3 : 0;
                eucValid = c < 0x80 || eucState != 0;
                eucFirst = c;
                break;
            case 1:
                eucValid = cell;
                ++eucDouble;
                eucCommon += eucFirst <= 0xA5 ? 1 : 0;
                eucState = 0;
                break;
            case 2:
                eucValid = IsHalfWidthKana(c);
                eucState = 0;
                break;
            case 3:
                eucValid = cell;
                eucState = 4;
                break;
            default:
                eucValid = cell;
                ++eucDouble;
                eucState = 0;
                break;
            }
        }
        if (!utf8.valid && !eucValid) {
            return TextEncoding::ShiftJis;
        }
    }
    if (!high) {
        return escape && IsIso2022Jp(b, size) ? TextEncoding::Iso2022Jp : TextEncoding::ShiftJis;
    }
    sjisValid = sjisValid && !sjisTrail;
    eucValid = eucValid && eucState == 0;
    // Where the bytes read as Shift-JIS too, UTF-8 needs several characters
    // of three or more bytes' worth of structure, and EUC-JP needs a text
    // that reads as Japanese there (kana and punctuation) and as little but
    // half-width kana in Shift-JIS.
    if (utf8.Complete() && utf8.multi > 0 && (!sjisValid || utf8.longer >= 4)) {
        return TextEncoding::Utf8;
    }
    if (eucValid && eucDouble > 0 &&
        (!sjisValid || (eucDouble >= 4 && eucCommon * 4 >= eucDouble && sjisKana >= sjisDouble))) {
        return TextEncoding::EucJp;
    }
    return TextEncoding::ShiftJis;
}

// Where a conversion is in its output and what it has met so far.
class ShiftJisWriter {
public:
    explicit ShiftJisWriter(char* out) : out_(out) {}
    void Single(Byte c) { out_[length_++] = static_cast<char>(c); }
    void Pair(Byte first, Byte second)
    {
        JisPairToShiftJis(first, second, out_ + length_);
        length_ += 2;
    }
    void Lacking()
    {
        if (firstLacking_ == std::string::npos) {
            firstLacking_ = length_;
        }
        Single(kLackingCharacter);
    }
    std::size_t length() const { return length_; }
    std::size_t firstLacking() const { return firstLacking_; }

private:
    char* out_;
    std::size_t length_ = 0;
    std::size_t firstLacking_ = std::string::npos;
};

void EucJpToShiftJis(const Byte* b, std::size_t size, ShiftJisWriter& out)
{
    std::size_t i = 0;
    while (i < size) {
        const Byte c = b[i];
        const std::size_t left = size - i;
        if (c < 0x80) {
            out.Single(c);
            i += 1;
        } else if (c == 0x8E && left >= 2 && IsHalfWidthKana(b[i + 1])) {
            out.Single(b[i + 1]);
            i += 2;
        } else if (c == 0x8F && left >= 3 && InRange(b[i + 1], 0xA1, 0xFE) && InRange(b[i + 2], 0xA1, 0xFE)) {
            out.Lacking();
            i += 3;
        } else if (InRange(c, 0xA1, 0xFE) && left >= 2 && InRange(b[i + 1], 0xA1, 0xFE)) {
            out.Pair(static_cast<Byte>(c - 0x80), static_cast<Byte>(b[i + 1] - 0x80));
            i += 2;
        } else {
            out.Lacking();
            i += 1;
        }
    }
}

void Iso2022JpToShiftJis(const Byte* b, std::size_t size, char* out, ShiftJisWriter& writer)
{
    bool designated = false;
    if (WalkIso2022Jp(
            b, size, &designated, [&](Byte c) { writer.Single(c); }, [&](Byte c) { writer.Single(c + 0x80); },
            [&](Byte first, Byte second) { writer.Pair(first, second); }, [&] { writer.Lacking(); })) {
        return;
    }
    // Not ISO-2022-JP after all: the bytes as they are, escapes and all.
    writer = ShiftJisWriter(out);
    for (std::size_t i = 0; i < size; ++i) {
        writer.Single(b[i]);
    }
}

// Writes code page 932 characters as EUC-JP or ISO-2022-JP, switching the
// ISO-2022-JP character set only where it changes and back to ASCII before
// every line end and at the end.
class JisWriter {
public:
    explicit JisWriter(TextEncoding to) : iso_(to == TextEncoding::Iso2022Jp) {}
    void Single(Byte c)
    {
        Switch(JisSet::Ascii);
        text_ += static_cast<char>(c);
    }
    void Kana(Byte c)
    {
        if (iso_) {
            Switch(JisSet::Kana);
            text_ += static_cast<char>(c - 0x80);
        } else {
            text_ += '\x8E';
            text_ += static_cast<char>(c);
        }
    }
    void Pair(Byte first, Byte second)
    {
        Switch(JisSet::Kanji);
        const Byte offset = iso_ ? 0 : 0x80;
        text_ += static_cast<char>(first + offset);
        text_ += static_cast<char>(second + offset);
    }
    std::string Finish()
    {
        Switch(JisSet::Ascii);
        return std::move(text_);
    }
    void Reserve(std::size_t bytes) { text_.reserve(bytes); }

private:
    void Switch(JisSet set)
    {
        if (!iso_ || set == set_) {
            return;
        }
        set_ = set;
        text_ += set == JisSet::Kanji ? "\x1b$B" : set == JisSet::Kana ? "\x1b(I" : "\x1b(B";
    }
    bool iso_;
    JisSet set_ = JisSet::Ascii;
    std::string text_;
};

}  // namespace

const char* EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Marked:
        return "UTF-8";
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16LeMarked:
    case TextEncoding::Utf16Be:
    case TextEncoding::Utf16BeMarked:
        return "UTF-16";
    case TextEncoding::EucJp:
        return "EUC-JP";
    case TextEncoding::Iso2022Jp:
        return "ISO-2022-JP";
    case TextEncoding::ShiftJis:
        break;
    }
    return "シフトJIS";
}

bool IsUtf8(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Marked;
}

bool IsUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16LeMarked ||
           encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16BeMarked;
}

bool IsJisBased(TextEncoding encoding)
{
    return encoding == TextEncoding::EucJp || encoding == TextEncoding::Iso2022Jp;
}

bool IsBigEndian(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16BeMarked;
}

std::string ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Marked:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LeMarked:
        return "\xFF\xFE";
    case TextEncoding::Utf16BeMarked:
        return "\xFE\xFF";
    default:
        return std::string();
    }
}

TextEncoding RecogniseEncoding(const char* bytes, std::size_t size)
{
    const auto* b = reinterpret_cast<const Byte*>(bytes);
    // A mark decides when what follows it is valid in its encoding.
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF && ValidUtf8(b + 3, size - 3)) {
        return TextEncoding::Utf8Marked;
    }
    if (size >= 2 && size % 2 == 0 && (b[0] == 0xFF || b[0] == 0xFE) && b[1] == (b[0] ^ 1) &&
        ValidUtf16(b + 2, size / 2 - 1, b[0] == 0xFE)) {
        return b[0] == 0xFE ? TextEncoding::Utf16BeMarked : TextEncoding::Utf16LeMarked;
    }
    if (size > 0 && std::memchr(bytes, 0, size) != nullptr) {
        const TextEncoding wide = Utf16WithoutMark(b, size);
        if (wide != TextEncoding::ShiftJis) {
            return wide;
        }
    }
    return RecogniseNarrow(b, size);
}

std::size_t JisToShiftJis(TextEncoding from, const char* in, std::size_t size, char* out, std::size_t* firstLacking)
{
    const auto* b = reinterpret_cast<const Byte*>(in);
    ShiftJisWriter writer(out);
    if (from == TextEncoding::EucJp) {
        EucJpToShiftJis(b, size, writer);
    } else {
        Iso2022JpToShiftJis(b, size, out, writer);
    }
    *firstLacking = writer.firstLacking();
    return writer.length();
}

std::string ShiftJisToJis(TextEncoding to, const char* in, std::size_t size, std::size_t* firstLacking)
{
    const auto* b = reinterpret_cast<const Byte*>(in);
    const bool iso = to == TextEncoding::Iso2022Jp;
    JisWriter writer(to);
    writer.Reserve(size + size / 4 + 8);
    *firstLacking = std::string::npos;
    std::size_t i = 0;
    while (i < size) {
        const Byte c = b[i];
        Byte first = 0;
        Byte second = 0;
        std::size_t step = 1;
        bool lacking = false;
        if (c < 0x80) {
            // An escape of the text's own would switch the character set.
            lacking = iso && c == 0x1B;
            if (!lacking) {
                writer.Single(c);
            }
        } else if (IsHalfWidthKana(c)) {
            writer.Kana(c);
        } else if (i + 1 < size && ShiftJisToJisPair(c, b[i + 1], &first, &second)) {
            writer.Pair(first, second);
            step = 2;
        } else {
            lacking = true;
            step = i + 1 < size && IsLead(c) && IsTrail(b[i + 1]) ? 2 : 1;
        }
        if (lacking) {
            if (*firstLacking == std::string::npos) {
                *firstLacking = i;
            }
            writer.Single(kLackingCharacter);
        }
        i += step;
    }
    return writer.Finish();
}

std::size_t ToCodePage932Forms(char16_t* units, std::size_t count)
{
    // JIS X 0208 characters as Unicode's JIS table has them, and as code
    // page 932 has them.
    static const char16_t kForms[][2] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u2212', u'\uFF0D'}, {u'\u2014', u'\u2015'},
        {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'},
    };
    std::size_t first = std::string::npos;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = units[i];
        if (unit < 0xA2 || (unit > 0xAC && unit < 0x2014) || (unit > 0x2212 && unit != 0x301C)) {
            continue;
        }
        for (const auto& form : kForms) {
            if (unit == form[0]) {
                units[i] = form[1];
                first = first == std::string::npos ? i : first;
                break;
            }
        }
    }
    return first;
}
