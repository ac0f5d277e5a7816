#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "search/find_pos.h"
#include "search/lines.h"
#include "search/regex_search.h"
#include "search/search_run.h"
#include "tests/support/fakes.h"
#include "tests/support/recording_host.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using ::testing::Contains;
using ::testing::ElementsAre;
using vesk::test::FakeClock;
using vesk::test::RecordingHost;
using vesk::test::TempTree;

namespace {

struct Hit {
    std::uint64_t line;
    std::string text;
    std::size_t pos;
    bool operator==(const Hit& o) const = default;
};

std::ostream& operator<<(std::ostream& os, const Hit& h) {
    return os << h.line << ":" << h.pos << ":" << h.text;
}

struct Recorder : LineVisitor {
    std::vector<Hit> hits;
    std::vector<std::size_t> lengths;
    const RegexLineSearcher* searcher = nullptr;
    void onMatch(std::uint64_t n, std::string_view line, std::size_t pos) override {
        hits.push_back({n, std::string(line), pos});
        if (searcher) lengths.push_back(searcher->matchLength());
    }
};

// The engine called plainly on each line, without the JIT, with the whole-word rules written out.
class Reference {
public:
    Reference(const std::string& pattern, bool ci) {
        int err = 0;
        PCRE2_SIZE off = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                              PCRE2_NEVER_UTF | (ci ? PCRE2_CASELESS : 0u), &err, &off, nullptr);
        data_ = pcre2_match_data_create(1, nullptr);
    }
    ~Reference() {
        pcre2_match_data_free(data_);
        pcre2_code_free(code_);
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    std::size_t position(std::string_view line, bool whole) const {
        std::size_t at = 0, tries = 0;
        while (at < line.size()) {
            const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(line.data()),
                                       line.size(), at, PCRE2_NOTEMPTY, data_, nullptr);
            if (rc < 0) return 0;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_);
            const std::size_t s = ov[0], e = ov[1];
            const bool before = s == 0 || !isWordChar(line[s - 1]);
            const bool after = e >= line.size() || !isWordChar(line[e]);
            if (!whole || (before && after)) return s + 1;
            at = e;
            if (line.find_first_not_of(" \t", at) == std::string_view::npos) return 0;
            if (++tries >= line.size()) return 0;
        }
        return 0;
    }

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* data_ = nullptr;
};

std::vector<Hit> reference(const std::string& text, LineQuery::Mode mode,
                           const std::vector<std::string>& patterns, bool whole, bool ci,
                           bool invert = false) {
    std::vector<std::unique_ptr<Reference>> refs;
    for (const auto& p : patterns)
        refs.push_back(std::make_unique<Reference>(p, ci));
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    std::vector<Hit> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t pos = 0;
        if (mode == LineQuery::Mode::AllWords) {
            std::size_t found = 0;
            for (const auto& r : refs)
                if (const std::size_t p = r->position(lines[i], whole)) {
                    ++found;
                    if (pos == 0 || p < pos) pos = p;
                }
            if (found < refs.size()) pos = 0;
        } else {
            for (const auto& r : refs)
                if ((pos = r->position(lines[i], whole))) break;
        }
        if (invert ? pos == 0 : pos > 0)
            out.push_back({i + 1, std::string(lines[i]), invert ? 0 : pos});
    }
    return out;
}

std::vector<Hit> search(const std::string& text, const LineQuery& q,
                        const std::vector<Regex>& exprs, std::size_t cut,
                        std::uint64_t* examined = nullptr) {
    FakeClock clock;
    RegexMatcher matcher;
    RegexLineSearcher s(q, exprs, matcher, clock, clock.now() + kOneSecond);
    Recorder r;
    // Segments end after a break, as the reader hands them out.
    std::size_t split = cut;
    while (split < text.size() && split > 0 && text[split - 1] != '\n')
        ++split;
    if (split > 0 && split < text.size()) {
        s.searchSegment(std::string_view(text).substr(0, split), r);
        s.searchSegment(std::string_view(text).substr(split), r);
    } else {
        s.searchSegment(text, r);
    }
    s.finish();
    if (examined) *examined = s.linesExamined();
    return r.hits;
}

