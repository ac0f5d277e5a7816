#include <gtest/gtest.h>

#include "replace/replace_line.h"

using namespace vesk;

namespace {

struct Outcome {
    std::string line;
    int changes = 0;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "'" << o.line << "' (" << o.changes << ")";
}

Outcome replaced(std::string line, std::string_view find, std::string_view replacement,
                 bool wholeWords = false, bool preserve = false, bool ci = false) {
    Regex re;
    std::string error;
    EXPECT_TRUE(re.compile(find, ci, error)) << error;
    int n = 0;
    xcReplaceAllRegex(line, re, replacement, wholeWords, preserve, n);
    return {line, n};
}

} // namespace

TEST(RegexReplace, GroupsAndDollarSignsInTheReplacement) {
    EXPECT_EQ(replaced("key=42; k=7", "(\\w+)=(\\d+)", "$2:$1"), (Outcome{"42:key; 7:k", 2}));
    EXPECT_EQ(replaced("price 5", "\\d", "$$$0.00"), (Outcome{"price $5.00", 1}));
    // An unset group is empty; a "$" before anything else stays as typed.
    EXPECT_EQ(replaced("ab", "a(x)?(b)", "[$1|$2|$9|$x|$]"), (Outcome{"[|b||$x|$]", 1}));
}

TEST(RegexReplace, EveryMatchLeftToRightNeverInsideTheReplacement) {
    EXPECT_EQ(replaced("aa", "a", "aa"), (Outcome{"aaaa", 2}));
    EXPECT_EQ(replaced("abab", "ab", "x"), (Outcome{"xx", 2}));
    EXPECT_EQ(replaced("aaa", "a", ""), (Outcome{"", 3}));
    // Anchors mean the line's own start and end, not the place after the last replacement.
    EXPECT_EQ(replaced("aaa", "^a", "b"), (Outcome{"baa", 1}));
    EXPECT_EQ(replaced("a1 b2", "\\w\\d$", "<$0>"), (Outcome{"a1 <b2>", 1}));
    // Empty matches replace nothing.
    EXPECT_EQ(replaced("abc", "x*", "-"), (Outcome{"abc", 0}));
    EXPECT_EQ(replaced("abc", "b*", "-"), (Outcome{"a-c", 1}));
}

TEST(RegexReplace, WholeWordsAndCase) {
    EXPECT_EQ(replaced("ab abc xab ab", "a\\w", "y", true), (Outcome{"y abc xab y", 2}));
    EXPECT_EQ(replaced("ABC abc", "a[b]c", "X", false, false, true), (Outcome{"X X", 2}));
    EXPECT_EQ(replaced("ABC abc", "a[b]c", "X"), (Outcome{"ABC X", 1}));
}

TEST(RegexReplace, ThePerLineCapHolds) {
    const Outcome o = replaced(std::string(1500, 'x'), "x", "y");
    EXPECT_EQ(o.changes, 1001);
    EXPECT_EQ(o.line, std::string(1001, 'y') + std::string(499, 'x'));
}

TEST(RegexReplace, PreserveSpacesMeasuresTheReplacedText) {
    // The match "abc" (3 bytes) becomes "abcde": two blanks of the run after it are taken.
    EXPECT_EQ(replaced("abc   x", "a\\w+", "$0de", false, true), (Outcome{"abcde x", 1}));
    // "abcd" (4 bytes) becomes "ab": the run widens and x stays in column 10.
    EXPECT_EQ(replaced("abcd=5   x", "(ab)cd", "$1", false, true), (Outcome{"ab=5     x", 1}));
    // Without a run of at least three blanks the line grows.
    EXPECT_EQ(replaced("ab  x", "(a)b", "$1$1$1", false, true), (Outcome{"aaa  x", 1}));
}

TEST(RegexReplace, ReplaceLineUsesTheRunsExpressionsOrCompilesItsOwn) {
    StringSlots table;
    table.FindCount = 2;
    table.FindStrings[0] = "(\\d+)px";
    table.ReplaceStrings[0] = "${1}em";
    table.FindStrings[1] = "\\{1\\}";
    table.ReplaceStrings[1] = "";
    ReplaceOptions options;
    options.regularExpressions = true;
    std::string line = "width: 10px";
    // Pair 1 sees pair 0's output; "${1}" is "$" then "{1}" as typed.
    EXPECT_EQ(ReplaceLine(line, table, options), 2);
    EXPECT_EQ(line, "width: $em");

    std::vector<Regex> compiled(2);
    std::string error;
    ASSERT_TRUE(compiled[0].compile("(\\d+)px", false, error));
    ASSERT_TRUE(compiled[1].compile("\\{1\\}", false, error));
    options.expressions = &compiled;
    EXPECT_TRUE(LineHasFindString("a 3px", table, options));
    EXPECT_FALSE(LineHasFindString("a px", table, options));
    options.regularExpressions = false;
    EXPECT_FALSE(LineHasFindString("a 3px", table, options)); // the option off: literal text
}
