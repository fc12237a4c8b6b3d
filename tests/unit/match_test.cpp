#include "search/match.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNo = kNotFound;

std::string Show(const std::string& bytes)
{
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 15];
        }
    }
    return shown;
}

// Find-next: one character past the selection start.
std::size_t FindNextFrom(const std::string& text, std::size_t selectionStart, const std::string& find)
{
    const Finder finder(find.c_str(), find.size());
    return finder.Forward(text.c_str(), text.size(), CharacterAfter(text.c_str(), text.size(), selectionStart));
}

std::size_t FindPreviousFrom(const std::string& text, std::size_t selectionStart, const std::string& find)
{
    const Finder finder(find.c_str(), find.size());
    return finder.Backward(text.c_str(), text.size(), selectionStart);
}

struct Replaced {
    std::string text;
    std::size_t count;
    std::size_t lastStart;
};

Replaced ReplaceEvery(const std::string& text, const std::string& find, const std::string& replace)
{
    const Finder finder(find.c_str(), find.size());
    const ReplaceAllPlan plan = PlanReplaceAll(finder, text.c_str(), text.size(), replace.size());
    std::string out(plan.newLength + 1, '\x7f');
    WriteReplaceAll(finder, text.c_str(), text.size(), replace.c_str(), replace.size(), out.data());
    EXPECT_EQ(out[plan.newLength], '\0') << "the rebuilt text fills its planned size exactly";
    out.resize(plan.newLength);
    return {out, plan.count, plan.lastStart};
}

// How much of a typed find or replace string counts: whole characters only.
struct Counted {
    const char* text;
    std::size_t limit;
    std::size_t length;
};

const Counted kCounted[] = {
    {"abc", kNo, 3},
    {"a\x95\x5c", kNo, 3},
    {"a\x95", kNo, 1},                   // a lone lead byte at the end is dropped
    {"\x95", kNo, 0},                    // no whole character: nothing to find
    {"\x95\x5c\x95", kNo, 2},
    {"\x95\x5c\x95\x5c", 3, 2},          // cut before a character that does not fit
    {"\xb1\xb2\xb3", 2, 2},              // half-width kana are single bytes
    {"a\x81\x0d", kNo, 3},               // a lead byte takes whatever follows it
    {"", kNo, 0},
};

TEST(Match, CountsOnlyWholeCharactersOfAString)
{
    for (const Counted& c : kCounted) {
        EXPECT_EQ(WholeCharacterLength(c.text, c.limit), c.length) << Show(c.text) << " within " << c.limit;
    }
}

struct Search {
    std::string text;
    std::size_t selectionStart;
    std::string find;
    std::size_t found;
};

const Search kForward[] = {
    {"aaa", 0, "aa", 1},                                  // one character past the selection start
    {"ab", 0, "ab", kNo},                                 // the occurrence at the caret itself is passed
    {"abab", 0, "ab", 2},
    {"aaaa", 1, "aa", 2},                                 // overlaps the current occurrence
    {"\x83\x41", 0, "A", kNo},                            // ア: its trail byte is 'A'
    {"a\x83\x41", 0, "A", kNo},
    {"a\x83\x41" "A", 0, "A", 3},
    {"a\x95\x5c", 0, "\\", kNo},                          // 表: its trail byte is a backslash
    {"a\x95\x5c\\", 0, "\\", 3},
    {"a\x83\x7c", 0, "|", kNo},                           // ポ: its trail byte is a vertical bar
    {"a\x83\x83\x41\x41", 0, "\x83\x41", kNo},            // ア only as bytes from the trail of ャ
    {"a\x88\x9f\x88\x9f\x88\x9f", 0, "\x9f\x88", kNo},    // a run of lead-range bytes, paired from its start
    {"a\x88\x9f\x9f\x88", 0, "\x9f\x88", 3},
    {"\x95\x5c\x95\x5c", 0, "\x95\x5c", 2},               // past a double-byte selection start
    {"abc", 1, "bc", kNo},                                // too few bytes left after the starting point
    {"abc", 0, "bc", 1},
    {"ab", 2, "a", kNo},                                  // caret at the end
    {"", 0, "a", kNo},
    {"ab\x95", 0, "b", 1},                                // a lone lead byte ends the text
};

