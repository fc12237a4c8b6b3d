#include "search/match.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNo = kNotFound;

// 表 ends in the byte of a backslash, ア in that of 'A', ポ in that of '|'.
#define HYO "\x95\x5c"
#define A_KATA "\x83\x41"
#define PO "\x83\x7c"

std::string Show(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        shown += c >= 0x20 && c < 0x7f ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c);
    }
    return shown;
}

TEST(Match, CountsOnlyWholeCharactersOfAString)
{
    const struct {
        const char* text;
        std::size_t limit, length;
    } cases[] = {
        {"a" HYO, kNo, 3},   {"a\x95", kNo, 1},     // a lone lead byte at the end is dropped
        {"\x95", kNo, 0},    {HYO HYO, 3, 2},       // cut before a character that does not fit
        {"\xb1\xb2", 1, 1},  {"a\x81\x0d", kNo, 3}, // a lead byte takes whatever follows it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WholeCharacterLength(c.text, c.limit), c.length) << Show(c.text);
    }
}

struct Search {
    std::string text;
    std::size_t selectionStart;
    std::string find;
    std::size_t found;
};

TEST(Match, FindNextStartsOneCharacterOnAndNeverOnATrailByte)
{
    const Search cases[] = {
        {"aaa", 0, "aa", 1},          {"ab", 0, "ab", kNo},        {"aaaa", 1, "aa", 2},
        {"a" A_KATA, 0, "A", kNo},    {"a" A_KATA "A", 0, "A", 3}, {"a" HYO, 0, "\\", kNo},
        {"a" HYO "\\", 0, "\\", 3},   {"a" PO, 0, "|", kNo},       {HYO HYO, 0, HYO, 2},
        {"a\x83\x83\x41\x41", 0, A_KATA, kNo},                      // ア only from the trail of ャ
        {"a\x88\x9f\x88\x9f", 0, "\x9f\x88", kNo},                  // lead-range bytes pair from the left
        {"a\x88\x9f\x9f\x88", 0, "\x9f\x88", 3},
        {"abc", 1, "bc", kNo},        {"ab", 2, "a", kNo},         {"ab\x95", 0, "b", 1},
    };
    for (const Search& s : cases) {
        const Finder finder(s.find.c_str(), s.find.size());
        const std::size_t from = CharacterAfter(s.text.c_str(), s.text.size(), s.selectionStart);
        EXPECT_EQ(finder.Forward(s.text.c_str(), s.text.size(), from), s.found)
            << Show(s.find) << " in " << Show(s.text) << " from " << s.selectionStart;
    }
}

TEST(Match, FindPreviousTakesTheNearestCharacterStartBeforeTheSelection)
{
    const Search cases[] = {
        {"ab", 0, "a", kNo},     {"ab", 1, "a", 0},         {"aaa", 2, "aa", 1},
        {"abab", 3, "ab", 2},    {A_KATA A_KATA, 4, "A", kNo}, {"A" A_KATA, 3, "A", 0},
        {"\\" HYO, 3, "\\", 0},  {"x\x88\x9f\x88\x9f", 5, "\x9f\x88", kNo}, {"abc", 9, "c", 2},
    };
    for (const Search& s : cases) {
        const Finder finder(s.find.c_str(), s.find.size());
        EXPECT_EQ(finder.Backward(s.text.c_str(), s.text.size(), s.selectionStart), s.found)
            << Show(s.find) << " in " << Show(s.text) << " before " << s.selectionStart;
    }
}

// Replace-and-find: the selection replaced, then a search from the end of
// the inserted text, that end included.
TEST(Match, ReplaceAndFindSearchesOnFromTheInsertedText)
{
    const struct {
        std::string text;
        std::size_t start, end;
        std::string replace, find, result;
        std::size_t found;
    } cases[] = {
        {"xa", 0, 0, HYO, "a", HYO "xa", 3},  // an empty selection: inserted at the caret
        {"a", 0, 1, "ba", "a", "ba", kNo},     // never its own replacement
        {"aab", 0, 1, "", "a", "ab", 0},       // nor passing the match right after it
    };
    for (const auto& c : cases) {
        std::string out(c.text.size() - (c.end - c.start) + c.replace.size() + 1, '?');
        WriteReplaceSelection(c.text.c_str(), c.text.size(), c.start, c.end, c.replace.c_str(), c.replace.size(),
                              out.data());
        EXPECT_EQ(Show(out), Show(c.result + '\0'));
        out.pop_back();
        EXPECT_EQ(Finder(c.find.c_str(), 1).Forward(out.c_str(), out.size(), c.start + c.replace.size()), c.found);
    }
}

