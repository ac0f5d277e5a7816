#include <gtest/gtest.h>

#include <random>

#include "search/find_pos.h"
#include "search/line_search.h"
#include "search/lines.h"
#include "tests/support/fakes.h"

using namespace vesk;
using vesk::test::FakeClock;

namespace {

struct Hit {
    std::uint64_t line;
    std::string text;
    std::size_t pos;
    bool operator==(const Hit& o) const { return line == o.line && text == o.text && pos == o.pos; }
};

struct Recorder : LineVisitor {
    std::vector<Hit> hits;
    void onMatch(std::uint64_t n, std::string_view line, std::size_t pos) override {
        hits.push_back({n, std::string(line), pos});
    }
};

// The line-by-line rules, written plainly: what the fast search must agree with.
std::vector<Hit> reference(const std::string& text, const LineQuery& q, const std::vector<std::string>& pats,
                           bool ci) {
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    std::vector<Hit> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t pos = 0;
        if (q.mode == LineQuery::Mode::AllWords) {
            pos = xcMatchAllWords(lines[i], pats, pats.size(), q.wholeWordsOnly, ci).position;
        } else {
            for (const auto& p : pats)
                if (!p.empty() && (pos = xcFindPos(lines[i], p, q.wholeWordsOnly, ci))) break;
        }
        if (q.invert ? pos == 0 : pos > 0) out.push_back({i + 1, std::string(lines[i]), q.invert ? 0 : pos});
    }
    return out;
}

std::vector<Hit> search(const std::string& text, const LineQuery& q, std::size_t cut, std::uint64_t& examined) {
    FakeClock clock;
    LineSearcher s(q, clock, clock.now() + kOneSecond);
    Recorder r;
    // Segments end after a break, as the reader hands them out.
    std::size_t split = cut;
    while (split < text.size() && text[split - (split ? 1 : 0)] != '\n') ++split;
    if (split > 0 && split < text.size()) {
        s.searchSegment(std::string_view(text).substr(0, split), r);
        s.searchSegment(std::string_view(text).substr(split), r);
    } else {
        s.searchSegment(text, r);
    }
    s.finish();
    examined = s.linesExamined();
    return r.hits;
}

} // namespace

TEST(LineSearch, AgreesWithLineByLineRulesOnRandomText) {
    std::mt19937 rng(12345);
    const char alphabet[] = "abAB_ xy\t(.9";
    const char* breaks[] = {"\n", "\r", "\r\n", "\n\r"};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int len = static_cast<int>(rng() % 400);
        for (int i = 0; i < len; ++i) {
            if (rng() % 9 == 0)
                text += breaks[rng() % 4];
            else
                text += alphabet[rng() % (sizeof alphabet - 1)];
        }
        const bool ci = rng() % 2;
        LineQuery q;
        q.wholeWordsOnly = rng() % 2;
        q.invert = rng() % 5 == 0;
        const int modeRoll = static_cast<int>(rng() % 3);
        q.mode = static_cast<LineQuery::Mode>(modeRoll);
        std::vector<std::string> pats;
        const int count = q.mode == LineQuery::Mode::Single ? 1 : 2 + static_cast<int>(rng() % 2);
        for (int k = 0; k < count; ++k) {
            std::string p;
            const int plen = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < plen; ++i) p += alphabet[rng() % 6];
            pats.push_back(p);
            q.finders.emplace_back(p, ci);
        }
        std::uint64_t examined = 0;
        const auto got = search(text, q, rng() % (text.size() + 1), examined);
        EXPECT_EQ(got, reference(text, q, pats, ci)) << "round " << round;
        EXPECT_EQ(examined, countLines(text)) << "round " << round;
    }
}

TEST(LineSearch, LineNumbersAcrossMixedBreaksAndLongGaps) {
    std::string text;
    for (int i = 1; i <= 5000; ++i) text += (i == 4321 ? "needle here" : "hay") + std::string(i % 2 ? "\r\n" : "\n");
    LineQuery q;
    q.finders.emplace_back("NEEDLE", true);
    std::uint64_t examined = 0;
    const auto hits = search(text, q, 0, examined);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].line, 4321u);
    EXPECT_EQ(hits[0].pos, 1u);
    EXPECT_EQ(examined, 5000u);
}

TEST(LineSearch, DeadlineStopsBeforeTheLineAndCountsOnlyLinesExamined) {
    std::string text;
    for (int i = 1; i <= 2000; ++i) text += "hit " + std::to_string(i) + "\n";
    LineQuery q;
    q.finders.emplace_back("hit", false);
    FakeClock clock;
    const DateValue deadline = clock.now() + 2 * kOneSecond;
    clock.step = 0.6 * kOneSecond; // each reading of the clock moves it on
    LineSearcher s(q, clock, deadline);
    Recorder r;
    EXPECT_FALSE(s.searchSegment(text, r));
    s.finish();
    EXPECT_TRUE(s.timedOut());
    ASSERT_FALSE(r.hits.empty());
    EXPECT_LT(r.hits.size(), 200u); // stopped within a few looks at the clock
    // Every line before the one where time ran out was examined, and no line after it.
    EXPECT_EQ(s.linesExamined(), r.hits.back().line);
}

TEST(LineSearch, AllWordsCountsLinesWithSomeWords) {
    LineQuery q;
    q.mode = LineQuery::Mode::AllWords;
    q.countPartialHits = true;
    q.finders.emplace_back("alpha", true);
    q.finders.emplace_back("beta", true);
    FakeClock clock;
    LineSearcher s(q, clock, clock.now() + kOneSecond);
    Recorder r;
    s.searchSegment("alpha only\nnothing\nbeta and ALPHA\n", r);
    s.finish();
    ASSERT_EQ(r.hits.size(), 1u);
    EXPECT_EQ(r.hits[0].line, 3u);
    EXPECT_EQ(r.hits[0].pos, 1u); // the smallest position of the words
    EXPECT_EQ(s.hitLines(), 2u);
}
