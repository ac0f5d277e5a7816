#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <thread>

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
std::vector<Hit> reference(const std::string& text, const LineQuery& q,
                           const std::vector<std::string>& pats, bool ci) {
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
        if (q.invert ? pos == 0 : pos > 0)
            out.push_back({i + 1, std::string(lines[i]), q.invert ? 0 : pos});
    }
    return out;
}

std::vector<Hit> search(const std::string& text, LineSearcher& s, std::size_t cut,
                        std::uint64_t& examined) {
    Recorder r;
    // Segments end after a break, as the reader hands them out.
    std::size_t split = cut;
    while (split < text.size() && text[split - (split ? 1 : 0)] != '\n')
        ++split;
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

std::vector<Hit> search(const std::string& text, const LineQuery& q, std::size_t cut,
                        std::uint64_t& examined) {
    FakeClock clock;
    LineSearcher s(q, clock, clock.now() + kOneSecond);
    return search(text, s, cut, examined);
}

// Lines of the reference that hit in the all-words find: every word, or some when partial hits
// count.
std::uint64_t referenceHitLines(const std::string& text, const LineQuery& q,
                                const std::vector<std::string>& pats, bool ci) {
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    std::uint64_t n = 0;
    for (const auto line : lines) {
        const AllWordsMatch m = xcMatchAllWords(line, pats, pats.size(), q.wholeWordsOnly, ci);
        n += m.position > 0 || (q.countPartialHits && m.wordsFound > 0);
    }
    return n;
}

// Searches the text cut into two segments at `cut` and checks lines, line count and hit lines
// against the plain line-by-line rules.
void expectAgreesWithReference(const std::string& text, const LineQuery& q,
                               const std::vector<std::string>& pats, bool ci, std::size_t cut) {
    std::uint64_t examined = 0;
    FakeClock clock;
    LineSearcher s(q, clock, clock.now() + kOneSecond);
    EXPECT_EQ(search(text, s, cut, examined), reference(text, q, pats, ci));
    EXPECT_EQ(examined, countLines(text));
    if (q.mode == LineQuery::Mode::AllWords && !q.invert) {
        EXPECT_EQ(s.hitLines(), referenceHitLines(text, q, pats, ci));
    }
}

std::string randomText(std::mt19937& rng, const char* alphabet, std::size_t alphabetSize,
                       int maxLen) {
    const char* breaks[] = {"\n", "\r", "\r\n", "\n\r"};
    std::string text;
    const int len = static_cast<int>(rng() % static_cast<unsigned>(maxLen));
    for (int i = 0; i < len; ++i) {
        if (rng() % 9 == 0)
            text += breaks[rng() % 4];
        else
            text += alphabet[rng() % alphabetSize];
    }
    return text;
}

} // namespace

// Random texts and strings (one to 200 of them, the all-words find's words) against the plain
// line-by-line rules; bytes above 127 check that only a to z fold.
TEST(LineSearch, AgreesWithLineByLineRulesOnRandomText) {
    std::mt19937 rng(12345);
    const char alphabet[] = "abAB_\xE9\xC9 xy\t(.9";
    const std::size_t patternBytes = 7; // patterns draw from "abAB_" and the two accented bytes
    for (int round = 0; round < 600; ++round) {
        const std::string text =
            randomText(rng, alphabet, sizeof alphabet - 1, round % 10 == 0 ? 4000 : 400);
        const bool ci = rng() % 2;
        LineQuery q;
        q.wholeWordsOnly = rng() % 2;
        q.invert = rng() % 5 == 0;
        q.mode = static_cast<LineQuery::Mode>(rng() % 3);
        q.countPartialHits = q.mode == LineQuery::Mode::AllWords && rng() % 2;
        std::vector<std::string> pats;
        int count = 1;
        if (q.mode == LineQuery::Mode::Multiple)
            count = round % 7 == 0 ? 1 + static_cast<int>(rng() % 200)
                                   : 1 + static_cast<int>(rng() % 4);
        else if (q.mode == LineQuery::Mode::AllWords)
            count = 2 + static_cast<int>(rng() % 4);
        for (int k = 0; k < count; ++k) {
            std::string p;
            const int plen = 1 + static_cast<int>(rng() % (count > 20 ? 4 : 3));
            for (int i = 0; i < plen; ++i)
                p += alphabet[rng() % patternBytes];
            if (q.mode == LineQuery::Mode::Multiple && rng() % 25 == 0) p = rng() % 2 ? "" : "a\nb";
            pats.push_back(p);
            q.finders.emplace_back(p, ci);
        }
        q.prepare();
        SCOPED_TRACE("round " + std::to_string(round));
        expectAgreesWithReference(text, q, pats, ci, rng() % (text.size() + 1));
    }
}

