#include <gtest/gtest.h>

#include "replace/find_set.h"
#include "replace/replace_pairs.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::ScriptedDialogs;
using vesk::test::TempTree;

TEST(FindSetFile, AcceptsOnlyLinesWithAFindString) {
    const std::string text = "one\tuno\r\n"
                             "\r\n"
                             "    \n"
                             "\tonly a replacement\n"
                             "  \tblank find\n"
                             "two\n"
                             "three\ttres\textra\n"
                             " four \t cuatro \r"
                             "last\tfinal"; // no line end
    const std::vector<FindPair> expected = {
        {"one", "uno"}, {"two", ""}, {"three", "tres"}, {" four ", " cuatro "}, {"last", "final"}};
    EXPECT_EQ(parseFindSet(text), expected);
}

TEST(FindSetFile, ImportReplacesTheTableOrLeavesItAlone) {
    TempTree t;
    ScriptedDialogs dialogs;
    StringSlots table;
    table.FindCount = 3;
    for (int i = 0; i < 5; ++i) {
        table.FindStrings[i] = "old" + std::to_string(i);
        table.ReplaceStrings[i] = "rep" + std::to_string(i);
    }

    EXPECT_FALSE(ImportFindSet(2, t.path("missing.txt"), table, dialogs));
    EXPECT_EQ(table.FindCount, 3);
    EXPECT_TRUE(dialogs.messages.empty());

    const std::string set = t.write("set.txt", "a\tb\n\nc\n");
    ASSERT_TRUE(ImportFindSet(2, set, table, dialogs));
    EXPECT_EQ(table.FindCount, 2);
    EXPECT_EQ(table.FindStrings[1], "c");
    EXPECT_EQ(table.ReplaceStrings[1], "");
    EXPECT_EQ(table.FindStrings[4], ""); // leftovers are cleared

    // One column: the replacements stay as they were.
    table.ReplaceStrings[0] = "kept";
    ASSERT_TRUE(ImportFindSet(1, t.write("finds.txt", "x\ty\n"), table, dialogs));
    EXPECT_EQ(table.FindCount, 1);
    EXPECT_EQ(table.FindStrings[0], "x");
    EXPECT_EQ(table.ReplaceStrings[0], "kept");
}

TEST(FindSetFile, MoreThan200PairsAreRefusedWhole) {
    TempTree t;
    ScriptedDialogs dialogs;
    StringSlots table;
    table.FindCount = 1;
    table.FindStrings[0] = "mine";
    std::string text;
    for (int i = 0; i < 201; ++i)
        text += "s" + std::to_string(i) + "\tr\n";
    EXPECT_FALSE(ImportFindSet(2, t.write("big.txt", text), table, dialogs));
    EXPECT_EQ(table.FindCount, 1);
    EXPECT_EQ(table.FindStrings[0], "mine");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("201"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].find("200"), std::string::npos);

    // Exactly 200 load.
    text.clear();
    for (int i = 0; i < 200; ++i)
        text += "s" + std::to_string(i) + "\n";
    EXPECT_TRUE(ImportFindSet(2, t.write("max.txt", text), table, dialogs));
    EXPECT_EQ(table.FindCount, 200);
    EXPECT_EQ(table.FindStrings[199], "s199");
}

TEST(FindSetGrid, RoundTripThroughTheGridCompacts) {
    ScriptedDialogs dialogs;
    StringSlots table;
    StringGrid grid(2, 4);
    grid.setCell(0, 0, "alpha");
    grid.setCell(1, 0, "A");
    grid.setCell(0, 1, "   "); // blank: leaves no gap
    grid.setCell(1, 1, "lost");
    grid.setCell(0, 2, " beta ");
    grid.setCell(1, 2, "B");
    auto text = GridToFindSet(2, grid, table, dialogs);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "<alpha>< beta >");
    EXPECT_EQ(table.FindCount, 2);
    EXPECT_EQ(table.ReplaceStrings[1], "B");

    StringGrid back(2, 9);
    FindSetToGrid(2, table, &back);
    EXPECT_EQ(back.rowCount(), 2);
    EXPECT_EQ(back.cell(0, 1), " beta ");
    EXPECT_EQ(back.cell(1, 1), "B");
    FindSetToGrid(2, table, nullptr); // no grid: nothing happens

    StringGrid one(1, 1);
    one.setCell(0, 0, "solo");
    EXPECT_EQ(GridToFindSet(1, one, table, dialogs), std::optional<std::string>("solo"));
}

TEST(ReplacePairs, CountFollowsTheRowsSoBlankRowsReachTheRun) {
    ScriptedDialogs dialogs;
    StringSlots table;
    table.FindCount = 1;
    table.FindStrings[0] = "x";
    table.FindStrings[2] = "leftover";
    StringGrid grid(2, 3);
    grid.setCell(0, 0, "foo ");
    grid.setCell(1, 0, "bar");
    grid.setCell(0, 2, "baz");
    ASSERT_TRUE(GridToPairs(grid, table, dialogs));
    EXPECT_EQ(table.FindCount, 3);
    EXPECT_EQ(table.FindStrings[0], "foo "); // as typed
    EXPECT_EQ(table.FindStrings[1], "");     // caught as a blank element by the run
    EXPECT_EQ(table.FindStrings[2], "baz");

    const PairsDisplay d = pairsDisplay(table);
    EXPECT_EQ(d.searchText, "Replace - Strings to find:\r\n,foo ,baz");
    EXPECT_EQ(d.hint, "foo \nbaz");
    EXPECT_EQ(d.countLabel, "3 Strings");
    table.FindCount = 1;
    EXPECT_EQ(pairsDisplay(table).countLabel, "1 String");
}

TEST(ReplacePairs, EmptyTableShowsTheSearchStringInBothColumns) {
    StringSlots table;
    StringGrid grid(2, 5);
    EXPECT_EQ(PairsToGrid(table, grid, "needle"), 1);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(0, 0), "needle");
    EXPECT_EQ(grid.cell(1, 0), "needle");
    EXPECT_EQ(table.ReplaceStrings[0], "needle");
    EXPECT_EQ(findStringsCountText(1), "Number strings to search for=1");
}

TEST(ReplacePairs, NumberOfRowsTyped) {
    ScriptedDialogs dialogs;
    for (const auto& [text, rows] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"-3", 1}, {"x", 1}, {"", 1}, {" 7", 7}, {"200", 200}}) {
        EXPECT_EQ(gridRowsFromText(text, dialogs), rows) << text;
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(gridRowsFromText("500", dialogs), 200);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}
