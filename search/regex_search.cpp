#include "search/regex_search.h"

#include <algorithm>

#include "search/lines.h"

namespace vesk {

namespace {
// How much of a buffer is scanned for candidates between two looks at the clock.
constexpr std::size_t kWindow = 1 << 20;
// How many lines go to the engine between two looks at the clock: one line can cost far more
// than a literal comparison, so the clock is read more often than for literal strings.
constexpr unsigned kLinesPerClockCheck = 16;
} // namespace

bool compileExpressions(const std::vector<std::string>& strings, bool caseInsensitive,
                        std::vector<Regex>& out, std::string& error) {
    out.clear();
    out.reserve(strings.size());
    for (const std::string& s : strings) {
        out.emplace_back();
        if (!s.empty() && !out.back().compile(s, caseInsensitive, error)) return false;
    }
    return true;
}

RegexLineSearcher::RegexLineSearcher(const LineQuery& query, const std::vector<Regex>& expressions,
                                     RegexMatcher& matcher, const Clock& clock, DateValue deadline)
    : query_(query), expressions_(expressions), matcher_(matcher), clock_(clock),
      deadline_(deadline) {
    matcher_.clearRanAway();
    if (!query_.invert && !query_.countPartialHits) choosePrefilter();
}

void RegexLineSearcher::choosePrefilter() {
    if (query_.mode == LineQuery::Mode::Multiple) {
        // A line may hit through any expression: each one needs its literal.
        for (const Regex& re : expressions_) {
            if (re.empty()) continue;
            if (re.requiredLiteral().empty()) {
                prefilter_.clear();
                return;
            }
            prefilter_.push_back(&re.requiredLiteral());
        }
        return;
    }
    // One expression, or all words (every word must match): the longest literal of any of them.
    const Finder* best = nullptr;
    for (const Regex& re : expressions_) {
        if (query_.mode == LineQuery::Mode::Single && &re != &expressions_.front()) break;
        if (!re.empty() && (!best || re.requiredLiteral().size() > best->size()))
            best = &re.requiredLiteral();
    }
    if (best && !best->empty()) prefilter_.push_back(best);
}

LineMatch RegexLineSearcher::judge(std::string_view line, bool& anyWord) {
    anyWord = false;
    const bool whole = query_.wholeWordsOnly;
    switch (query_.mode) {
    case LineQuery::Mode::Single:
        return expressions_.empty() ? LineMatch{} : matcher_.find(line, expressions_[0], whole);
    case LineQuery::Mode::Multiple:
        for (const Regex& re : expressions_) {
            if (re.empty()) continue;
            if (const LineMatch m = matcher_.find(line, re, whole)) return m;
            if (matcher_.ranAway()) break;
        }
        return {};
    case LineQuery::Mode::AllWords: {
        LineMatch first;
        std::size_t found = 0;
        for (const Regex& re : expressions_) {
            const LineMatch m = matcher_.find(line, re, whole);
            if (matcher_.ranAway()) return {};
            if (!m) continue;
            ++found;
            if (!first || m.position < first.position) first = m;
        }
        anyWord = found > 0;
        return found == expressions_.size() && found > 0 ? first : LineMatch{};
    }
    }
    return {};
}

void RegexLineSearcher::countTo(const char* p) {
    if (p > counted_) {
        breaks_ += countBreaks(counted_, static_cast<std::size_t>(p - counted_), prevCR_);
        counted_ = p;
    }
}

void RegexLineSearcher::stopAt(const char* lineBegin) {
    countTo(lineBegin);
    timedOut_ = true;
    ranAway_ = matcher_.ranAway();
    examinedAtStop_ = breaks_;
}

const char* RegexLineSearcher::nextCandidate(const char* from, const char* to, const char* end) {
    if (prefilter_.size() == 1) return prefilter_[0]->find(from, to, end);
    // Several expressions: the earliest next occurrence of any literal, each remembered between
    // calls so a rare literal is not searched for again at every candidate.
    const char* best = nullptr;
    for (std::size_t i = 0; i < prefilter_.size(); ++i) {
        const char*& hit = nextHit_[i];
        const char*& done = searchedTo_[i];
        if (hit && hit < from) hit = nullptr, done = std::min(done, from);
        if (!hit && done < to) {
            hit = prefilter_[i]->find(std::max(from, done), to, end);
            done = to;
        }
        if (hit && hit < to && (!best || hit < best)) best = hit;
    }
    return best;
}

bool RegexLineSearcher::searchSegment(std::string_view segment, LineVisitor& visitor) {
    if (timedOut_) return false;
    if (segment.empty()) return true;
    const char* begin = segment.data();
    const char* end = begin + segment.size();
    counted_ = begin;
    sawText_ = true;
    lastByte_ = segment.back();
    nextHit_.assign(prefilter_.size(), nullptr);
    searchedTo_.assign(prefilter_.size(), begin);
    const bool ok = prefilter_.empty() ? searchEachLine(begin, end, visitor)
                                       : searchCandidates(begin, end, visitor);
    if (ok) countTo(end);
    return ok;
}

bool RegexLineSearcher::searchCandidates(const char* begin, const char* end, LineVisitor& visitor) {
    const char* cur = begin;
    const char* clockAt = begin;
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
        if (++sinceClock_ % kLinesPerClockCheck == 0 && deadlinePassed()) {
            stopAt(ls);
            return false;
        }
        bool anyWord = false;
        const std::string_view line(ls, static_cast<std::size_t>(le - ls));
        const LineMatch m = judge(line, anyWord);
        if (matcher_.ranAway()) {
            stopAt(ls);
            return false;
        }
        if (m) {
            countTo(ls);
            ++hitLines_;
            matchLength_ = m.length;
            visitor.onMatch(breaks_ + 1, line, m.position);
        }
        cur = le < end ? afterBreak(le, end) : end;
    }
    return true;
}

bool RegexLineSearcher::searchEachLine(const char* begin, const char* end, LineVisitor& visitor) {
    const char* p = begin;
    std::uint64_t lineNumber = breaks_ + 1;
    while (p < end) {
        if (p == begin || ++sinceClock_ % kLinesPerClockCheck == 0) {
            if (deadlinePassed()) {
                stopAt(p);
                return false;
            }
        }
        const char* le = lineEnd(p, end);
        const std::string_view line(p, static_cast<std::size_t>(le - p));
        bool anyWord = false;
        const LineMatch m = judge(line, anyWord);
        if (matcher_.ranAway()) {
            stopAt(p);
            return false;
        }
        const bool match = query_.invert ? !m : static_cast<bool>(m);
        if (match || anyWord) ++hitLines_;
        if (match) {
            matchLength_ = query_.invert ? 0 : m.length;
            visitor.onMatch(lineNumber, line, query_.invert ? 0 : m.position);
        }
        ++lineNumber;
        p = le < end ? afterBreak(le, end) : end;
    }
    return true;
}

void RegexLineSearcher::finish() {
    trailing_ = sawText_ && !isBreakByte(lastByte_) ? 1 : 0;
}

} // namespace vesk
