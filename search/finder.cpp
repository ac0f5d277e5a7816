#include "search/finder.h"

#include <array>
#include <cstring>
#if defined(__x86_64__)
#include <emmintrin.h>
#include <immintrin.h>
#endif

#include "lib/text.h"

namespace vesk {

namespace {

// A rough rank of how often each byte occurs in source text; lower is rarer.
std::array<unsigned char, 256> makeFrequency() {
    std::array<unsigned char, 256> f{};
    for (int i = 0; i < 256; ++i)
        f[i] = i >= 128 ? 5 : 40;
    const char* common = " etaoinsrlcdhu";
    for (int i = 0; common[i]; ++i)
        f[static_cast<unsigned char>(common[i])] = static_cast<unsigned char>(250 - i * 3);
    f['_'] = 215; // identifiers in source text are full of it
    const char* middling = "mpfgbywv()=;,.*\n\t/-\"0";
    for (int i = 0; middling[i]; ++i)
        f[static_cast<unsigned char>(middling[i])] = static_cast<unsigned char>(180 - i * 3);
    for (int c = 'A'; c <= 'Z'; ++c)
        f[c] = 90;
    const char* upperCommon = "ESTRINAOLCDP";
    for (int i = 0; upperCommon[i]; ++i)
        f[static_cast<unsigned char>(upperCommon[i])] = static_cast<unsigned char>(120 - i * 2);
    for (int c = '1'; c <= '9'; ++c)
        f[c] = 100;
    const char* rare = "kxjqz";
    for (int i = 0; rare[i]; ++i)
        f[static_cast<unsigned char>(rare[i])] = static_cast<unsigned char>(70 - i * 5);
    const char* rareUpper = "KXJQZ";
    for (int i = 0; rareUpper[i]; ++i)
        f[static_cast<unsigned char>(rareUpper[i])] = static_cast<unsigned char>(40 - i * 3);
    f['\r'] = 120;
    return f;
}

const std::array<unsigned char, 256> kFrequency = makeFrequency();
constexpr unsigned char kRareAlone = 70;
// Longer patterns are verified by the prefix automaton: checking each candidate from its start
// would cost up to the pattern's length per text byte in a text that repeats its prefix.
constexpr std::size_t kLongPattern = 64;

unsigned char otherCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    return c;
}

} // namespace

const char* findEitherByte(const char* from, const char* to, unsigned char a, unsigned char b) {
    if (a == b)
        return from < to ? static_cast<const char*>(
                               std::memchr(from, a, static_cast<std::size_t>(to - from)))
                         : nullptr;
    const char* p = from;
#if defined(__x86_64__)
    const __m128i va = _mm_set1_epi8(static_cast<char>(a));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    for (; p + 64 <= to; p += 64) {
        const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        const __m128i x3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
        const __m128i m0 = _mm_or_si128(_mm_cmpeq_epi8(x0, va), _mm_cmpeq_epi8(x0, vb));
        const __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(x1, va), _mm_cmpeq_epi8(x1, vb));
        const __m128i m2 = _mm_or_si128(_mm_cmpeq_epi8(x2, va), _mm_cmpeq_epi8(x2, vb));
        const __m128i m3 = _mm_or_si128(_mm_cmpeq_epi8(x3, va), _mm_cmpeq_epi8(x3, vb));
        const __m128i any = _mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3));
        if (_mm_movemask_epi8(any) == 0) continue;
        const std::uint64_t bits =
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m0))) |
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m1))) << 16 |
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m2))) << 32 |
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m3))) << 48;
        return p + __builtin_ctzll(bits);
    }
#endif
    for (; p < to; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == a || c == b) return p;
    }
    return nullptr;
}

Finder::Finder(std::string_view pattern, bool caseInsensitive)
    : pattern_(caseInsensitive ? upperCase(pattern) : std::string(pattern)),
      caseInsensitive_(caseInsensitive) {
    unsigned best = ~0u;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
        const auto c = static_cast<unsigned char>(pattern_[i]);
        const unsigned char o = caseInsensitive_ ? otherCase(c) : c;
        const unsigned cost = kFrequency[c] + (o != c ? kFrequency[o] : 0u);
        if (cost < best) {
            best = cost;
            rareIndex_ = i;
            rare1_ = c;
            rare2_ = o;
        }
    }
    unsigned second = ~0u;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
        const auto c = static_cast<unsigned char>(pattern_[i]);
        const unsigned char o = caseInsensitive_ ? otherCase(c) : c;
        const unsigned cost = kFrequency[c] + (o != c ? kFrequency[o] : 0u);
        if (i != rareIndex_ && cost < second) {
            second = cost;
            pairIndex_ = i;
            pair1_ = c;
            pair2_ = o;
            usePair_ = true;
        }
    }
    if (pattern_.size() > kLongPattern) {
        border_.assign(pattern_.size(), 0);
        std::uint32_t k = 0;
        for (std::size_t i = 1; i < pattern_.size(); ++i) {
            while (k > 0 && pattern_[i] != pattern_[k])
                k = border_[k - 1];
            if (pattern_[i] == pattern_[k]) ++k;
            border_[i] = k;
        }
    }
}

