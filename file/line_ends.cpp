#include "file/line_ends.h"

#include "text/sjis.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The text is searched 64 bytes at a time for CR and LF bytes, one bit for
// each byte (the first byte in bit 0); only those bytes need a look at the
// characters around them.
constexpr std::size_t kChunk = 64;

// The steps of the chunk loop, kept inline so that the masks stay in
// registers.
#define MOKURE_HOT [[gnu::always_inline]] inline

// The end of a zero-ended text is looked for a piece at a time, just ahead
// of the scan, so that the bytes are still in cache when the scan reaches
// them; the scan asks for the bytes two pieces ahead of itself meanwhile, so
// that the search for the end does not wait for memory either.
constexpr std::size_t kPiece = 4096;
constexpr std::size_t kPrefetchAhead = 2 * kPiece;

// Makes more of the text known to hold no NUL: [text, known) holds none, and
// known moves on by a piece, or onto the NUL. Returns true once known is the
// NUL.
inline bool KnowMore(const char*& known)
{
    // memchr stops at the first NUL, so it never reads past the text.
    const void* nul = std::memchr(known, '\0', kPiece);
    if (nul != nullptr) {
        known = static_cast<const char*>(nul);
        return true;
    }
    known += kPiece;
    return false;
}

// IsLeadByte932 spelt out for the hot loop: b ^ 0x20 lays the two lead
// ranges 0x81-0x9F and 0xE0-0xFC side by side, as 0xA1-0xDC.
MOKURE_HOT bool IsLeadByte(char b)
{
    return static_cast<unsigned char>((static_cast<unsigned char>(b) ^ 0x20) - 0xA1) < 0x3C;
}

#if defined(__SSE2__)
MOKURE_HOT std::uint64_t LineEndBitsOf16(const char* p, unsigned shift)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + shift));
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(kCR)),
                                      _mm_cmpeq_epi8(v, _mm_set1_epi8(kLF)));
    return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(ends))} << shift;
}

// One bit for each of the 16 bytes at p that is in the lead range.
MOKURE_HOT unsigned LeadBitsOf16(const char* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // As in IsLeadByte, offset by 0x80 for the signed comparison: the lead
    // ranges land on -128 to -69, every other byte above them.
    const __m128i t = _mm_sub_epi8(_mm_xor_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8(0x21));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(_mm_set1_epi8(-68), t)));
}
#endif

// The CR and LF bytes of the 64 bytes at p.
MOKURE_HOT std::uint64_t LineEndBits(const char* p)
{
#if defined(__SSE2__)
    return LineEndBitsOf16(p, 0) | LineEndBitsOf16(p, 16) | LineEndBitsOf16(p, 32) |
           LineEndBitsOf16(p, 48);
#else
    std::uint64_t bits = 0;
    for (unsigned i = 0; i < kChunk; ++i) {
        if (p[i] == kCR || p[i] == kLF) {
            bits |= std::uint64_t{1} << i;
        }
    }
    return bits;
#endif
}

// Whether the byte at p is the trail byte of a double-byte character of the
// text that starts at text. Any byte outside the lead range is followed by a
// character start, whether it is a single-byte character or a trail byte, so
// only the run of lead-range bytes just before p decides: an odd run ends in
// a lead byte.
MOKURE_HOT bool IsTrailByteAt(const char* text, const char* p)
{
#if defined(__SSE2__)
    if (p - text >= 16) {
        const unsigned lead = LeadBitsOf16(p - 16);  // bit 15: the byte before p
        if (lead != 0xFFFF) {
            const unsigned run = static_cast<unsigned>(__builtin_clz(~(lead << 16)));
            return (run & 1) != 0;
        }
    }
#endif
    const char* q = p;
    while (q > text && IsLeadByte(q[-1])) {
        --q;
    }
    return ((p - q) & 1) != 0;
}

