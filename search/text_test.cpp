#include "search/text_test.h"

#include <array>
#include <cerrno>
#include <cstring>
#if defined(__x86_64__)
#include <emmintrin.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/unique_fd.h"

namespace vesk {

namespace {
constexpr std::array<bool, 256> makeTextBytes() {
    std::array<bool, 256> t{};
    for (int i = 32; i <= 127; ++i)
        t[i] = true;
    t[9] = t[10] = t[12] = t[13] = true;
    return t;
}
constexpr std::array<bool, 256> kTextByte = makeTextBytes();

// The length of the well-formed UTF-8 sequence starting at p (lead byte 128 or above), 0 when it
// is ill-formed. When the block ends inside a sequence that is well formed so far, `cut` decides:
// the bytes held count when the file goes on, and none when the file itself ends there.
std::size_t wellFormedLength(const unsigned char* p, std::size_t avail, bool cut) {
    const unsigned char c = p[0];
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (c == 0xED)
            hi = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (k >= avail) return cut ? k : 0;
        const unsigned char b = p[k];
        if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) return 0;
    }
    return len;
}

// How many of the block's bytes of 128 and above belong to well-formed UTF-8 sequences.
std::int64_t utf8TextBytes(const unsigned char* p, std::size_t n, bool cut) {
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        std::uint64_t word = 0;
        if (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ULL) == 0)) {
            i += 8;
            continue;
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = wellFormedLength(p + i, n - i, cut);
        count += static_cast<std::int64_t>(len);
        i += len ? len : 1;
    }
    return count;
}
} // namespace

TextTestResult classifyTextBytes(const char* data, std::size_t size, bool moreFollows) {
    TextTestResult r;
    if (size == 0) return r;
    const std::size_t n = size < kTextTestBytes ? size : kTextTestBytes;
    std::int64_t text = 0;
    std::size_t i = 0;
#if defined(__x86_64__)
    // 16 bytes at a time: as signed bytes, 32..127 are exactly those above 31.
    const __m128i low = _mm_set1_epi8(31);
    __m128i acc = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i m = _mm_cmpgt_epi8(x, low);
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, _mm_set1_epi8(9)));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, _mm_set1_epi8(10)));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, _mm_set1_epi8(12)));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, _mm_set1_epi8(13)));
        acc = _mm_sub_epi8(acc, m); // at most 62 blocks: no lane overflows
    }
    const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
    text += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
#endif
    for (; i < n; ++i)
        text += kTextByte[static_cast<unsigned char>(data[i])];
    text += utf8TextBytes(reinterpret_cast<const unsigned char*>(data), n, moreFollows || size > n);
    r.textBytes = text;
    r.nonTextBytes = static_cast<std::int64_t>(n) - text;
    r.isText = !(r.nonTextBytes > 5 || r.textBytes < r.nonTextBytes);
    return r;
}

TextTestResult xcIsTextFileAndLoadable(const std::string& fileName) {
    TextTestResult r;
    UniqueFd fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        r.error = std::strerror(errno);
        return r;
    }
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) {
        r.error = std::strerror(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.error = "not a regular file";
        return r;
    }
    if (st.st_size == 0) return r;
    char buf[kTextTestBytes];
    std::size_t got = 0;
    while (got < sizeof buf) {
        const ssize_t n = ::read(fd.get(), buf + got, sizeof buf - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            r.error = std::strerror(errno);
            return r;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return classifyTextBytes(buf, got, static_cast<std::uint64_t>(st.st_size) > got);
}

} // namespace vesk