TEST(Match, FindNextStartsOnCharactersOnly)
{
    for (const Search& s : kForward) {
        EXPECT_EQ(FindNextFrom(s.text, s.selectionStart, s.find), s.found)
            << Show(s.find) << " in " << Show(s.text) << " from " << s.selectionStart;
    }
}

const Search kBackward[] = {
    {"ab", 0, "a", kNo},                                  // at offset 0 nothing is examined
    {"ab", 1, "a", 0},
    {"aaa", 2, "aa", 1},                                  // the nearest start before the selection
    {"abab", 3, "ab", 2},                                 // may run over the selection start
    {"abab", 2, "ab", 0},
    {"\x83\x41\x83\x41", 4, "A", kNo},
    {"A\x83\x41", 3, "A", 0},
    {"\\\x95\x5c", 3, "\\", 0},
    {"\x95\x5c" "x", 2, "\x95\x5c", 0},
    {"x\x88\x9f\x88\x9f\x88\x9f", 7, "\x9f\x88", kNo},
    {"\x9f\x88\x88\x9f", 4, "\x9f\x88", 0},
    {"abc", 9, "c", 2},                                   // a start past the end is the end
};

TEST(Match, FindPreviousStartsOnCharactersOnly)
{
    for (const Search& s : kBackward) {
        EXPECT_EQ(FindPreviousFrom(s.text, s.selectionStart, s.find), s.found)
            << Show(s.find) << " in " << Show(s.text) << " before " << s.selectionStart;
    }
}

// Replace-and-find goes on from the end of the inserted text, the offset
// itself included.
struct From {
    std::string text;
    std::size_t from;
    std::string find;
    std::size_t found;
};

const From kFromInsertEnd[] = {
    {"ba", 2, "a", kNo},        // "a" replaced by "ba": its own "a" is not found
    {"ab", 0, "a", 0},          // "a" of "aab" deleted: the next "a" is right there
    {"x\x95\x5c\\", 1, "\\", 3},
};

TEST(Match, ReplaceAndFindSearchesFromTheInsertedTextsEnd)
{
    for (const From& f : kFromInsertEnd) {
        const Finder finder(f.find.c_str(), f.find.size());
        EXPECT_EQ(finder.Forward(f.text.c_str(), f.text.size(), f.from), f.found) << Show(f.text);
    }
}

struct Every {
    std::string text, find, replace;
    std::string result;
    std::size_t count;
    std::size_t lastStart;
};

const Every kEvery[] = {
    {"aXaaXa", "a", "", "XX", 4, 2},                        // consecutive occurrences removed
    {"aa", "a", "ba", "baba", 2, 2},                        // the inserted text is never searched
    {"ab", "a", "c", "cb", 1, 0},                           // an occurrence at offset 0
    {"aaa", "aa", "b", "ba", 1, 0},                         // overlapping occurrences: the first wins
    {"xyz", "a", "b", "xyz", 0, 0},
    {"\x83\x41" "A", "A", "B", "\x83\x41" "B", 1, 2},       // never the trail byte of ア
    {"\x95\x5c\\\x95\x5c", "\\", "\x81\x5f", "\x95\x5c\x81\x5f\x95\x5c", 1, 2},
    {"\x95\x5c" "a\x95\x5c", "\x95\x5c", "", "a", 2, 1},
    {"a", "a", "", "", 1, 0},                               // the whole text
};

TEST(Match, ReplaceAllReplacesEachOccurrenceOnce)
{
    for (const Every& e : kEvery) {
        const Replaced r = ReplaceEvery(e.text, e.find, e.replace);
        EXPECT_EQ(Show(r.text), Show(e.result)) << Show(e.find) << " -> " << Show(e.replace);
        EXPECT_EQ(r.count, e.count) << Show(e.text);
        if (e.count > 0) {
            EXPECT_EQ(r.lastStart, e.lastStart) << Show(e.text);
        }
    }
}