// Knuth-Morris-Pratt over the text, jumping with the rare byte's scan whenever no prefix is
// pending: every text byte is taken once, and the automaton falls back at most as far as it rose.
const char* Finder::findLong(const char* from, const char* lastStart, const char* textEnd) const {
    const std::size_t n = pattern_.size();
    const char* p = from;
    std::size_t q = 0; // pattern bytes matched just before p
    while (p < textEnd) {
        if (q == 0) {
            const char* hit =
                findEitherByte(p + rareIndex_, lastStart + rareIndex_ + 1, rare1_, rare2_);
            if (!hit) return nullptr;
            p = hit - rareIndex_;
        }
        const auto c =
            static_cast<char>(caseInsensitive_ ? kUpper[static_cast<unsigned char>(*p)] : *p);
        while (q > 0 && pattern_[q] != c)
            q = border_[q - 1];
        if (pattern_[q] == c) ++q;
        ++p;
        if (q == n) return p - n;
        if (p - q > lastStart) return nullptr;
    }
    return nullptr;
}

#if defined(__x86_64__)
namespace {
const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
} // namespace

// The same test as findTwo's, 32 starts at a time, on processors that have AVX2.
__attribute__((target("avx2"))) const char* Finder::findTwoWide(const char* from,
                                                                const char* lastStart) const {
    const __m256i r1 = _mm256_set1_epi8(static_cast<char>(rare1_)),
                  r2 = _mm256_set1_epi8(static_cast<char>(rare2_));
    const __m256i p1 = _mm256_set1_epi8(static_cast<char>(pair1_)),
                  p2 = _mm256_set1_epi8(static_cast<char>(pair2_));
    const char* s = from;
    for (; s + 31 <= lastStart; s += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + rareIndex_));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + pairIndex_));
        const __m256i ma = _mm256_or_si256(_mm256_cmpeq_epi8(a, r1), _mm256_cmpeq_epi8(a, r2));
        const __m256i mb = _mm256_or_si256(_mm256_cmpeq_epi8(b, p1), _mm256_cmpeq_epi8(b, p2));
        auto bits = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(ma, mb)));
        while (bits) {
            const char* start = s + __builtin_ctz(bits);
            if (matchesAt(start)) return start;
            bits &= bits - 1;
        }
    }
    return findTwoNarrow(s, lastStart);
}

#endif

const char* Finder::findTwo(const char* from, const char* lastStart) const {
#if defined(__x86_64__)
    if (kHaveAvx2) return findTwoWide(from, lastStart);
#endif
    return findTwoNarrow(from, lastStart);
}

const char* Finder::findTwoNarrow(const char* from, const char* lastStart) const {
    const char* s = from;
#if defined(__x86_64__)
    // Tests 16 candidate starts at once: both chosen bytes must sit at their offsets.
    const __m128i r1 = _mm_set1_epi8(static_cast<char>(rare1_)),
                  r2 = _mm_set1_epi8(static_cast<char>(rare2_));
    const __m128i p1 = _mm_set1_epi8(static_cast<char>(pair1_)),
                  p2 = _mm_set1_epi8(static_cast<char>(pair2_));
    for (; s + 15 <= lastStart; s += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + rareIndex_));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + pairIndex_));
        const __m128i ma = _mm_or_si128(_mm_cmpeq_epi8(a, r1), _mm_cmpeq_epi8(a, r2));
        const __m128i mb = _mm_or_si128(_mm_cmpeq_epi8(b, p1), _mm_cmpeq_epi8(b, p2));
        auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ma, mb)));
        while (bits) {
            const char* start = s + __builtin_ctz(bits);
            if (matchesAt(start)) return start;
            bits &= bits - 1;
        }
    }
#endif
    for (; s <= lastStart; ++s)
        if (matchesAt(s)) return s;
    return nullptr;
}

bool Finder::matchesAt(const char* p) const {
    if (!caseInsensitive_) return std::memcmp(p, pattern_.data(), pattern_.size()) == 0;
    for (std::size_t i = 0; i < pattern_.size(); ++i)
        if (kUpper[static_cast<unsigned char>(p[i])] != static_cast<unsigned char>(pattern_[i]))
            return false;
    return true;
}

const char* Finder::find(const char* from, const char* to, const char* textEnd) const {
    const std::size_t n = pattern_.size();
    if (n == 0 || from >= to || textEnd - from < static_cast<std::ptrdiff_t>(n)) return nullptr;
    // Candidate starts lie in [from, lastStart].
    const char* lastStart = textEnd - n;
    if (to - 1 < lastStart) lastStart = to - 1;
    if (!border_.empty()) return findLong(from, lastStart, textEnd);
    // A byte rare enough is best found alone by the C library's memchr; others in pairs.
    if (usePair_ && !(rare1_ == rare2_ && kFrequency[rare1_] <= kRareAlone))
        return findTwo(from, lastStart);
    const char* scan = from + rareIndex_;
    const char* scanEnd = lastStart + rareIndex_ + 1;
    while (scan < scanEnd) {
        const char* hit = findEitherByte(scan, scanEnd, rare1_, rare2_);
        if (!hit) return nullptr;
        const char* start = hit - rareIndex_;
        if (matchesAt(start)) return start;
        scan = hit + 1;
    }
    return nullptr;
}

} // namespace vesk