// Strings longer than the piece the one-pass engine looks for, in texts made of their own
// fragments: many lines hold a piece without its string, strings overlap and repeat, in any case.
TEST(LineSearch, LongStringsAgreeWithLineByLineRulesWhereOnlyTheirPiecesOccur) {
    std::mt19937 rng(2024);
    const char alphabet[] = "abqzAB_\xE9";
    for (int round = 0; round < 300; ++round) {
        const bool ci = rng() % 2;
        LineQuery q;
        q.wholeWordsOnly = rng() % 3 == 0;
        q.mode = rng() % 3 ? LineQuery::Mode::Multiple : LineQuery::Mode::AllWords;
        q.countPartialHits = q.mode == LineQuery::Mode::AllWords && rng() % 2;
        std::vector<std::string> pats;
        for (int k = 2 + static_cast<int>(rng() % 30); k > 0; --k) {
            std::string p;
            for (int i = 6 + static_cast<int>(rng() % 12); i > 0; --i)
                p += alphabet[rng() % (sizeof alphabet - 1)];
            pats.push_back(p);
            q.finders.emplace_back(p, ci);
        }
        q.prepare();
        std::string text;
        while (text.size() < 3000) {
            const std::string& p = pats[rng() % pats.size()];
            const std::size_t from = rng() % p.size();
            std::string part = rng() % 4 == 0 ? p : p.substr(from, 1 + rng() % (p.size() - from));
            if (rng() % 3 == 0)
                for (char& c : part)
                    if (std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
            // Runs of bytes foreign to UTF-8 too: the engine's own decoys are made of them.
            const char* gaps[] = {"", "", " ", "\n", "\r\n", "x", "\xC0\xC1\xF5\xF6"};
            text += part + gaps[rng() % 7];
        }
        SCOPED_TRACE("round " + std::to_string(round));
        expectAgreesWithReference(text, q, pats, ci, rng() % (text.size() + 1));
    }
}

TEST(LineSearch, LineNumbersAcrossMixedBreaksAndLongGaps) {
    std::string text;
    for (int i = 1; i <= 5000; ++i)
        text += (i == 4321 ? "needle here" : "hay") + std::string(i % 2 ? "\r\n" : "\n");
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
    for (int i = 1; i <= 2000; ++i)
        text += "hit " + std::to_string(i) + "\n";
    for (const bool together : {false, true}) {
        LineQuery q;
        q.finders.emplace_back("hit", false);
        if (together) {
            q.mode = LineQuery::Mode::Multiple;
            q.finders.emplace_back("miss", false);
        }
        q.prepare();
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
}

TEST(LineSearch, AllWordsCountsLinesWithSomeWords) {
    LineQuery q;
    q.mode = LineQuery::Mode::AllWords;
    q.countPartialHits = true;
    q.finders.emplace_back("alpha", true);
    q.finders.emplace_back("beta", true);
    q.prepare();
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

// A long string made of one letter but its end, in a long line of that letter: each place in the
// line starts a partial match, which must not cost the string's length again.
TEST(LineSearch, LongRepetitiveStringInALongLineIsSearchedInLinearTime) {
    const std::string pattern = std::string(60000, 'a') + "e";
    std::string text =
        std::string(3'000'000, 'a') + "\n" + std::string(3'000'000, 'A') + "E tail\n";
    for (const auto mode : {LineQuery::Mode::Single, LineQuery::Mode::Multiple}) {
        LineQuery q;
        q.mode = mode;
        q.finders.emplace_back(pattern, true);
        if (mode == LineQuery::Mode::Multiple) q.finders.emplace_back("tail", false);
        q.prepare();
        std::uint64_t examined = 0;
        const auto hits = search(text, q, 0, examined);
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].line, 2u);
        EXPECT_EQ(hits[0].pos, 3'000'000u - 60000 + 1);
        EXPECT_EQ(examined, 2u);
    }
}

TEST(LineSearch, WholeWordSearchOfALongStringResumesAfterEachRejection) {
    const std::string word(100, 'x');
    std::string line;
    for (int i = 0; i < 2000; ++i)
        line += word + "_"; // every occurrence touches a word character
    line += " " + word + " end";
    LineQuery q;
    q.wholeWordsOnly = true;
    q.finders.emplace_back(word, false);
    std::uint64_t examined = 0;
    const auto hits = search(line + "\n", q, 0, examined);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].pos, 2000u * 101 + 2);
}

