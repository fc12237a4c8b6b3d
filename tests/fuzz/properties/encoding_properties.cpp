// Recognising a file's encoding and converting the JIS-based ones: whatever
// the bytes, an encoding is claimed only where the bytes are valid in it,
// and a text converted without loss converts back to the same bytes.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "text/encoding.h"

namespace {

// UTF-8 by the code points it decodes to, apart from the code it checks.
bool ReferenceUtf8(const std::string& bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned c = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || at + length > bytes.size()) {
            return false;
        }
        unsigned long point = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned next = static_cast<unsigned char>(bytes[at + k]);
            if ((next >> 6) != 2) {
                return false;
            }
            point = (point << 6) | (next & 0x3F);
        }
        static const unsigned long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kLeast[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        at += length;
    }
    return true;
}

bool ReferenceUtf16(const std::string& bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0) {
        return false;
    }
    bool expectLow = false;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const unsigned a = static_cast<unsigned char>(bytes[at]);
        const unsigned b = static_cast<unsigned char>(bytes[at + 1]);
        const unsigned unit = bigEndian ? (a << 8) | b : (b << 8) | a;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (low != expectLow) {
            return false;
        }
        expectLow = unit >= 0xD800 && unit <= 0xDBFF;
    }
    return !expectLow;
}

bool ReferenceEucJp(const std::string& bytes)
{
    auto cell = [&](std::size_t at) {
        return at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0xA1 &&
               static_cast<unsigned char>(bytes[at]) != 0xFF;
    };
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned c = static_cast<unsigned char>(bytes[at]);
        const unsigned next = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
        if (c < 0x80) {
            at += 1;
        } else if (c == 0x8E && next >= 0xA1 && next <= 0xDF) {
            at += 2;
        } else if (c == 0x8F && cell(at + 1) && cell(at + 2)) {
            at += 3;
        } else if (cell(at) && cell(at + 1)) {
            at += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string Claim(TextEncoding encoding, const std::string& bytes)
{
    const std::string rest = bytes.substr(ByteOrderMark(encoding).size());
    switch (encoding) {
    case TextEncoding::ShiftJis:
        return "";
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Marked:
        return ReferenceUtf8(rest) ? "" : "not UTF-8";
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16LeMarked:
    case TextEncoding::Utf16Be:
    case TextEncoding::Utf16BeMarked:
        return ReferenceUtf16(rest, IsBigEndian(encoding)) ? "" : "not UTF-16";
    case TextEncoding::EucJp:
        return ReferenceEucJp(rest) ? "" : "not EUC-JP";
    case TextEncoding::Iso2022Jp:
        for (char c : rest) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return "not seven-bit";
            }
        }
        return rest.find('\x1b') != std::string::npos ? "" : "no escape";
    }
    return "unknown encoding";
}

}  // namespace

std::string CheckEncoding(const unsigned char* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ExactText exact(bytes);
    const TextEncoding encoding = RecogniseEncoding(exact.get(), exact.size());
    const std::string claim = Claim(encoding, bytes);
    PROPERTY(claim.empty(), claim + ": " + Show(bytes));
    if (!IsJisBased(encoding)) {
        return "";
    }
    std::string shiftJis(size, '\0');
    std::size_t lacking = 0;
    shiftJis.resize(JisToShiftJis(encoding, exact.get(), size, shiftJis.data(), &lacking));
    PROPERTY(shiftJis.size() <= size, Show(bytes));
    std::size_t back = 0;
    const std::string again = ShiftJisToJis(encoding, shiftJis.data(), shiftJis.size(), &back);
    // EUC-JP has one form for each character; ISO-2022-JP may switch sets
    // in more than one way, but its characters come back.
    if (lacking == std::string::npos && encoding == TextEncoding::EucJp) {
        PROPERTY(again == bytes, Show(bytes) + " came back as " + Show(again));
    }
    if (lacking == std::string::npos && back == std::string::npos) {
        std::string twice(again.size(), '\0');
        twice.resize(JisToShiftJis(encoding, again.data(), again.size(), twice.data(), &lacking));
        PROPERTY(twice == shiftJis, Show(bytes));
    }
    return "";
}
