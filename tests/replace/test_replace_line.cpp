#include <gtest/gtest.h>

#include "replace/replace_line.h"

using namespace vesk;

namespace {

struct Case {
    const char* name;
    std::string line, find, replacement;
    bool caseInsensitive, wholeWords;
    std::string expected;
    int changes;
};

void runCases(const std::vector<Case>& cases, bool preserve) {
    for (const Case& c : cases) {
        std::string line = c.line;
        int changes = -1;
        if (preserve)
            xcReplaceAllPreserveSpaces(line, c.find, c.replacement, c.caseInsensitive, c.wholeWords,
                                       changes);
        else
            xcReplaceAll(line, c.find, c.replacement, c.caseInsensitive, c.wholeWords, changes);
        EXPECT_EQ(line, c.expected) << c.name;
        EXPECT_EQ(changes, c.changes) << c.name;
    }
}

} // namespace

TEST(ReplaceAll, PlainVariant) {
    runCases(
        {
            {"adjacent occurrences", "abab", "ab", "x", false, false, "xx", 2},
            {"replacement holds the find string", "aa", "a", "aa", false, false, "aaaa", 2},
            {"removal", "aaa", "a", "", false, false, "", 3},
            {"whole words", "ab abc xab ab", "ab", "y", false, true, "y abc xab y", 2},
            {"without case", "ABC abc", "abc", "X", true, false, "X X", 2},
            {"with case", "ABC abc", "abc", "X", false, false, "ABC X", 1},
            {"only a..z fold", "\xC9t\xE9", "\xE9", "e", true, false, "\xC9te", 1},
            {"untouched letters keep their case", "Foo fOO", "foo", "bar", true, false, "bar bar",
             2},
            {"no occurrence", "hello", "xyz", "q", true, false, "hello", 0},
            {"empty find changes nothing", "hello", "", "q", true, false, "hello", 0},
            {"word right after a replacement is a fresh start", "ab ab", "ab", "ab_", false, true,
             "ab_ ab_", 2},
            {"underscore joins words", "a_b a", "a", "z", false, true, "a_b z", 1},
            {"at the very end", "xyab", "ab", "Q", false, false, "xyQ", 1},
        },
        false);
}

TEST(ReplaceAll, PreserveSpacesVariant) {
    runCases(
        {
            {"longer takes from the run", "abc   x", "abc", "abcde", false, false, "abcde x", 1},
            {"shorter widens the run", "abcd=5   x", "abcd", "ab", false, false, "ab=5     x", 1},
            {"run too short: grows", "abc  x", "abc", "abcd", false, false, "abcd  x", 1},
            {"growth of 5 needs a run of 5", "a    x", "a", "bbbbbb", false, false, "bbbbbb    x",
             1},
            {"growth taking the whole run", "a     x", "a", "bbbbbb", false, false, "bbbbbbx", 1},
            {"equal lengths as plain", "abc   x abc", "abc", "xyz", false, false, "xyz   x xyz", 2},
            {"blanks before are never touched", "   ab   x", "ab", "abcd", false, false,
             "   abcd x", 1},
            {"only the first run is used", "ab   x   y", "ab", "abcd", false, false, "abcd x   y",
             1},
            {"trailing blanks", "ab    ", "ab", "a", false, false, "a     ", 1},
            {"two occurrences share columns", "a   b a   c", "a", "aa", false, false, "aa  b aa  c",
             2},
        },
        true);
}

TEST(ReplaceAll, PreserveSpacesKeepsColumnsOfTheRest) {
    for (const char* repl : {"x", "xxxxxx", "xx"}) {
        std::string line = "key = 1          # note";
        const std::size_t before = line.find('#');
        int n = 0;
        xcReplaceAllPreserveSpaces(line, "key", repl, false, false, n);
        EXPECT_EQ(line.find('#'), before) << repl;
        EXPECT_EQ(line.size(), std::string("key = 1          # note").size());
    }
}

TEST(ReplaceAll, StopsAfterThe1001stReplacement) {
    for (bool preserve : {false, true}) {
        std::string line(1500, 'a');
        int n = 0;
        if (preserve)
            xcReplaceAllPreserveSpaces(line, "a", "b", false, false, n);
        else
            xcReplaceAll(line, "a", "b", false, false, n);
        EXPECT_EQ(n, 1001);
        EXPECT_EQ(line, std::string(1001, 'b') + std::string(499, 'a'));
    }
}

TEST(FindFrom, StartAndBoundaries) {
    EXPECT_EQ(xcFindFrom("abcabc", "abc", 0, false, false), 1u);
    EXPECT_EQ(xcFindFrom("abcabc", "abc", 2, false, false), 4u);
    EXPECT_EQ(xcFindFrom("abcabc", "abc", 7, false, false), 0u);
    // The start is a boundary: the character before it is not looked at.
    EXPECT_EQ(xcFindFrom("xab", "ab", 2, false, true), 2u);
    EXPECT_EQ(xcFindFrom("xab", "ab", 1, false, true), 0u);
    EXPECT_EQ(xcFindFrom("ABC", "abc", 1, true, false), 1u);
}

TEST(PadRight, CutsAndPads) {
    EXPECT_EQ(xcPadRight("abc", 5), "abc  ");
    EXPECT_EQ(xcPadRight("abcdef", 3), "abc");
    EXPECT_EQ(xcPadRight("", 0), "");
}

TEST(ReplaceLine, PairsApplyInOrderOnEachOthersOutput) {
    StringSlots t;
    t.FindCount = 3;
    t.FindStrings[0] = "cat";
    t.ReplaceStrings[0] = "dog";
    t.FindStrings[1] = ""; // skipped
    t.ReplaceStrings[1] = "never";
    t.FindStrings[2] = "dog";
    t.ReplaceStrings[2] = "wolf";
    t.FindStrings[3] = "wolf"; // beyond the count
    t.ReplaceStrings[3] = "no";
    std::string line = "cat and dog";
    EXPECT_EQ(ReplaceLine(line, t, {}), 3);
    EXPECT_EQ(line, "wolf and wolf");

    std::string cols = "cat   1";
    t.FindCount = 1;
    EXPECT_EQ(ReplaceLine(cols, t, {true, false, true}), 1);
    EXPECT_EQ(cols, "dog   1");
    EXPECT_TRUE(LineHasFindString("a CAT", t, {true, true, false}));
    EXPECT_FALSE(LineHasFindString("a CAT", t, {false, false, false}));
    EXPECT_FALSE(LineHasFindString("cats", t, {true, true, false}));
}
