#pragma once
// Finding and replacing a string in code page 932 text, over plain bytes.
// A match only ever starts on a character start and covers whole
// characters, so a find string never matches the trail byte of a
// double-byte character nor runs into the middle of one.

#include "text/sjis.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// True when the length bytes of find, whole characters, stand at p. p must
// have at least length bytes before the text's terminator.
bool MatchAt(const char* p, const char* find, std::size_t length);

// The start of the character after the one that starts at offset s of a
// text of length bytes; more than length when s is at or past the end.
std::size_t CharacterAfter(const char* text, std::size_t length, std::size_t s);

// A search for one find string (whole characters, at least one byte) over
// texts. Made once per command: it builds a table of how far each pair of
// bytes lets a scan skip, as in Horspool's search.
class Finder {
public:
    Finder(const char* find, std::size_t length);

    // The first character start c >= from with a match at c, or kNotFound.
    // from must be a character start (or lie past the end).
    std::size_t Forward(const char* text, std::size_t length, std::size_t from) const;

    // The last character start c < before with a match at c, or kNotFound.
    std::size_t Backward(const char* text, std::size_t length, std::size_t before) const;

    std::size_t size() const { return length_; }

private:
    // The first byte-level occurrence starting in [from, last] of the text.
    std::size_t Scan(const char* text, std::size_t from, std::size_t last) const;

    const char* find_;
    std::size_t length_;
    // For each hash of a pair of bytes, the largest index in the find string
    // at which such a pair ends (the last pair counts as the last index), or
    // 0 when none does: the scan then moves a whole window length at once.
    // Small, so that it stays in the fastest cache.
    std::uint32_t pairEnd_[256];
    std::size_t skipAfterCompare_;
};

// Replace-all in one planned rebuild: every occurrence, scanning on after
// each replaced one, so that the replacement text is never searched.
struct ReplaceAllPlan {
    std::size_t count;      // occurrences replaced
    std::size_t newLength;  // bytes of the rebuilt text, without terminator
    std::size_t lastStart;  // where the last replacement starts in it
};

ReplaceAllPlan PlanReplaceAll(const Finder& finder, const char* text, std::size_t length,
                              std::size_t replaceLength);

// Writes the rebuilt text and its terminator to out, which holds the
// planned newLength + 1 bytes.
void WriteReplaceAll(const Finder& finder, const char* text, std::size_t length, const char* replace,
                     std::size_t replaceLength, char* out);

// A replace-all over the text in the form the edit control shows it, where
// each code page 932 character is one unit: for each occurrence, the count
// of characters between the end of the one before (or the start) and it;
// the characters of one occurrence; and the characters of the whole text.
struct ReplaceAllSpans {
    std::vector<std::size_t> gaps;
    std::size_t findCharacters = 0;
    std::size_t totalCharacters = 0;
};

ReplaceAllSpans PlanReplaceAllSpans(const Finder& finder, const char* text, std::size_t length);

// Writes text with bytes start to end replaced, and a terminator, to out
// (length - (end - start) + replaceLength + 1 bytes).
void WriteReplaceSelection(const char* text, std::size_t length, std::size_t start, std::size_t end,
                           const char* replace, std::size_t replaceLength, char* out);
