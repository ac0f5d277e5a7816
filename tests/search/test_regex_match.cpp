#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "search/regex_match.h"

using namespace vesk;

namespace {

Regex compiled(std::string_view pattern, bool caseInsensitive = false) {
    Regex re;
    std::string error;
    EXPECT_TRUE(re.compile(pattern, caseInsensitive, error)) << error;
    return re;
}

// Position and length of the first acceptable match, as "pos:len" ("0:0" for none).
std::string first(std::string_view pattern, std::string_view line, bool wholeWords = false,
                  bool caseInsensitive = false) {
    const Regex re = compiled(pattern, caseInsensitive);
    RegexMatcher m;
    const LineMatch r = m.find(line, re, wholeWords);
    return std::to_string(r.position) + ":" + std::to_string(r.length);
}

std::string compileError(std::string_view pattern) {
    Regex re;
    std::string error;
    EXPECT_FALSE(re.compile(pattern, false, error));
    return error;
}

} // namespace

TEST(RegexMatch, PositionsAreOneBasedBytesWithTheMatchLength) {
    EXPECT_EQ(first("b+", "abbbc"), "2:3");
    EXPECT_EQ(first("pm_[a-z]*resume", "x pm_runtimeresume("), "3:16");
    EXPECT_EQ(first("c$", "abc"), "3:1");
    EXPECT_EQ(first("^a", "ba"), "0:0");
    // Bytes of 128 and above are single characters.
    EXPECT_EQ(first("e.", "caf\xc3\xa9 e\xc3"), "7:2");
    EXPECT_EQ(first("\\xc3.", "caf\xc3\xa9"), "4:2");
}

TEST(RegexMatch, AnEmptyMatchIsNeverAHit) {
    EXPECT_EQ(first("x*", "abc"), "0:0");
    EXPECT_EQ(first("^", "abc"), "0:0");
    EXPECT_EQ(first("(?=b)", "abc"), "0:0");
    // The first non-empty match is taken instead of the empty one before it.
    EXPECT_EQ(first("a*", "bab"), "2:1");
    EXPECT_EQ(first("x*", ""), "0:0");
}

TEST(RegexMatch, WholeWordsRejectAndGoOnAfterTheRejectedMatch) {
    EXPECT_EQ(first("ab", "xab ab", true), "5:2");
    EXPECT_EQ(first("ab", "ab_c", true), "0:0");
    EXPECT_EQ(first("ab", "(ab)", true), "2:2");
    EXPECT_EQ(first("foo", "foofoo", true), "0:0");
    EXPECT_EQ(first("i[a-z]", "valid id", true), "7:2");
    EXPECT_EQ(first("id", "id_1 id", true), "6:2");
    // Overlapping matches are not considered: after "aa" at 1 the search goes on at 3.
    EXPECT_EQ(first("aa", "aaa aa", true), "5:2");
    // A greedy match rejected as a whole is not shortened into a word.
    EXPECT_EQ(first("a\\w*", "xabc abc", true), "6:3");
    // The byte before a later match is taken from the line itself.
    EXPECT_EQ(first("b", "abb b", true), "5:1");
    // The search gives up when the rest after a rejected match is blank.
    EXPECT_EQ(first(" ", "a  ", true), "0:0");
    EXPECT_EQ(first(" ", "a  ", false), "2:1");
}

TEST(RegexMatch, CaseFoldingIsForAToZOnly) {
    EXPECT_EQ(first("[a-z]+", "123ABC", false, true), "4:3");
    EXPECT_EQ(first("[a-z]+", "123ABC", false, false), "0:0");
    // "straße" finds "STRAßE" (the ß bytes are equal) but not "STRASSE".
    EXPECT_EQ(first("stra\xc3\x9f"
                    "e",
                    "STRA\xc3\x9f"
                    "E",
                    false, true),
              "1:7");
    EXPECT_EQ(first("stra\xc3\x9f"
                    "e",
                    "STRASSE", false, true),
              "0:0");
    // "é" does not find "É" (UTF-8 C3 A9 against C3 89), nor Latin-1 E9 find C9.
    EXPECT_EQ(first("\xc3\xa9", "\xc3\x89", false, true), "0:0");
    EXPECT_EQ(first("\xe9", "\xc9", false, true), "0:0");
    EXPECT_EQ(first("[\xe0-\xef]", "\xc9", false, true), "0:0");
    EXPECT_EQ(first("\\w", "\xe9\xc3\xa9", false, true), "0:0");
}

