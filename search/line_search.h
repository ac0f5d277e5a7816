#pragma once
// Finds the matching lines of one file's text. Candidates are found in the whole buffer with the
// finders; line boundaries and numbers are worked out only around them, and the lines between
// are counted with a vectorised count. Several strings (or the all-words find's words when lines
// with only some of them count) are found together in one pass by a MultiFinder. Every candidate
// line is then judged by the per-line rules, so the rows are exactly those a line-by-line search
// gives.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "lib/clock.h"
#include "search/finder.h"
#include "search/multi_finder.h"

namespace vesk {

struct LineQuery {
    enum class Mode { Single, Multiple, AllWords };
    Mode mode = Mode::Single;
    // Single: one finder; Multiple: the string slots in order (empty ones are skipped);
    // AllWords: one per word.
    std::vector<Finder> finders;
    bool wholeWordsOnly = false;
    bool invert = false;           // list the lines that do not match
    bool countPartialHits = false; // all-words: count lines where at least one word was found
    // Built by prepare() once the finders are in place; shared read-only by every searcher.
    std::shared_ptr<const MultiFinder> multiFinder;

    void prepare() { multiFinder = mode == Mode::Single ? nullptr : MultiFinder::build(finders); }
};

class LineVisitor {
public:
    virtual ~LineVisitor() = default;
    virtual void onMatch(std::uint64_t lineNumber, std::string_view line, std::size_t position) = 0;
};

class LineSearcher {
public:
    // The searcher stops examining lines once the clock is past `deadline`.
    LineSearcher(const LineQuery& query, const Clock& clock, DateValue deadline);

    // Searches one segment of whole lines (see TextFileReader). False once the deadline struck.
    bool searchSegment(std::string_view segment, LineVisitor& visitor);
    // Call after the last segment: counts a final line that has no break.
    void finish();

    std::uint64_t linesExamined() const {
        return timedOut_ ? examinedAtStop_ : breaks_ + trailing_;
    }
    bool timedOut() const { return timedOut_; }
    // Lines that hit: matched lines, plus in all-words mode lines with only some words.
    std::uint64_t hitLines() const { return hitLines_; }

private:
    std::size_t judge(std::string_view line, bool& anyWord) const;
    void startScans(const char* from);
    const char* nextCandidate(const char* from, const char* to, const char* end);
    bool fastPath() const { return !query_.invert && !query_.countPartialHits; }
    bool searchFast(const char* begin, const char* end, LineVisitor& visitor);
    bool searchEachLine(const char* begin, const char* end, LineVisitor& visitor);
    bool useMultiFinder() const;
    bool searchTogether(const char* begin, const char* end, LineVisitor& visitor);
    bool judgeHits(const char* window, const char* windowEnd, LineVisitor& visitor);
    std::size_t judgeListed(std::string_view line, bool& anyWord);
    void countTo(const char* p);
    bool deadlinePassed() const { return clock_.now() > deadline_; }
    void stopAt(const char* lineBegin);

    const LineQuery& query_;
    const Clock& clock_;
    DateValue deadline_;
    std::size_t prefilter_ = 0; // all-words: the word whose finder scans the buffer

    // Line counting across segments.
    std::uint64_t breaks_ = 0;
    bool prevCR_ = false;
    const char* counted_ = nullptr;
    std::uint64_t trailing_ = 0; // 1 when the text ends without a break
    bool sawText_ = false;
    char lastByte_ = 0;

    std::vector<const char*> nextHit_; // multiple strings: each finder's next occurrence
    std::vector<const char*> searchedTo_;

    std::vector<MultiFinder::Hit> hits_;
    std::vector<std::uint32_t> lineIds_; // the strings found in the line being judged

    bool timedOut_ = false;
    std::uint64_t examinedAtStop_ = 0;
    std::uint64_t hitLines_ = 0;
    unsigned candidates_ = 0;
};

} // namespace vesk