std::vector<Regex> compileAll(const std::vector<std::string>& patterns, bool ci) {
    std::vector<Regex> out;
    std::string error;
    EXPECT_TRUE(compileExpressions(patterns, ci, out, error)) << error;
    return out;
}

} // namespace

TEST(RegexSearch, AgreesWithThePlainPerLineEngineOnRandomTexts) {
    std::mt19937 rng(4242);
    const char alphabet[] = "abAB_ xy\t(.9";
    const char* breaks[] = {"\n", "\r", "\r\n", "\n\r"};
    const char* atoms[] = {"a",   "b",   "ab",  "x", "_",     " ",    "\\(", "\\.", "[ab]", "[^a ]",
                           "\\w", "\\s", "\\d", ".", "(a|b)", "(ab)", "^",   "$",   "\\b",  "y"};
    const char* quantifiers[] = {"", "", "", "*", "+", "?", "{2}", "+?"};
    const LineQuery::Mode modes[] = {LineQuery::Mode::Single, LineQuery::Mode::Multiple,
                                     LineQuery::Mode::AllWords};
    auto expression = [&] {
        std::string p;
        const int n = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) {
            const std::string atom = atoms[rng() % std::size(atoms)];
            p += atom;
            // Anchors take no quantifier.
            if (atom != "^" && atom != "$" && atom != "\\b")
                p += quantifiers[rng() % std::size(quantifiers)];
        }
        if (rng() % 8 == 0) p += "|" + std::string(atoms[rng() % std::size(atoms)]);
        return p;
    };
    for (int round = 0; round < 600; ++round) {
        std::string text;
        const int len = static_cast<int>(rng() % 300);
        for (int i = 0; i < len; ++i)
            text += rng() % 8 == 0 ? breaks[rng() % 4] : std::string(1, alphabet[rng() % 12]);
        LineQuery q;
        q.mode = modes[rng() % 3];
        q.wholeWordsOnly = rng() % 2;
        q.invert = rng() % 5 == 0; // lines with no match: every line goes to the engine
        const bool ci = rng() % 2;
        std::vector<std::string> patterns{expression()};
        if (q.mode != LineQuery::Mode::Single)
            while (patterns.size() < 1 + rng() % 3)
                patterns.push_back(expression());
        const auto exprs = compileAll(patterns, ci);
        const auto want = reference(text, q.mode, patterns, q.wholeWordsOnly, ci, q.invert);
        std::uint64_t examined = 0;
        ASSERT_EQ(search(text, q, exprs, rng() % (text.size() + 1), &examined), want)
            << "round " << round << " pattern " << patterns[0];
        EXPECT_EQ(examined, countLines(text));
    }
}

TEST(RegexSearch, AMatchNeverCrossesAnyKindOfLineBreak) {
    const std::string text = "xa\r\nb\rya\nb\n\rza\r\rb";
    LineQuery q;
    const auto across = compileAll({"a\\s*b"}, false);
    EXPECT_TRUE(search(text, q, across, 0).empty());
    const auto atEnd = compileAll({"a$"}, false);
    EXPECT_THAT(search(text, q, atEnd, 0),
                ElementsAre(Hit{1, "xa", 2}, Hit{3, "ya", 2}, Hit{6, "za", 2}));
    const auto blankLine = compileAll({"^\\s*$"}, false); // empty lines have no non-empty match
    EXPECT_TRUE(search(text, q, blankLine, 0).empty());
    const auto any = compileAll({"b"}, false);
    EXPECT_THAT(search(text, q, any, 5),
                ElementsAre(Hit{2, "b", 1}, Hit{4, "b", 1}, Hit{8, "b", 1}));
}

TEST(RegexSearch, ReportsEachLinesMatchLength) {
    const std::string text = "one pm_foo_resume\nPM_RESUME two\nnone\n";
    LineQuery q;
    const auto exprs = compileAll({"pm_[a-z_]*resume"}, true);
    FakeClock clock;
    RegexMatcher matcher;
    RegexLineSearcher s(q, exprs, matcher, clock, clock.now() + kOneSecond);
    Recorder r;
    r.searcher = &s;
    s.searchSegment(text, r);
    EXPECT_THAT(r.hits, ElementsAre(Hit{1, "one pm_foo_resume", 5}, Hit{2, "PM_RESUME two", 1}));
    EXPECT_THAT(r.lengths, ElementsAre(13u, 9u));
}

