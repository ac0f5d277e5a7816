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
// The most the multi-pattern engine scans at once (its offsets are 32-bit); longer lines are rare
// enough to be searched with each finder in turn.
constexpr std::size_t kMaxTogether = std::size_t{1} << 31;
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
        const AllWordsMatch m =
            matchAllWords(line, query_.finders, query_.finders.size(), query_.wholeWordsOnly);
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
    if (query_.mode == LineQuery::Mode::AllWords)
        return query_.finders[prefilter_].find(from, to, end);
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

void LineSearcher::startScans(const char* from) {
    nextHit_.assign(query_.finders.size(), nullptr);
    searchedTo_.assign(query_.finders.size(), from);
}

bool LineSearcher::searchSegment(std::string_view segment, LineVisitor& visitor) {
    if (timedOut_) return false;
    if (segment.empty()) return true;
    const char* begin = segment.data();
    const char* end = begin + segment.size();
    counted_ = begin;
    sawText_ = true;
    lastByte_ = segment.back();
    if (query_.mode == LineQuery::Mode::Multiple && !useMultiFinder()) startScans(begin);
    const bool ok = useMultiFinder() ? searchTogether(begin, end, visitor)
                    : fastPath()     ? searchFast(begin, end, visitor)
                                     : searchEachLine(begin, end, visitor);
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
        const char* windowEnd =
            end - cur > static_cast<std::ptrdiff_t>(kWindow) ? cur + kWindow : end;
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

bool LineSearcher::useMultiFinder() const {
    // A line of the all-words find needs every word, so when only whole matches count the
    // rarest word alone picks the candidates more cheaply.
    return query_.multiFinder && !query_.invert &&
           (query_.mode == LineQuery::Mode::Multiple || query_.countPartialHits);
}

bool LineSearcher::searchTogether(const char* begin, const char* end, LineVisitor& visitor) {
    const char* cur = begin;
    while (cur < end) {
        if (deadlinePassed()) {
            stopAt(cur);
            return false;
        }
        // Windows of whole lines, so no occurrence straddles two of them.
        const char* windowEnd = end;
        if (end - cur > static_cast<std::ptrdiff_t>(kWindow)) {
            const char* le = lineEnd(cur + kWindow, end);
            windowEnd = le < end ? afterBreak(le, end) : end;
        }
        if (static_cast<std::size_t>(windowEnd - cur) >= kMaxTogether) {
            countTo(cur);
            startScans(cur);
            const bool ok = query_.mode == LineQuery::Mode::Multiple
                                ? searchFast(cur, windowEnd, visitor)
                                : searchEachLine(cur, windowEnd, visitor);
            if (!ok) return false;
            countTo(windowEnd);
        } else {
            hits_.clear();
            query_.multiFinder->scan(cur, static_cast<std::size_t>(windowEnd - cur), hits_);
            if (!judgeHits(cur, windowEnd, visitor)) return false;
        }
        cur = windowEnd;
    }
    return true;
}

// Judges, in order, each line of the window that holds a piece's occurrence, with only the strings
// whose pieces are in it: the others have no position in the line.
bool LineSearcher::judgeHits(const char* window, const char* windowEnd, LineVisitor& visitor) {
    const auto byStart = [](const MultiFinder::Hit& a, const MultiFinder::Hit& b) {
        return a.start < b.start;
    };
    if (!std::is_sorted(hits_.begin(), hits_.end(), byStart))
        std::sort(hits_.begin(), hits_.end(), byStart);
    std::size_t i = 0;
    while (i < hits_.size()) {
        const MultiFinder::Hit first = hits_[i];
        const char* occurrence = window + first.start;
        const char* ls = lineStart(window, occurrence);
        const char* le = lineEnd(occurrence, windowEnd);
        if (++candidates_ % kCandidatesPerClockCheck == 0 && deadlinePassed()) {
            stopAt(ls);
            return false;
        }
        lineIds_.clear();
        // Pieces hold no line break, so one that starts in the line lies within it.
        do {
            lineIds_.push_back(hits_[i++].id);
        } while (i < hits_.size() && window + hits_[i].start < le);
        bool anyWord = false;
        const std::string_view line(ls, static_cast<std::size_t>(le - ls));
        const std::size_t pos = judgeListed(line, anyWord);
        if (pos || anyWord) ++hitLines_;
        if (pos) {
            countTo(ls);
            visitor.onMatch(breaks_ + 1, line, pos);
        }
    }
    return true;
}

std::size_t LineSearcher::judgeListed(std::string_view line, bool& anyWord) {
    std::sort(lineIds_.begin(), lineIds_.end());
    lineIds_.erase(std::unique(lineIds_.begin(), lineIds_.end()), lineIds_.end());
    anyWord = false;
    if (query_.mode == LineQuery::Mode::Multiple) {
        // The strings are tried in list order; the first with a position wins.
        for (const std::uint32_t id : lineIds_)
            if (const std::size_t p = findPos(line, query_.finders[id], query_.wholeWordsOnly))
                return p;
        return 0;
    }
    std::size_t found = 0, smallest = 0;
    for (const std::uint32_t id : lineIds_) {
        const std::size_t p = findPos(line, query_.finders[id], query_.wholeWordsOnly);
        if (p == 0) continue;
        ++found;
        if (smallest == 0 || p < smallest) smallest = p;
    }
    anyWord = found > 0;
    return found == query_.finders.size() ? smallest : 0;
}

void LineSearcher::finish() {
    trailing_ = sawText_ && !isBreakByte(lastByte_) ? 1 : 0;
}

} // namespace vesk
