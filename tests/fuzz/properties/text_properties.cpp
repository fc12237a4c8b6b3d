// Line ends of a loaded text, where a round trip changed it, and the edit
// control's positions.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "document/edit_units.h"
#include "file/line_ends.h"
#include "file/round_trip.h"

#include <algorithm>

namespace {

// The line end that starts at offset at: 0 when the character there is no
// CR or LF, else the bytes of the CR LF or CR CR LF it begins, or 1 for a
// lone CR or LF. CR and LF are never lead bytes, so the bytes after them are
// the characters after them.
std::size_t LineEndAt(const std::string& text, std::size_t at)
{
    if (CharacterLength(text, at) != 1 || (text[at] != '\r' && text[at] != '\n')) {
        return 0;
    }
    if (text.compare(at, 2, "\r\n") == 0) {
        return 2;
    }
    return text.compare(at, 3, "\r\r\n") == 0 ? 3 : 1;
}

// Every lone CR and lone LF becomes CR LF; CR LF and CR CR LF stay.
std::string ReferenceNormalise(const std::string& text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = LineEndAt(text, at);
        const std::size_t length = end != 0 ? end : CharacterLength(text, at);
        out += end == 1 ? std::string("\r\n") : text.substr(at, length);
        at += length;
    }
    return out;
}

bool ReferenceNeedsQuestion(const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) {
        if (LineEndAt(text, at) != 0) {
            return LineEndAt(text, at) == 1;
        }
    }
    return false;
}

// Whether the two texts hold the same characters, each whole, apart from
// their CR and LF characters.
bool SameBesideLineEnds(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && LineEndAt(a, i) != 0) {
            ++i;
        }
        while (j < b.size() && LineEndAt(b, j) != 0) {
            ++j;
        }
        if (i == a.size() || j == b.size()) {
            return i == a.size() && j == b.size();
        }
        const std::size_t length = CharacterLength(a, i);
        if (CharacterLength(b, j) != length || a.compare(i, length, b, j, length) != 0) {
            return false;
        }
        i += length;
        j += length;
    }
}

// Converts through blocks of exactly the announced sizes.
std::string Normalise(const std::string& text, std::string& failure)
{
    const ExactText in(text);
    const std::size_t length = NormalisedLength(in.get());
    const std::unique_ptr<char[]> out(new char[length + 1]);
    const std::size_t written = NormaliseLineEndsInto(in.get(), out.get());
    if (written != length || out[length] != '\0') {
        failure = "the conversion wrote " + std::to_string(written) + " bytes, announced " +
                  std::to_string(length) + ", for " + Show(text);
    }
    return std::string(out.get(), length);
}

// The line holding offset: one more for every lone CR or LF and every CR LF
// or CR CR LF that ends before it.
std::size_t ReferenceLine(const std::string& text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t at = 0; at < text.size() && at < offset;) {
        const std::size_t end = LineEndAt(text, at);
        if (end != 0) {
            line += at + end - 1 < offset ? 1 : 0;
            at += end;
        } else {
            at += CharacterLength(text, at);
        }
    }
    return line;
}

}  // namespace

std::string CheckLineEnds(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string text = ZeroEnded(input.Rest());
    std::string failure;
    const std::string converted = Normalise(text, failure);
    if (!failure.empty()) {
        return failure;
    }
    PROPERTY(converted == ReferenceNormalise(text), Show(text) + " gave " + Show(converted));
    PROPERTY(SameBesideLineEnds(converted, text), Show(text));
    PROPERTY(Normalise(converted, failure) == converted && failure.empty(), Show(text));
    PROPERTY(FirstLineEndNeedsQuestion(ExactText(text).get()) == ReferenceNeedsQuestion(text), Show(text));
    PROPERTY(!FirstLineEndNeedsQuestion(ExactText(converted).get()), Show(text));
    return {};
}

