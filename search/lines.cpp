#include "search/lines.h"

#include <cstring>
#include <emmintrin.h>

#include "search/finder.h"

namespace vesk {

std::string_view textBeforeNul(std::string_view data) {
    const void* nul = std::memchr(data.data(), 0, data.size());
    return nul ? data.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - data.data())) : data;
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

std::uint64_t countBreaks(const char* p, std::size_t n, bool& prevCR) {
    std::uint64_t count = 0;
    const char* end = p + n;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    unsigned carry = prevCR ? 1u : 0u;
    for (; p + 16 <= end; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto lfMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)));
        const auto crMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr)));
        if ((lfMask | crMask) == 0) {
            carry = 0;
            continue;
        }
        // An LF right after a CR completes that CR's break.
        const unsigned pairs = ((crMask << 1) | carry) & lfMask;
        count += static_cast<unsigned>(__builtin_popcount(lfMask)) +
                 static_cast<unsigned>(__builtin_popcount(crMask)) -
                 static_cast<unsigned>(__builtin_popcount(pairs));
        carry = (crMask >> 15) & 1u;
    }
    for (; p < end; ++p) {
        if (*p == '\n') {
            if (!carry) ++count;
            carry = 0;
        } else if (*p == '\r') {
            ++count;
            carry = 1;
        } else {
            carry = 0;
        }
    }
    prevCR = carry != 0;
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