// Searchers on several threads share one prepared query: each must see every occurrence of its
// own text, whatever the others scan meanwhile.
TEST(LineSearch, SearchersOnSeveralThreadsShareOneQuery) {
    LineQuery q;
    q.mode = LineQuery::Mode::Multiple;
    for (const char* s : {"alpha", "beta", "gamma", "delta"})
        q.finders.emplace_back(s, true);
    q.prepare();
    std::vector<std::string> texts(4);
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 20000; ++i)
            texts[t] +=
                (i % (t + 3) == 0 ? std::string(q.finders[static_cast<std::size_t>(t)].pattern())
                                  : "none") +
                "\n";
    std::vector<std::vector<Hit>> got(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::uint64_t examined = 0;
            for (int repeat = 0; repeat < 5; ++repeat)
                got[t] = search(texts[t], q, 0, examined);
        });
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t) {
        std::uint64_t examined = 0;
        EXPECT_EQ(got[t], search(texts[t], q, 0, examined)) << "thread " << t;
        EXPECT_EQ(got[t].size(), 20000u / static_cast<unsigned>(t + 3) + (20000 % (t + 3) ? 1 : 0));
    }
}

// The one-pass engine folds a to z only, as the finders do: bytes above 127 stay exact, and a
// string holding a line break (never within a line) is left out.
TEST(MultiFinder, FoldsOnlyAToZAndLeavesOutStringsWithBreaks) {
    const std::vector<Finder> finders{Finder("\xE9t\xE9", true), Finder("ab", true),
                                      Finder("x\ny", true), Finder("\xC9T\xC9", false)};
    const auto m = MultiFinder::build(finders);
    if (!m) GTEST_SKIP() << "built without a multi-pattern engine";
    const std::string text = "\xC9T\xC9 aB x\ny \xE9T\xE9";
    std::vector<MultiFinder::Hit> hits;
    m->scan(text.data(), text.size(), hits);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> got;
    for (const auto& h : hits)
        got.emplace_back(h.start, h.id);
    std::sort(got.begin(), got.end());
    using P = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(got, (std::vector<P>{{0, 3}, {4, 1}, {11, 0}}));
}

// A long pattern is looked for by its least common run of bytes, a short one whole.
TEST(MultiFinder, LooksForTheRarestRunOfALongPattern) {
    EXPECT_EQ(MultiFinder::pieceOf("register"), "register");
    const std::string_view piece = MultiFinder::pieceOf("the_register_of_xqzjkv_units");
    EXPECT_EQ(piece.size(), MultiFinder::kPieceSize);
    EXPECT_NE(piece.find("xqzjkv"), std::string_view::npos) << piece;
}

