#include <gtest/gtest.h>

#include "search/file_mask.h"

using vesk::FileMask;
using vesk::InvalidMaskError;

struct MaskCase {
    const char* mask;
    const char* name;
    bool match;
};

class MaskMatching : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskMatching, WholeNameAgainstWholeMask) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(FileMask(c.mask).matches(c.name), c.match) << c.mask << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MaskMatching,
    ::testing::Values(MaskCase{"*.pas", "UNIT1.PAS", true}, // case ignored
                      MaskCase{"*.*", "Makefile", false},   // "*.*" needs a dot
                      MaskCase{"*.*", "a.b.c", true}, MaskCase{"*", "", true},
                      MaskCase{"?", "", false}, MaskCase{"a?c", "abc", true},
                      MaskCase{"a?c", "ac", false},
                      MaskCase{"a*?", "a", true}, // "*?" is the same as "*"
                      MaskCase{"[a-c]*.txt", "b1.txt", true},
                      MaskCase{"[a-c]*.txt", "d1.txt", false},
                      MaskCase{"[!a-c]*.txt", "d1.txt", true},
                      MaskCase{"[!a-c]*.txt", "B1.txt", false}, // sets ignore case too
                      MaskCase{"[xyz].c", "Y.c", true},
                      MaskCase{"*.pas", "unit.pas.bak", false}, // the whole name must match
                      MaskCase{"*a*b*c", "xxaxxbxxcxxc", true}, // backtracking over stars
                      MaskCase{"*.ä", "x.ä", true}));           // other bytes match themselves

TEST(MaskErrors, InvalidMasksNameTheirFault) {
    try {
        FileMask m("[abc");
        FAIL() << "unclosed set accepted";
    } catch (const InvalidMaskError& e) {
        EXPECT_EQ(std::string(e.what()), "'[abc' is an invalid mask at (5)");
    }
    try {
        FileMask m("x[-a]");
        FAIL() << "dash without a character before it accepted";
    } catch (const InvalidMaskError& e) {
        EXPECT_EQ(e.position(), 3);
    }
    EXPECT_NO_THROW(FileMask(std::string(30, '*')));
    EXPECT_THROW(FileMask(std::string(31, '*')), InvalidMaskError);
}

TEST(ListingPattern, StarDotStarListsEverything) {
    EXPECT_TRUE(vesk::matchesListingPattern("*.*", "Makefile"));
    EXPECT_TRUE(vesk::matchesListingPattern("*.*", "."));
    EXPECT_TRUE(vesk::matchesListingPattern("*.TXT", "a.txt"));
    EXPECT_FALSE(vesk::matchesListingPattern("*.txt", "a.txt.old"));
    EXPECT_FALSE(vesk::matchesListingPattern("[a]*", "abc")); // sets are not understood
}
