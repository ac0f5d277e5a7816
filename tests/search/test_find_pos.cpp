#include <gtest/gtest.h>

#include "search/find_pos.h"

using namespace vesk;

struct PosCase {
    const char* line;
    const char* pattern;
    bool whole;
    bool ci;
    std::size_t pos;
};

class FindPos : public ::testing::TestWithParam<PosCase> {};

TEST_P(FindPos, Position) {
    const PosCase& c = GetParam();
    EXPECT_EQ(xcFindPos(c.line, c.pattern, c.whole, c.ci), c.pos) << c.line << " / " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FindPos,
    ::testing::Values(PosCase{"xab ab", "ab", true, true, 5}, PosCase{"ab_c", "ab", true, true, 0},
                      PosCase{"(ab)", "ab", true, true, 2}, PosCase{"ab", "ab", true, true, 1},
                      PosCase{"foofoo", "foo", true, true, 0},
                      PosCase{"valid id", "id", true, true, 7},
                      PosCase{"id_1 id", "id", true, true, 6},
                      PosCase{"abab ab", "ab", true, false, 6}, // overlapping tries skipped
                      PosCase{"xab   ", "ab", true, false, 0},  // rest blank: give up
                      PosCase{"a\xE9"
                              "b b",
                              "b", true, false, 3}, // bytes above 127 are boundaries
                      PosCase{"STRA\xDF"
                              "E",
                              "stra\xDF"
                              "e",
                              false, true, 1},
                      PosCase{"STRASSE",
                              "stra\xDF"
                              "e",
                              false, true, 0},
                      PosCase{"\xC9", "\xE9", false, true, 0}, // only a..z fold
                      PosCase{"Hello", "hello", false, false, 0}, PosCase{"", "a", false, true, 0},
                      PosCase{"abc", "", false, true, 0}));

TEST(Words, SplitAndAllWords) {
    EXPECT_EQ(xcSplitWords("  alpha\tbeta  b ", 30),
              (std::vector<std::string>{"alpha", "beta", "b"}));
    EXPECT_TRUE(xcSplitSearchWords("single").empty());
    EXPECT_EQ(xcSplitSearchWords("alpha beta ").size(), 2u);
    std::string many;
    for (int i = 0; i < 31; ++i)
        many += "w" + std::to_string(i) + " ";
    EXPECT_EQ(xcSplitSearchWords(many).size(), 30u);

    const auto words = xcSplitSearchWords("alpha beta");
    const AllWordsMatch m = xcMatchAllWords("beta and alpha", words, 2, false, true);
    EXPECT_EQ(m.position, 1u);
    EXPECT_EQ(m.wordsFound, 2u);
    const AllWordsMatch half = xcMatchAllWords("only alpha", words, 2, false, true);
    EXPECT_EQ(half.position, 0u);
    EXPECT_EQ(half.wordsFound, 1u);
}
