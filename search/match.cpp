#include "search/match.h"

#include "text/sjis.h"

#include <algorithm>
#include <cstring>

namespace {

const unsigned char* Bytes(const char* text)
{
    return reinterpret_cast<const unsigned char*>(text);
}

// Pairs that hash alike share one table entry, which can only shorten a move.
unsigned PairHash(unsigned char first, unsigned char second)
{
    return ((first << 3) ^ second) & 0xFF;
}

// Whether offset p of the text starts a character, given known, a character
// start at or before p. Bytes in the lead range pair up from the end of
// the last byte outside that range (which always ends a character), so the
// parity of the run of lead-range bytes just before p decides. known moves
// on to a character start at or after p, which keeps a forward scan linear.
bool StartsCharacter(const unsigned char* text, std::size_t& known, std::size_t p)
{
    std::size_t i = p;
    while (i > known && IsLeadByte932(text[i - 1])) {
        --i;
    }
    const bool start = (p - i) % 2 == 0;
    known = start ? p : p + 1;
    return start;
}

}  // namespace

bool MatchAt(const char* p, const char* find, std::size_t length)
{
    return std::memcmp(p, find, length) == 0;
}

std::size_t CharacterAfter(const char* text, std::size_t length, std::size_t s)
{
    if (s >= length) {
        return length + 1;
    }
    return s + (IsLeadByte932(Bytes(text)[s]) && s + 1 < length ? 2 : 1);
}

Finder::Finder(const char* find, std::size_t length) : find_(find), length_(length)
{
    std::memset(pairEnd_, 0, sizeof pairEnd_);
    skipAfterCompare_ = 1;
    if (length_ < 2) {
        return;
    }
    const unsigned char* f = Bytes(find_);
    const std::size_t tail = length_ - 1;
    for (std::size_t k = 1; k < tail; ++k) {
        pairEnd_[PairHash(f[k - 1], f[k])] = static_cast<std::uint32_t>(k);
    }
    // After a failed compare the window moves to the next place where the
    // last pair could line up again.
    const unsigned last = PairHash(f[tail - 1], f[tail]);
    skipAfterCompare_ = tail - pairEnd_[last];
    pairEnd_[last] = static_cast<std::uint32_t>(tail);
}

std::size_t Finder::Scan(const char* text, std::size_t from, std::size_t last) const
{
    if (length_ == 1) {
        const void* hit = std::memchr(text + from, find_[0], last - from + 1);
        return hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : kNotFound;
    }
    const unsigned char* t = Bytes(text);
    const std::size_t tail = length_ - 1;
    const std::size_t endOfLast = last + tail;
    // j is the last byte of the window; the pair that ends there decides
    // how far the window moves. The usual case, a pair that the find string
    // does not hold, moves it by a fixed amount, so the loop runs ahead of
    // its table reads.
    std::size_t j = from + tail;
    while (j <= endOfLast) {
        const std::size_t at = pairEnd_[PairHash(t[j - 1], t[j])];
        if (at == 0) {
            j += tail;
        } else if (at < tail) {
            j += tail - at;
        } else {
            const std::size_t start = j - tail;
            if (MatchAt(text + start, find_, length_)) {
                return start;
            }
            j += skipAfterCompare_;
        }
    }
    return kNotFound;
}

std::size_t Finder::Forward(const char* text, std::size_t length, std::size_t from) const
{
    if (length_ == 0 || from > length || length - from < length_) {
        return kNotFound;
    }
    const std::size_t last = length - length_;
    std::size_t known = from;
    for (std::size_t at = from; at <= last;) {
        const std::size_t hit = Scan(text, at, last);
        if (hit == kNotFound) {
            return kNotFound;
        }
        if (StartsCharacter(Bytes(text), known, hit)) {
            return hit;
        }
        at = hit + 1;
    }
    return kNotFound;
}

std::size_t Finder::Backward(const char* text, std::size_t length, std::size_t before) const
{
    if (length_ == 0 || before == 0 || length < length_) {
        return kNotFound;
    }
    // One scan forward, keeping the last match: stepping backwards through
    // double-byte text would have to find each character start again.
    const std::size_t last = std::min(before - 1, length - length_);
    std::size_t known = 0;
    std::size_t best = kNotFound;
    for (std::size_t at = 0; at <= last;) {
        const std::size_t hit = Scan(text, at, last);
        if (hit == kNotFound) {
            break;
        }
        if (StartsCharacter(Bytes(text), known, hit)) {
            best = hit;
        }
        at = hit + 1;
    }
    return best;
}

ReplaceAllPlan PlanReplaceAll(const Finder& finder, const char* text, std::size_t length,
                              std::size_t replaceLength)
{
    ReplaceAllPlan plan{0, length, 0};
    std::size_t lastFound = 0;
    for (std::size_t at = finder.Forward(text, length, 0); at != kNotFound;
         at = finder.Forward(text, length, at + finder.size())) {
        ++plan.count;
        lastFound = at;
    }
    if (plan.count > 0) {
        plan.newLength = length - plan.count * finder.size() + plan.count * replaceLength;
        plan.lastStart = lastFound - (plan.count - 1) * finder.size() + (plan.count - 1) * replaceLength;
    }
    return plan;
}

void WriteReplaceAll(const Finder& finder, const char* text, std::size_t length, const char* replace,
                     std::size_t replaceLength, char* out)
{
    char* o = out;
    std::size_t copied = 0;
    for (std::size_t at = finder.Forward(text, length, 0); at != kNotFound;
         at = finder.Forward(text, length, at + finder.size())) {
        std::memcpy(o, text + copied, at - copied);
        o += at - copied;
        std::memcpy(o, replace, replaceLength);
        o += replaceLength;
        copied = at + finder.size();
    }
    std::memcpy(o, text + copied, length - copied);
    o += length - copied;
    *o = '\0';
}

namespace {

// Characters of the text from byte from up to byte to, both character starts.
std::size_t CharactersBetween(const char* text, std::size_t length, std::size_t from, std::size_t to)
{
    std::size_t count = 0;
    for (std::size_t at = from; at < to; ++count) {
        at = CharacterAfter(text, length, at);
    }
    return count;
}

}  // namespace

ReplaceAllSpans PlanReplaceAllSpans(const Finder& finder, const char* text, std::size_t length)
{
    ReplaceAllSpans spans;
    std::size_t copied = 0;
    bool first = true;
    for (std::size_t at = finder.Forward(text, length, 0); at != kNotFound;
         at = finder.Forward(text, length, at + finder.size())) {
        if (first) {
            spans.findCharacters = CharactersBetween(text, length, at, at + finder.size());
            first = false;
        }
        spans.gaps.push_back(CharactersBetween(text, length, copied, at));
        spans.totalCharacters += spans.gaps.back() + spans.findCharacters;
        copied = at + finder.size();
    }
    spans.totalCharacters += CharactersBetween(text, length, copied, length);
    return spans;
}

void WriteReplaceSelection(const char* text, std::size_t length, std::size_t start, std::size_t end,
                           const char* replace, std::size_t replaceLength, char* out)
{
    std::memcpy(out, text, start);
    std::memcpy(out + start, replace, replaceLength);
    std::memcpy(out + start + replaceLength, text + end, length - end);
    out[start + replaceLength + length - end] = '\0';
}