// A large set of long patterns, as a list of identifiers gives: every occurrence of every piece is
// found, and text made of every short run of bytes foreign to UTF-8 gives nothing.
TEST(MultiFinder, ALargeSetOfLongPatternsFindsEveryPieceAndNothingElse) {
    std::mt19937 rng(5);
    std::vector<Finder> finders;
    for (int k = 0; k < 120; ++k) {
        std::string p = "fn_";
        for (int i = 0; i < 6 + k % 9; ++i)
            p += "abcdefghijklmnopqrstuvwxyz_"[rng() % 27];
        finders.emplace_back(p, k % 2 == 0);
    }
    for (const std::size_t count : {std::size_t{30}, std::size_t{120}}) {
        const std::vector<Finder> set(finders.begin(), finders.begin() + static_cast<long>(count));
        const auto m = MultiFinder::build(set);
        if (!m) GTEST_SKIP() << "built without a multi-pattern engine";
        std::string text;
        const unsigned char foreign[] = {0xC0, 0xC1, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,
                                         0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
        for (const unsigned char a : foreign)
            for (const unsigned char b : foreign)
                for (const unsigned char c : foreign)
                    text += {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
        for (std::size_t i = 0; i < 3 * count; ++i) {
            std::string p(set[rng() % count].pattern());
            if (rng() % 2)
                for (char& c : p)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            text += p + (rng() % 2 ? "\n" : "_x");
        }
        std::vector<MultiFinder::Hit> hits;
        m->scan(text.data(), text.size(), hits);
        std::set<std::pair<std::uint32_t, std::uint32_t>> got, expected;
        for (const auto& h : hits)
            got.emplace(h.start, h.id);
        for (std::uint32_t id = 0; id < count; ++id) {
            const std::string_view piece = MultiFinder::pieceOf(set[id].pattern());
            const Finder f{std::string(piece), set[id].caseInsensitive()};
            for (std::size_t at = 0; at + f.size() <= text.size(); ++at)
                if (f.matchesAt(text.data() + at))
                    expected.emplace(static_cast<std::uint32_t>(at), id);
        }
        EXPECT_EQ(got, expected) << count;
    }
}

// Patterns without case: every occurrence in any mix of cases is found, bytes above 127 only as
// they are, at every offset up to the last byte.
TEST(MultiFinder, CaselessPatternsFindWhatEachFinderFinds) {
    const std::vector<Finder> finders{Finder("ab", true), Finder("zq_9", true),
                                      Finder("\xE9x\xC9", true), Finder("AZ", true),
                                      Finder("b`{@[", true)};
    const auto m = MultiFinder::build(finders);
    if (!m) GTEST_SKIP() << "built without a multi-pattern engine";
    std::mt19937 rng(11);
    const std::string alphabet = "abAB zZqQ_9xX`{@[\xE9\xC9\xC3";
    for (const std::size_t size :
         {std::size_t{5}, std::size_t{16}, std::size_t{17}, std::size_t{1000}, std::size_t{4099}}) {
        std::string text;
        for (std::size_t i = 0; i < size; ++i)
            text += alphabet[rng() % alphabet.size()];
        text.replace(0, 2, "aB");
        text.replace(size - 4, 4, "zQ_9");
        std::vector<MultiFinder::Hit> hits;
        m->scan(text.data(), text.size(), hits);
        std::set<std::pair<std::uint32_t, std::uint32_t>> got, expected;
        for (const auto& h : hits)
            got.emplace(h.start, h.id);
        for (std::uint32_t id = 0; id < finders.size(); ++id)
            for (std::size_t at = 0; at + finders[id].size() <= text.size(); ++at)
                if (finders[id].matchesAt(text.data() + at))
                    expected.emplace(static_cast<std::uint32_t>(at), id);
        EXPECT_EQ(got, expected) << size;
        EXPECT_FALSE(expected.empty()) << size;
    }
}