TEST(RegexSearch, ARunawayLineStopsTheFile) {
    std::string text = "fine\n" + std::string(40, 'a') + "!\nlater aaa\n";
    LineQuery q;
    const auto exprs = compileAll({"(a+)+$"}, false);
    FakeClock clock;
    RegexMatcher matcher;
    RegexLineSearcher s(q, exprs, matcher, clock, clock.now() + kOneSecond);
    Recorder r;
    EXPECT_FALSE(s.searchSegment(text, r));
    EXPECT_TRUE(s.timedOut());
    EXPECT_TRUE(s.ranAway());
    EXPECT_EQ(s.linesExamined(), 1u);
    EXPECT_TRUE(r.hits.empty());
}

namespace {

struct RunFixture {
    TempTree tree;
    RecordingHost host;
    StringSlots slots;
    SearchRun run{host, slots};

    RunFixture() {
        host.options.folderBox = tree.root();
        host.options.filespecBox = "*.*";
        host.options.FolderText = tree.root();
        host.options.FilespecText = "*.*";
        host.options.RegularExpressions = true;
    }
    std::vector<std::string> matchRows() const {
        std::vector<std::string> out;
        for (const std::string& r : host.rows())
            if (!r.empty() && r[0] != '|') out.push_back(r);
        return out;
    }
};

} // namespace

TEST(RegexSearchRun, TheOptionMakesTheStringAnExpression) {
    RunFixture f;
    const std::string a = f.tree.write("a.txt", "abc\na.c\n");
    f.host.options.stringBox = "a.c";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_THAT(f.matchRows(), ElementsAre("1|abc|" + a + "|1", "2|a.c|" + a + "|1"));
    f.host.options.RegularExpressions = false;
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_THAT(f.matchRows(), ElementsAre("2|a.c|" + a + "|1"));
}

TEST(RegexSearchRun, MultipleExpressionsAreTriedInListOrder) {
    RunFixture f;
    const std::string a = f.tree.write("a.txt", "x12 yy\nnone\nyy\n");
    f.host.options.StringsMode = 2;
    f.slots.FindCount = 2;
    f.slots.FindStrings[0] = "y+";
    f.slots.FindStrings[1] = "\\d+";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_THAT(f.matchRows(), ElementsAre("1|x12 yy|" + a + "|5", "3|yy|" + a + "|1"));
}

TEST(RegexSearchRun, AllWordsTakesEachWordAsAnExpression) {
    RunFixture f;
    const std::string a = f.tree.write("a.txt", "beta9 and alpha\nalpha only\n");
    f.host.options.GoogleFind = true;
    f.host.options.stringBox = "al.ha beta\\d";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_THAT(f.matchRows(), ElementsAre("1|beta9 and alpha|" + a + "|1"));
}

TEST(RegexSearchRun, AnInvalidExpressionEndsTheRunBeforeScanning) {
    RunFixture f;
    f.tree.write("a.txt", "pm_x\n");
    f.host.options.stringBox = "pm_[a-z";
    EXPECT_EQ(f.run.DoSearch(), RunResult::Failed);
    const std::string message = "'pm_[a-z' is an invalid regular expression at (8): missing "
                                "terminating ] for character class";
    EXPECT_THAT(f.host.dialogs_.messages, ElementsAre(message));
    EXPECT_EQ(f.run.failure(), message);
    EXPECT_EQ(f.run.state().FilesDone, 0);
    EXPECT_FALSE(f.run.state().Searching);
    EXPECT_TRUE(f.host.grid_.visible());
    f.host.options.stringBox = "pm_[a-z]";
    EXPECT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_EQ(f.run.state().MatchedLines, 1);
}

TEST(RegexSearchRun, ARunawayExpressionGivesTheTooSlowRowsAndTheRunGoesOn) {
    RunFixture f;
    const std::string slow = f.tree.write("a.txt", std::string(40, 'a') + "!\n");
    const std::string z = f.tree.write("z.txt", "aaa\n");
    f.host.options.stringBox = "(a+)+$";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    const auto rows = f.host.rows();
    EXPECT_THAT(rows, Contains("-1|Searching File too slow|" + slow + "|"));
    EXPECT_THAT(f.matchRows(), Contains("1|aaa|" + z + "|1"));
}