struct Selection {
    std::string text;
    std::size_t start, end;
    std::string replace;
    std::string result;
};

const Selection kSelections[] = {
    {"abc", 1, 1, "\x95\x5c", "a\x95\x5c" "bc"},    // an empty selection: inserted at the caret
    {"a\x95\x5c" "c", 1, 3, "", "ac"},               // an empty replacement deletes
    {"abc", 0, 3, "x", "x"},
};

TEST(Match, ReplaceSelectionRebuildsTheText)
{
    for (const Selection& s : kSelections) {
        std::string out(s.text.size() - (s.end - s.start) + s.replace.size() + 1, '\x7f');
        WriteReplaceSelection(s.text.c_str(), s.text.size(), s.start, s.end, s.replace.c_str(), s.replace.size(),
                              out.data());
        EXPECT_EQ(Show(out), Show(s.result + '\0'));
    }
}

// The character-by-character search that the fast one must agree with:
// every character start, compared in place.
std::vector<std::size_t> CharacterStarts(const std::string& text)
{
    std::vector<std::size_t> starts;
    for (const char* p = text.c_str(); *p != '\0'; p = NextChar932(p)) {
        starts.push_back(static_cast<std::size_t>(p - text.c_str()));
    }
    return starts;
}

bool MatchesAt(const std::string& text, std::size_t at, const std::string& find)
{
    return at + find.size() <= text.size() && MatchAt(text.c_str() + at, find.c_str(), find.size());
}

std::string Whole(const std::string& s)
{
    return s.substr(0, WholeCharacterLength(s.c_str()));
}

TEST(Match, AgreesWithACharacterByCharacterSearch)
{
    // Bytes that are lead bytes, trail bytes or both, and plain letters.
    const unsigned char alphabet[] = {'a', 'A', '\\', 0x81, 0x83, 0x88, 0x95, 0x9f, 0x41, 0x5c, 0xe0, 0xb1};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    auto randomText = [&](std::size_t size) {
        std::string s;
        for (std::size_t i = 0; i < size; ++i) {
            s += static_cast<char>(alphabet[next(sizeof alphabet)]);
        }
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(next(40));
        std::string find = Whole(randomText(1 + next(4)));
        if (find.empty()) {
            continue;
        }
        const std::vector<std::size_t> starts = CharacterStarts(text);
        const std::size_t from = next(static_cast<std::uint32_t>(text.size() + 2));
        const Finder finder(find.c_str(), find.size());

        std::size_t forward = kNo;
        std::size_t backward = kNo;
        for (std::size_t c : starts) {
            if (c >= from && forward == kNo && MatchesAt(text, c, find)) {
                forward = c;
            }
            if (c < from && MatchesAt(text, c, find)) {
                backward = c;
            }
        }
        const bool fromIsStart = from >= text.size() || std::find(starts.begin(), starts.end(), from) != starts.end();
        if (fromIsStart) {
            ASSERT_EQ(finder.Forward(text.c_str(), text.size(), from), forward)
                << Show(find) << " in " << Show(text) << " from " << from;
        }
        ASSERT_EQ(finder.Backward(text.c_str(), text.size(), from), backward)
            << Show(find) << " in " << Show(text) << " before " << from;

        std::string expected;
        std::size_t copied = 0;
        const std::string replace = Whole(randomText(next(3)));
        for (std::size_t c : starts) {
            if (c >= copied && MatchesAt(text, c, find)) {
                expected += text.substr(copied, c - copied) + replace;
                copied = c + find.size();
            }
        }
        expected += text.substr(copied);
        ASSERT_EQ(Show(ReplaceEvery(text, find, replace).text), Show(expected))
            << Show(find) << " -> " << Show(replace) << " in " << Show(text);
    }
}

}  // namespace