std::string CheckRoundTrip(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const unsigned mode = input.Byte();
    const std::size_t place = input.Number32();
    const std::string text = ZeroEnded(input.LongPiece());
    std::string back;
    if (mode % 2 == 0) {
        back = input.Rest();
    } else {
        // An answer that differs from the text in one place only.
        const std::size_t at = place % (text.size() + 1);
        const std::size_t removed = std::min<std::size_t>((mode >> 1) % 4, text.size() - at);
        back = text.substr(0, at) + input.Piece() + text.substr(at + removed);
    }
    const std::string shown = Show(text) + " and " + Show(back);

    const std::size_t changed = FirstChangedCharacter(ExactText(text).get(), back);
    if (back == text) {
        PROPERTY(changed == std::string::npos, shown);
    } else {
        PROPERTY(changed != std::string::npos && IsCharacterStart(text, changed), shown);
        PROPERTY(text.compare(0, changed, back, 0, changed) == 0, shown);
        const auto differ = std::mismatch(text.begin(), text.end(), back.begin(), back.end());
        const std::size_t first = static_cast<std::size_t>(differ.first - text.begin());
        const std::vector<std::size_t> starts = CharacterStarts(text);
        if (first == text.size()) {
            // The text came back whole with more after it: its last character.
            const std::size_t last = starts.size() > 1 ? starts[starts.size() - 2] : 0;
            PROPERTY(changed == last, shown);
        } else {
            const auto next = std::upper_bound(starts.begin(), starts.end(), changed);
            PROPERTY(first >= changed && next != starts.end() && first < *next, shown);
        }
    }

    const std::size_t offset = place % (text.size() + 2);
    PROPERTY(LineOfOffset(ExactText(text).get(), offset) == ReferenceLine(text, offset),
             Show(text) + " at " + std::to_string(offset));
    // Each line end becomes exactly one CR LF or CR CR LF, so the line of the
    // end is one more than the LF characters of the converted text.
    std::string failure;
    const std::string converted = Normalise(text, failure);
    std::size_t ends = 0;
    for (std::size_t at = 0; at < converted.size(); at += CharacterLength(converted, at)) {
        ends += converted[at] == '\n' ? 1 : 0;
    }
    PROPERTY(LineOfOffset(ExactText(text).get(), text.size()) == ends + 1, Show(text));
    return {};
}

std::string CheckEditUnits(const unsigned char* data, std::size_t size)
{
    FuzzInput input(data, size);
    const bool countsBytes = (input.Byte() & 1) != 0;
    const std::size_t position = input.Number32();
    const std::string text = ZeroEnded(input.Rest());
    const ExactText exact(text);
    const std::size_t length = text.size();
    const std::string shown = Show(text) + " at " + std::to_string(position);

    if (countsBytes) {
        PROPERTY(EditPositionOfBytes(exact.get(), position % (length + 1), true) == position % (length + 1),
                 shown);
        PROPERTY(BytesOfEditPosition(exact.get(), length, position, true) == std::min(position, length), shown);
        return {};
    }
    // A character position is the index of a character start; a byte offset
    // counts the characters that start before it.
    const std::vector<std::size_t> starts = CharacterStarts(text);
    const std::size_t characters = starts.size() - 1;
    PROPERTY(BytesOfEditPosition(exact.get(), length, position, false) == starts[std::min(position, characters)],
             shown);
    const std::size_t bytes = position % (length + 2);
    const std::size_t before = static_cast<std::size_t>(
        std::lower_bound(starts.begin(), starts.end() - 1, bytes) - starts.begin());
    PROPERTY(EditPositionOfBytes(exact.get(), bytes, false) == before, shown);
    // Every character start crosses over and back unchanged; short texts only,
    // as each crossing walks from the start.
    if (length <= 256) {
        for (std::size_t k = 0; k < starts.size(); ++k) {
            PROPERTY(EditPositionOfBytes(exact.get(), starts[k], false) == k, shown);
            PROPERTY(BytesOfEditPosition(exact.get(), length, k, false) == starts[k], shown);
        }
    }
    return {};
}