TEST(RegexMatch, InvalidExpressionsNameThePatternPositionAndEngineText) {
    EXPECT_EQ(compileError("pm_[a-z"),
              "'pm_[a-z' is an invalid regular expression at (8): missing terminating ] for "
              "character class");
    EXPECT_EQ(compileError("ab)c"),
              "'ab)c' is an invalid regular expression at (3): unmatched closing parenthesis");
    // UTF mode cannot be switched on from inside the pattern.
    EXPECT_NE(compileError("(*UTF)x").find("' is an invalid regular expression at ("),
              std::string::npos);
}

TEST(RegexMatch, ARunawayExpressionIsStoppedByTheEngineLimit) {
    const Regex re = compiled("(a+)+$");
    RegexMatcher m;
    const std::string line = std::string(40, 'a') + "!";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m.find(line, re, false));
    EXPECT_TRUE(m.ranAway());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    m.clearRanAway();
    EXPECT_TRUE(m.find("aaa", re, false));
    EXPECT_FALSE(m.ranAway());
}

TEST(RegexMatch, GroupsOfTheLastMatch) {
    const Regex re = compiled("(\\w+)=(x)?(\\d+)");
    RegexMatcher m;
    const std::string line = "set key=42;";
    ASSERT_TRUE(m.find(line, re, false));
    EXPECT_EQ(m.group(line, 0), "key=42");
    EXPECT_EQ(m.group(line, 1), "key");
    EXPECT_EQ(m.group(line, 2), ""); // unset
    EXPECT_EQ(m.group(line, 3), "42");
    EXPECT_EQ(m.group(line, 4), ""); // no such group
}

TEST(RegexMatch, OneCompiledExpressionServesSeveralThreads) {
    const Regex re = compiled("[a-z]+_resume\\(", true);
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += i % 7 ? "nothing here " : "x PM_Foo_Resume(";
    auto count = [&](int& out) {
        RegexMatcher m;
        std::size_t from = 0;
        while (const LineMatch r = m.find(text, from, re, false)) {
            ++out;
            from = r.position - 1 + r.length;
        }
    };
    int a = 0, b = 0;
    std::thread t1(count, std::ref(a)), t2(count, std::ref(b));
    t1.join();
    t2.join();
    EXPECT_EQ(a, 286);
    EXPECT_EQ(b, 286);
}

TEST(RequiredLiteral, OnlyWhatEveryMatchMustContain) {
    const std::pair<const char*, const char*> cases[] = {
        {"pm_[a-z]*resume", "resume"},
        {"[a-z]+_resume\\(", "_resume("},
        {"kmalloc", "kmalloc"},
        {"abc*", "ab"},
        {"ab+c", "ab"},
        {"a{2,}bcd", "bcd"},
        {"xa{0,3}yz", "yz"},
        {"a\\.b\\d+", "a.b"},
        {"x(ab|cd)yz", "yz"},
        {"[ab]cd", "cd"},
        {"#x y", "#x y"},
        {"ab|cd", ""},   // alternatives at the top level
        {"(?i)abc", ""}, // option settings change what a literal means
        {"a(?x) b c", ""},
        {"\\Qa.b\\E", ""},
        {"\\x41BC", ""}, // escapes with arguments are not read
        {"(a)\\1xyz", ""},
        {"a?b?", ""},
        {"\\w+\\s*", ""},
        {"x{,3}", ""},
    };
    for (const auto& [pattern, literal] : cases)
        EXPECT_EQ(requiredLiteralOf(pattern), literal) << pattern;
}

TEST(RequiredLiteral, PlainPatternsAreLiterals) {
    EXPECT_TRUE(isPlainLiteralPattern("kmalloc, GFP_KERNEL"));
    EXPECT_TRUE(isPlainLiteralPattern("a]b}c#"));
    for (const char* p : {"a.c", "a\\b", "a|b", "a*", "(a", "[a", "^a", "a$", "a{2}", "a?", "a+"})
        EXPECT_FALSE(isPlainLiteralPattern(p)) << p;
    // A plain literal behaves as the expression would, whole words and case included.
    EXPECT_EQ(first("ab", "xAB ab", true, true), "5:2");
}

TEST(RegexMatch, AReplacementMayNameOnlyGroupsTheExpressionHas) {
    const Regex re = compiled("(a)(b)");
    EXPECT_EQ(replacementError(re, "$0$1$2$$3 $x $"), "");
    EXPECT_EQ(replacementError(re, "x$3"), "'x$3' refers to group 3, which '(a)(b)' does not have");
    EXPECT_EQ(replacementError(compiled("ab"), "$1"),
              "'$1' refers to group 1, which 'ab' does not have");
}
