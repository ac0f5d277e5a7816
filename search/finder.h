#pragma once
// Finds a pattern in a byte buffer without folding the buffer: it scans for the pattern's rarest
// byte (both cases of a letter when matching without case) with vectorised routines and verifies
// each candidate in place. Long patterns are verified as a prefix automaton, so a search costs at
// most a few comparisons per text byte whatever the text repeats.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

class Finder {
public:
    Finder() = default;
    Finder(std::string_view pattern, bool caseInsensitive);

    bool empty() const { return pattern_.empty(); }
    std::size_t size() const { return pattern_.size(); }
    // The pattern as compared (upper-cased when matching without case).
    const std::string& pattern() const { return pattern_; }
    bool caseInsensitive() const { return caseInsensitive_; }

    // First occurrence starting in [from, to) and ending at or before textEnd; nullptr when none.
    const char* find(const char* from, const char* to, const char* textEnd) const;
    const char* find(const char* from, const char* textEnd) const {
        return find(from, textEnd, textEnd);
    }
    // Whether the pattern occurs at p (p + size() <= text end is the caller's duty).
    bool matchesAt(const char* p) const;

private:
    std::string pattern_;
    bool caseInsensitive_ = false;
    const char* findTwo(const char* from, const char* lastStart) const;
    const char* findTwoNarrow(const char* from, const char* lastStart) const;
    const char* findTwoWide(const char* from, const char* lastStart) const;
    const char* findLong(const char* from, const char* lastStart, const char* textEnd) const;

    std::size_t rareIndex_ = 0;
    unsigned char rare1_ = 0, rare2_ = 0; // the rare byte and its other case (same when no case)
    // A second byte at another offset, tested together with the first to weed out candidates.
    std::size_t pairIndex_ = 0;
    unsigned char pair1_ = 0, pair2_ = 0;
    bool usePair_ = false;
    // Long patterns: for each prefix length, the longest proper prefix that is also its suffix.
    std::vector<std::uint32_t> border_;
};

// memchr for either of two bytes.
const char* findEitherByte(const char* from, const char* to, unsigned char a, unsigned char b);

} // namespace vesk
