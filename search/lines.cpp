#include "search/lines.h"

#include <cstring>
#if defined(__x86_64__)
#include <emmintrin.h>
#include <immintrin.h>
#endif

#include "search/finder.h"

namespace vesk {

std::string_view textBeforeNul(std::string_view data) {
    const void* nul = std::memchr(data.data(), 0, data.size());
    return nul ? data.substr(0,
                             static_cast<std::size_t>(static_cast<const char*>(nul) - data.data()))
               : data;
}

void splitLines(std::string_view text, std::vector<std::string_view>& lines) {
    lines.clear();
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* e = lineEnd(p, end);
        lines.emplace_back(p, static_cast<std::size_t>(e - p));
        if (e == end) break;
        p = afterBreak(e, end);
    }
}

namespace {

#if defined(__x86_64__)
// Sums the 0xFF/0x00 lanes counted into `acc` (each lane holds at most 255).
inline std::uint64_t drain(__m128i& acc) {
    const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
    acc = _mm_setzero_si128();
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}
#endif

// LF count of a range; false (count unusable) as soon as a CR shows up, which needs the pair rule.
bool countLineFeedsNarrow(const char* p, const char* end, std::uint64_t& count) {
#if defined(__x86_64__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i acc = _mm_setzero_si128();
    unsigned lanesUsed = 0;
    for (; p + 16 <= end; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr))) return false;
        acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(x, lf));
        if (++lanesUsed == 255) {
            count += drain(acc);
            lanesUsed = 0;
        }
    }
    count += drain(acc);
#endif
    for (; p < end; ++p) {
        if (*p == '\r') return false;
        count += *p == '\n';
    }
    return true;
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) std::uint64_t sumLanes(const __m256i& acc) {
    const __m256i sums = _mm256_sad_epu8(acc, _mm256_setzero_si256());
    return static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 0)) +
           static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 1)) +
           static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 2)) +
           static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 3));
}

// The same, 32 bytes at a time, on processors that have AVX2.
__attribute__((target("avx2"))) bool countLineFeedsWide(const char* p, const char* end,
                                                        std::uint64_t& count) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    __m256i acc = _mm256_setzero_si256();
    unsigned lanesUsed = 0;
    for (; p + 32 <= end; p += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, cr))) return false;
        acc = _mm256_sub_epi8(acc, _mm256_cmpeq_epi8(x, lf));
        if (++lanesUsed == 255) {
            count += sumLanes(acc);
            acc = _mm256_setzero_si256();
            lanesUsed = 0;
        }
    }
    count += sumLanes(acc);
    return countLineFeedsNarrow(p, end, count);
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
#endif

// Breaks in a range holding CR bytes: LF + CR - (CR followed by LF), pairs inside the range.
std::uint64_t countMixedBreaks(const char* p, const char* end) {
    std::uint64_t breaks = 0, pairs = 0;
#if defined(__x86_64__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i accBreaks = _mm_setzero_si128(), accPairs = _mm_setzero_si128();
    unsigned lanesUsed = 0;
    for (; p + 17 <= end; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const __m128i isCR = _mm_cmpeq_epi8(x, cr);
        accBreaks = _mm_sub_epi8(accBreaks, _mm_or_si128(_mm_cmpeq_epi8(x, lf), isCR));
        accPairs = _mm_sub_epi8(accPairs, _mm_and_si128(isCR, _mm_cmpeq_epi8(next, lf)));
        if (++lanesUsed == 255) {
            breaks += drain(accBreaks);
            pairs += drain(accPairs);
            lanesUsed = 0;
        }
    }
    breaks += drain(accBreaks);
    pairs += drain(accPairs);
#endif
    for (; p < end; ++p) {
        if (*p == '\n' || *p == '\r') ++breaks;
        if (*p == '\r' && p + 1 < end && p[1] == '\n') ++pairs;
    }
    return breaks - pairs;
}

} // namespace

std::uint64_t countBreaks(const char* p, std::size_t n, bool& prevCR) {
    if (n == 0) return 0;
    const char* end = p + n;
    // An LF right after a CR of the previous range completes that break.
    std::uint64_t count = prevCR && *p == '\n' ? static_cast<std::uint64_t>(-1) : 0;
    std::uint64_t lineFeeds = 0;
#if defined(__x86_64__)
    const bool noCR =
        kHaveAvx2 ? countLineFeedsWide(p, end, lineFeeds) : countLineFeedsNarrow(p, end, lineFeeds);
#else
    const bool noCR = countLineFeedsNarrow(p, end, lineFeeds);
#endif
    count += noCR ? lineFeeds : countMixedBreaks(p, end);
    prevCR = end[-1] == '\r';
    return count;
}

std::uint64_t countLines(std::string_view text) {
    if (text.empty()) return 0;
    bool prevCR = false;
    const std::uint64_t breaks = countBreaks(text.data(), text.size(), prevCR);
    return breaks + (isBreakByte(text.back()) ? 0 : 1);
}

const char* lineStart(const char* begin, const char* p) {
    while (p > begin && !isBreakByte(p[-1])) {
        // Walk back in blocks: memrchr for LF, then check for a CR in between.
        const void* lfHit = memrchr(begin, '\n', static_cast<std::size_t>(p - begin));
        const char* lo = lfHit ? static_cast<const char*>(lfHit) + 1 : begin;
        const void* crHit = memrchr(lo, '\r', static_cast<std::size_t>(p - lo));
        return crHit ? static_cast<const char*>(crHit) + 1 : lo;
    }
    return p;
}

const char* lineEnd(const char* p, const char* end) {
    const char* e = findEitherByte(p, end, '\n', '\r');
    return e ? e : end;
}

const char* afterBreak(const char* breakByte, const char* end) {
    if (*breakByte == '\r' && breakByte + 1 < end && breakByte[1] == '\n') return breakByte + 2;
    return breakByte + 1;
}

} // namespace vesk
