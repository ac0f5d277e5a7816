#pragma once
// Finds the matching lines of one file's text when the search strings are regular expressions.
// Each line is matched on its own, so a match never spans a line break. When every match must
// contain a literal, the finder looks for it in the whole segment and only the lines around its
// occurrences go to the engine; otherwise every line does. The rows are those a line-by-line
// search with the same expressions gives.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lib/clock.h"
#include "search/line_search.h"
#include "search/regex_match.h"

namespace vesk {

// Compiles each string as an expression (an empty string gives an empty entry, which matches
// nothing). False with the message of the first invalid one; `out` is then incomplete.
bool compileExpressions(const std::vector<std::string>& strings, bool caseInsensitive,
                        std::vector<Regex>& out, std::string& error);

class RegexLineSearcher {
public:
    // The mode and flags come from `query` (its finders are not used); `expressions` are the
    // strings in the query's order (the slots, or the words of the all-words find). `matcher`
    // belongs to the calling thread. Stops once the clock is past `deadline`, or on a line where
    // an expression runs away (the engine's limits); both count as timedOut().
    RegexLineSearcher(const LineQuery& query, const std::vector<Regex>& expressions,
                      RegexMatcher& matcher, const Clock& clock, DateValue deadline);

    // Searches one segment of whole lines (see TextFileReader). False once the search stopped.
    bool searchSegment(std::string_view segment, LineVisitor& visitor);
    // Call after the last segment: counts a final line that has no break.
    void finish();

    std::uint64_t linesExamined() const {
        return timedOut_ ? examinedAtStop_ : breaks_ + trailing_;
    }
    bool timedOut() const { return timedOut_; }
    // True when the stop came from the engine's limits rather than the clock.
    bool ranAway() const { return ranAway_; }
    // Lines that hit: matched lines, plus in all-words mode lines with only some words.
    std::uint64_t hitLines() const { return hitLines_; }
    // The byte length of the match whose line onMatch is reporting (0 for lines without one).
    std::size_t matchLength() const { return matchLength_; }

private:
    LineMatch judge(std::string_view line, bool& anyWord);
    void choosePrefilter();
    const char* nextCandidate(const char* from, const char* to, const char* end);
    bool searchCandidates(const char* begin, const char* end, LineVisitor& visitor);
    bool searchEachLine(const char* begin, const char* end, LineVisitor& visitor);
    void countTo(const char* p);
    bool deadlinePassed() const { return clock_.now() > deadline_; }
    void stopAt(const char* lineBegin);

    const LineQuery& query_;
    const std::vector<Regex>& expressions_;
    RegexMatcher& matcher_;
    const Clock& clock_;
    DateValue deadline_;
    // The finders whose occurrences make candidate lines; empty: every line is a candidate.
    std::vector<const Finder*> prefilter_;

    std::uint64_t breaks_ = 0;
    bool prevCR_ = false;
    const char* counted_ = nullptr;
    std::uint64_t trailing_ = 0;
    bool sawText_ = false;
    char lastByte_ = 0;

    std::vector<const char*> nextHit_; // each prefilter finder's next occurrence
    std::vector<const char*> searchedTo_;

    bool timedOut_ = false;
    bool ranAway_ = false;
    std::uint64_t examinedAtStop_ = 0;
    std::uint64_t hitLines_ = 0;
    unsigned sinceClock_ = 0;
    std::size_t matchLength_ = 0;
};

} // namespace vesk
