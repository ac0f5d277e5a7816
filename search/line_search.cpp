#include "search/line_search.h"

#include <algorithm>

#include "search/find_pos.h"
#include "search/lines.h"

namespace vesk {

namespace {
// How much of a buffer is scanned between two looks at the clock.
constexpr std::size_t kWindow = 1 << 20;
// How many candidate lines are judged between two looks at the clock.
constexpr unsigned kCandidatesPerClockCheck = 16;
// How many lines the line-by-line path examines between two looks at the clock.
constexpr unsigned kLinesPerClockCheck = 256;
} // namespace

LineSearcher::LineSearcher(const LineQuery& query, const Clock& clock, DateValue deadline)
    : query_(query), clock_(clock), deadline_(deadline) {
    if (query_.mode == LineQuery::Mode::AllWords) {
        // The longest word is the least likely to occur: let it pick the candidate lines.
        for (std::size_t i = 1; i < query_.finders.size(); ++i)
            if (query_.finders[i].size() > query_.finders[prefilter_].size()) prefilter_ = i;
    }
}

std::size_t LineSearcher::judge(std::string_view line, bool& anyWord) const {
    anyWord = false;
    switch (query_.mode) {
    case LineQuery::Mode::Single:
        return query_.finders.empty() ? 0 : findPos(line, query_.finders[0], query_.wholeWordsOnly);
    case LineQuery::Mode::Multiple:
        for (const Finder& f : query_.finders) {
            if (f.empty()) continue;
            if (const std::size_t p = findPos(line, f, query_.wholeWordsOnly)) return p;
        }
        return 0;
    case LineQuery::Mode::AllWords: {
        const AllWordsMatch m = matchAllWords(line, query_.finders, query_.finders.size(), query_.wholeWordsOnly);
        anyWord = m.wordsFound > 0;
        return m.position;
    }
    }
    return 0;
}

void LineSearcher::countTo(const char* p) {
    if (p > counted_) {
        breaks_ += countBreaks(counted_, static_cast<std::size_t>(p - counted_), prevCR_);
        counted_ = p;
    }
}

void LineSearcher::stopAt(const char* lineBegin) {
    countTo(lineBegin);
    timedOut_ = true;
    examinedAtStop_ = breaks_;
}

const char* LineSearcher::nextCandidate(const char* from, const char* to, const char* end) {
    if (query_.mode == LineQuery::Mode::Single)
        return query_.finders.empty() ? nullptr : query_.finders[0].find(from, to, end);
    if (query_.mode == LineQuery::Mode::AllWords) return query_.finders[prefilter_].find(from, to, end);
    // Multiple strings: the earliest next occurrence of any slot, each remembered between calls.
    const char* best = nullptr;
    for (std::size_t i = 0; i < query_.finders.size(); ++i) {
        const Finder& f = query_.finders[i];
        if (f.empty()) continue;
        const char*& hit = nextHit_[i];
        const char*& done = searchedTo_[i];
        if (hit && hit < from) hit = nullptr, done = std::min(done, from);
        if (!hit && done < to) {
            hit = f.find(std::max(from, done), to, end);
            done = to;
        }
        if (hit && hit < to && (!best || hit < best)) best = hit;
    }
    return best;
}

bool LineSearcher::searchSegment(std::string_view segment, LineVisitor& visitor) {
    if (timedOut_) return false;
    if (segment.empty()) return true;
    const char* begin = segment.data();
    const char* end = begin + segment.size();
    counted_ = begin;
    sawText_ = true;
    lastByte_ = segment.back();
    if (query_.mode == LineQuery::Mode::Multiple) {
        nextHit_.assign(query_.finders.size(), nullptr);
        searchedTo_.assign(query_.finders.size(), begin);
    }
    const bool ok = fastPath() ? searchFast(begin, end, visitor) : searchEachLine(begin, end, visitor);
    if (ok) countTo(end);
    return ok;
}

bool LineSearcher::searchFast(const char* begin, const char* end, LineVisitor& visitor) {
    const char* cur = begin;
    const char* clockAt = begin; // where scanning reads the clock next, candidates or not
    while (cur < end) {
        if (cur >= clockAt) {
            if (deadlinePassed()) {
                stopAt(lineStart(begin, cur));
                return false;
            }
            clockAt = cur + std::min<std::ptrdiff_t>(end - cur, kWindow);
        }
        const char* windowEnd = end - cur > static_cast<std::ptrdiff_t>(kWindow) ? cur + kWindow : end;
        const char* hit = nextCandidate(cur, windowEnd, end);
        if (!hit) {
            cur = windowEnd;
            continue;
        }
        const char* ls = lineStart(begin, hit);
        const char* le = lineEnd(hit, end);
        // A clock reading per candidate would cost more than judging the line.
        if (++candidates_ % kCandidatesPerClockCheck == 0 && deadlinePassed()) {
            stopAt(ls);
            return false;
        }
        bool anyWord = false;
        const std::string_view line(ls, static_cast<std::size_t>(le - ls));
        if (const std::size_t pos = judge(line, anyWord)) {
            countTo(ls);
            ++hitLines_;
            visitor.onMatch(breaks_ + 1, line, pos);
        }
        cur = le < end ? afterBreak(le, end) : end;
    }
    return true;
}

bool LineSearcher::searchEachLine(const char* begin, const char* end, LineVisitor& visitor) {
    const char* p = begin;
    unsigned sinceCheck = 0;
    std::uint64_t lineNumber = breaks_ + 1;
    while (p < end) {
        if (++sinceCheck >= kLinesPerClockCheck || p == begin) {
            sinceCheck = 0;
            if (deadlinePassed()) {
                stopAt(p);
                return false;
            }
        }
        const char* le = lineEnd(p, end);
        const std::string_view line(p, static_cast<std::size_t>(le - p));
        bool anyWord = false;
        const std::size_t pos = judge(line, anyWord);
        const bool match = query_.invert ? pos == 0 : pos > 0;
        if (match || anyWord) ++hitLines_;
        if (match) visitor.onMatch(lineNumber, line, query_.invert ? 0 : pos);
        ++lineNumber;
        p = le < end ? afterBreak(le, end) : end;
    }
    return true;
}

void LineSearcher::finish() {
    trailing_ = sawText_ && !isBreakByte(lastByte_) ? 1 : 0;
}

} // namespace vesk
