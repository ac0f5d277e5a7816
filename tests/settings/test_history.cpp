#include "settings/history.h"
#include "settings/multiple_searches.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

using Strings = std::vector<std::string>;

TEST(History, UniqueWithoutCaseAndListedNewestFirst) {
    Strings list;
    AddToHistory(list, "alpha");
    AddToHistory(list, "Beta");
    AddToHistory(list, "ALPHA"); // the same string in other letters keeps its one entry
    AddToHistory(list, "beta");
    AddToHistory(list, "");
    AddToHistory(list, "gamma ");
    AddToHistory(list, "gamma"); // blanks count: a different string
    EXPECT_EQ(list, (Strings{"alpha", "Beta", "gamma ", "gamma"}));
    EXPECT_EQ(HistoryNewestFirst(list), (Strings{"gamma", "gamma ", "Beta", "alpha"}));
    // Only a..z fold: other bytes must match exactly.
    AddToHistory(list, "\xe9t\xe9");
    AddToHistory(list, "\xc9T\xc9");
    EXPECT_EQ(list.size(), 6u);
}

TEST(History, HoldsOnlyOneLineSearchStrings) {
    std::vector<std::string> list;
    AddToHistory(list, "Replace - Strings to find:\r\n,alpha,beta");
    AddToHistory(list, "Replace - Strings to find:\r\n"); // what keeping the first item leaves
    AddToHistory(list, "two\nlines");
    AddToHistory(list, "cr\ronly");
    AddToHistory(list, "alpha");
    EXPECT_EQ(list, std::vector<std::string>{"alpha"});
}

TEST(History, ButtonAddsTheBoxAndTheLastRunOnlyForASingleString) {
    SearchHistory h;
    h.StringKind = kStringKindMultiple;
    // Advanced strings mode after "Use for Searches": the box holds a joined list, not a string.
    HistoryButtonAdds(h, kModeAdvanced, "a,b", "a");
    EXPECT_TRUE(h.HistoryList.empty());
    EXPECT_EQ(h.StringKind, kStringKindMultiple);

    HistoryButtonAdds(h, kModeSimple, "typed", "searched");
    EXPECT_EQ(h.StringKind, kStringKindSingle);
    EXPECT_EQ(h.HistoryList, (Strings{"typed", "searched"}));
    HistoryButtonAdds(h, kModeAdvanced, "", "SEARCHED");
    EXPECT_EQ(h.HistoryList.size(), 2u);
}

TEST(MultipleSearches, TakingRowsSkipsBlankRowsAndKeepsTheRest) {
    StringSlots slots;
    slots.FindStrings[5] = "left over";
    slots.FindCount = 6;
    EXPECT_EQ(TakeFindSetRows({" one ", "", "   ", "two"}, slots), 0);
    EXPECT_EQ(slots.FindCount, 2);
    EXPECT_EQ(slots.FindStrings[0], " one "); // stored as written
    EXPECT_EQ(slots.FindStrings[1], "two");
    EXPECT_EQ(slots.FindStrings[5], "");
    EXPECT_EQ(FindSetText(slots), "< one ><two>");
    EXPECT_EQ(FindSetRows(slots), (Strings{" one ", "two"}));
}

TEST(MultipleSearches, PastTwoHundredStringsTheRestAreCounted) {
    Strings rows;
    for (int i = 0; i < 205; ++i)
        rows.push_back("s" + std::to_string(i));
    rows.insert(rows.begin() + 3, "");
    StringSlots slots;
    EXPECT_EQ(TakeFindSetRows(rows, slots), 5);
    EXPECT_EQ(slots.FindCount, kMaxStrings);
    EXPECT_EQ(slots.FindStrings[199], "s199");
    EXPECT_EQ(FindSetRows(slots).size(), 200u);
}

TEST(MultipleSearches, JoinedTextAndRowsForFewStrings) {
    StringSlots slots;
    EXPECT_EQ(FindSetText(slots), "");
    EXPECT_EQ(FindSetRows(slots), Strings{""}); // the table keeps one row to type into
    TakeFindSetRows({"only"}, slots);
    EXPECT_EQ(FindSetText(slots), "only");
}

TEST(MultipleSearches, NumberLines) {
    EXPECT_EQ(NumberLinesRows("5"), 5);
    EXPECT_EQ(NumberLinesRows(" 7 "), 7);
    EXPECT_EQ(NumberLinesRows("abc"), 1);
    EXPECT_EQ(NumberLinesRows("5x"), 1);
    EXPECT_EQ(NumberLinesRows(""), 1);
    EXPECT_EQ(NumberLinesRows("<a><b>"), 1);
    EXPECT_EQ(NumberLinesRows("0"), 1);
    EXPECT_EQ(NumberLinesRows("-3"), 1);
    EXPECT_EQ(NumberLinesRows("5000"), kMaxStrings);
    EXPECT_EQ(NumberLinesRows("99999999999999999999999"), kMaxStrings);
}

} // namespace
} // namespace vesk