std::string ReplaceEvery(const std::string& text, const std::string& find, const std::string& replace,
                         ReplaceAllPlan* plan = nullptr)
{
    const Finder finder(find.c_str(), find.size());
    const ReplaceAllPlan p = PlanReplaceAll(finder, text.c_str(), text.size(), replace.size());
    std::string out(p.newLength + 1, '?');
    WriteReplaceAll(finder, text.c_str(), text.size(), replace.c_str(), replace.size(), out.data());
    EXPECT_EQ(out.back(), '\0') << "the rebuilt text fills its planned size exactly";
    out.pop_back();
    if (plan != nullptr) {
        *plan = p;
    }
    return out;
}

TEST(Match, ReplaceAllReplacesEachOccurrenceOnce)
{
    const struct {
        std::string text, find, replace, result;
        std::size_t count, lastStart;
    } cases[] = {
        {"aXaaXa", "a", "", "XX", 4, 2},           // consecutive ones, and the one at 0
        {"aa", "a", "ba", "baba", 2, 2},           // the inserted text is never searched
        {"aaa", "aa", "b", "ba", 1, 0},
        {A_KATA "A", "A", "B", A_KATA "B", 1, 2},
        {HYO "\\" HYO, "\\", "/", HYO "/" HYO, 1, 2},
        {"xyz", "a", "b", "xyz", 0, 0},
    };
    for (const auto& c : cases) {
        ReplaceAllPlan plan{};
        EXPECT_EQ(Show(ReplaceEvery(c.text, c.find, c.replace, &plan)), Show(c.result)) << Show(c.text);
        EXPECT_EQ(plan.count, c.count) << Show(c.text);
        EXPECT_EQ(plan.lastStart, c.lastStart) << Show(c.text);
    }
}

// The fast scan against the plain rule: every character start, compared in
// place, over random texts of bytes that are lead bytes, trail bytes or both.
TEST(Match, AgreesWithACharacterByCharacterSearch)
{
    const char alphabet[] = "aA\\\x81\x83\x88\x95\x9f\xe0\xb1";
    std::uint32_t seed = 12345;
    auto next = [&seed](std::size_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    auto random = [&](std::size_t size) {
        std::string s;
        while (s.size() < size) {
            s += alphabet[next(sizeof alphabet - 1)];
        }
        return s.substr(0, WholeCharacterLength(s.c_str()));
    };
    for (int round = 0; round < 5000; ++round) {
        const std::string text = random(next(40));
        const std::string find = random(1 + next(4));
        const std::string replace = random(next(3));
        if (find.empty()) {
            continue;
        }
        std::vector<std::size_t> starts;
        for (const char* p = text.c_str(); *p != '\0'; p = NextChar932(p)) {
            starts.push_back(static_cast<std::size_t>(p - text.c_str()));
        }
        auto matches = [&](std::size_t c) { return text.compare(c, find.size(), find) == 0; };
        const std::size_t from = next(text.size() + 2);
        std::size_t forward = kNo, backward = kNo, copied = 0;
        std::string expected;
        for (std::size_t c : starts) {
            forward = forward == kNo && c >= from && matches(c) ? c : forward;
            backward = c < from && matches(c) ? c : backward;
            if (c >= copied && matches(c)) {
                expected += text.substr(copied, c - copied) + replace;
                copied = c + find.size();
            }
        }
        expected += text.substr(copied);
        const Finder finder(find.c_str(), find.size());
        if (from >= text.size() || std::count(starts.begin(), starts.end(), from) > 0) {
            ASSERT_EQ(finder.Forward(text.c_str(), text.size(), from), forward) << Show(find) << " in " << Show(text);
        }
        ASSERT_EQ(finder.Backward(text.c_str(), text.size(), from), backward) << Show(find) << " in " << Show(text);
        ASSERT_EQ(Show(ReplaceEvery(text, find, replace)), Show(expected)) << Show(find) << " in " << Show(text);
    }
}

}  // namespace