// Whether the CR or LF byte at p stands alone and so becomes CR LF. afterCr
// is the place just after the last CR that started a character; the bytes
// are met in order. The bytes after a CR are read only while they are CR or
// LF, so never past the text's NUL.
MOKURE_HOT bool IsLoneLineEnd(const char* text, const char* p, const char*& afterCr)
{
    if (IsTrailByteAt(text, p)) {
        return false;
    }
    if (*p == kLF) {
        return p != afterCr;
    }
    afterCr = p + 1;
    return !(p[1] == kLF || (p[1] == kCR && p[2] == kLF));
}

template <bool kWrite>
std::size_t Normalise(const char* const text, char* const out)
{
    // Past a lone CR or LF the rest of its chunk is stored again one place
    // on, 64 bytes whatever the place, so reads and writes reach up to 128
    // bytes past the chunk's start; the bytes stored past the chunk are
    // written again with their final values by the next chunk. The last
    // bytes of the text, with less room, are copied exactly.
    constexpr std::ptrdiff_t kRoom = 2 * kChunk;

    const char* known = text;
    bool whole = false;
    const char* afterCr = nullptr;
    const char* in = text;
    // Where the byte at in goes, or how many bytes would come before it.
    std::conditional_t<kWrite, char*, std::size_t> o{};
    if constexpr (kWrite) {
        o = out;
    }
    for (;;) {
        while (known - in >= kRoom) {
            // Only a hint, which reads nothing even past the text's end; the
            // address is made as a number, not as a pointer past the text.
            __builtin_prefetch(reinterpret_cast<const void*>(
                reinterpret_cast<std::uintptr_t>(in) + kPrefetchAhead));
            if constexpr (kWrite) {
                std::memcpy(o, in, kChunk);
            }
            for (std::uint64_t ends = LineEndBits(in); ends != 0; ends &= ends - 1) {
                const std::size_t k = static_cast<std::size_t>(__builtin_ctzll(ends));
                if (!IsLoneLineEnd(text, in + k, afterCr)) {
                    continue;
                }
                if constexpr (kWrite) {
                    std::memcpy(o + k + 2, in + k + 1, kChunk);
                    o[k] = kCR;
                    o[k + 1] = kLF;
                }
                ++o;
            }
            in += kChunk;
            o += kChunk;
        }
        if (whole) {
            break;
        }
        whole = KnowMore(known);
    }

    while (in < known) {
        // Padded with NULs, which are not line ends.
        char padded[kChunk] = {};
        const std::size_t length =
            static_cast<std::size_t>(known - in) < kChunk ? static_cast<std::size_t>(known - in)
                                                           : kChunk;
        std::memcpy(padded, in, length);
        std::size_t from = 0;  // first byte of the chunk not yet written
        for (std::uint64_t ends = LineEndBits(padded); ends != 0; ends &= ends - 1) {
            const std::size_t k = static_cast<std::size_t>(__builtin_ctzll(ends));
            if (!IsLoneLineEnd(text, in + k, afterCr)) {
                continue;
            }
            if constexpr (kWrite) {
                std::memcpy(o, in + from, k - from);
                o[k - from] = kCR;
                o[k - from + 1] = kLF;
            }
            o += k - from + 2;
            from = k + 1;
        }
        if constexpr (kWrite) {
            std::memcpy(o, in + from, length - from);
        }
        o += length - from;
        in += length;
    }
    if constexpr (kWrite) {
        *o = '\0';
        return static_cast<std::size_t>(o - out);
    } else {
        return o;
    }
}

}  // namespace

bool FirstLineEndNeedsQuestion(const char* text)
{
    for (const char* p = text; *p != '\0'; p = NextChar932(p)) {
        if (*p == kLF) {
            return true;
        }
        if (*p == kCR) {
            const bool kept = p[1] == kLF || (p[1] == kCR && p[2] == kLF);
            return !kept;
        }
    }
    return false;
}

std::size_t NormalisedLength(const char* text)
{
    return Normalise<false>(text, nullptr);
}

std::size_t NormaliseLineEndsInto(const char* text, char* out)
{
    return Normalise<true>(text, out);
}
