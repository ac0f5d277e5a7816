// Find, find next/previous and fitting on a plain grid.

#include "lib/grid_routines.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace vesk {
namespace {

using Row = std::array<std::string, 4>;

void fill(StringGrid& g, const std::vector<Row>& rows) {
    g.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            g.setCell(c, r, rows[static_cast<std::size_t>(r)][c]);
}

// A small run: a heading, two matches of one file, a heading and a match of another.
const std::vector<Row> kRun = {
    {"", "Searching 2 files/folders starts 10:00:00", "", ""},
    {"", "/src/unit1.pas", "/src/unit1.pas", ""},
    {"12", "  Result := Total;", "/src/unit1.pas", "3"},
    {"40", "  total := 0;", "/src/unit1.pas", "3"},
    {"", "/src/notes.txt", "/src/notes.txt", ""},
    {"7", "Totally", "/src/notes.txt", "1"},
};

class GridSearchTest : public ::testing::Test {
protected:
    void SetUp() override { fill(grid, kRun); }
    StringGrid grid;
    GridFindState state;
    test::ScriptedDialogs dialogs;
};

TEST_F(GridSearchTest, PromptsWithItsCaptionAndTakesTheAnswer) {
    dialogs.prompts.push_back(std::string("TOTAL"));
    xcGridSearch(grid, state, dialogs);
    ASSERT_EQ(dialogs.questions, std::vector<std::string>{"Find:|Text to find:"});
    EXPECT_EQ(state.findText, "TOTAL");
    EXPECT_TRUE(state.found);
    EXPECT_EQ(grid.row(), 2); // any case, and the column where it was found becomes current
    EXPECT_EQ(grid.col(), 1);
}

TEST_F(GridSearchTest, CancelKeepsTheProposedCellWhichStartsInColumnZero) {
    grid.setRow(2);
    dialogs.prompts.push_back(std::nullopt);
    xcGridSearch(grid, state, dialogs);
    EXPECT_EQ(state.findText, "12"); // the line number, not the line text
    EXPECT_FALSE(state.found);       // no later row holds "12"
    EXPECT_EQ(grid.row(), 2);
}

TEST_F(GridSearchTest, ProposesTheCellOfTheColumnTheLastFindMovedTo) {
    dialogs.prompts.push_back(std::string("notes"));
    xcGridSearch(grid, state, dialogs); // found in column 1 of row 4
    ASSERT_EQ(grid.col(), 1);
    dialogs.prompts.push_back(std::nullopt);
    xcGridSearch(grid, state, dialogs);
    EXPECT_EQ(state.findText, "/src/notes.txt");
    EXPECT_TRUE(state.found); // row 5 holds it in its hidden file column
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 2);
}

TEST_F(GridSearchTest, FindsTextThatOnlyTheHiddenColumnsHold) {
    grid.setColWidth(2, 0);
    grid.setColWidth(3, 0);
    state.findText = "UNIT1";
    grid.setRow(1);
    xcGridSearchNext(grid, state);
    EXPECT_TRUE(state.found);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 2);
}

TEST_F(GridSearchTest, NextStartsBelowTheCurrentRowAndDoesNotWrap) {
    state.findText = "total";
    grid.setRow(2); // holds "Total" itself
    xcGridSearchNext(grid, state);
    EXPECT_EQ(grid.row(), 3);
    xcGridSearchNext(grid, state);
    EXPECT_EQ(grid.row(), 5);
    xcGridSearchNext(grid, state);
    EXPECT_FALSE(state.found);
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 1);
}

TEST_F(GridSearchTest, PrevSearchesUpToRowZeroWithoutWrapping) {
    state.findText = "searching";
    grid.setRow(5);
    xcGridSearchPrev(grid, state);
    EXPECT_TRUE(state.found);
    EXPECT_EQ(grid.row(), 0);
    state.findText = "totally";
    xcGridSearchPrev(grid, state);
    EXPECT_FALSE(state.found);
    EXPECT_EQ(grid.row(), 0);
}

TEST_F(GridSearchTest, PrevStopsAtTheFirstNonFixedRow) {
    grid.fixedRows = 1;
    state.findText = "searching"; // only in the fixed row 0
    grid.setRow(3);
    xcGridSearchPrev(grid, state);
    EXPECT_FALSE(state.found);
    EXPECT_EQ(grid.row(), 3);
    state.findText = "unit1.pas";
    xcGridSearchPrev(grid, state);
    EXPECT_EQ(grid.row(), 2); // within a row the columns are tried from the left
    EXPECT_EQ(grid.col(), 2);
}

TEST_F(GridSearchTest, EmptyFindTextClearsTheFoundFlagAndMovesNothing) {
    state.found = true;
    grid.setRow(1);
    dialogs.prompts.push_back(std::string());
    xcGridSearch(grid, state, dialogs);
    EXPECT_FALSE(state.found);
    EXPECT_EQ(grid.row(), 1);
    state.found = true;
    xcGridSearchPrev(grid, state);
    EXPECT_FALSE(state.found);
}

struct FitCase {
    const char* name;
    int gridWidth;
    std::array<int, 4> before;
    std::array<int, 4> after;
};

class GridFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(GridFitTest, SharesTheWidthAmongShownColumns) {
    const FitCase& c = GetParam();
    StringGrid g;
    g.width = c.gridWidth;
    for (int i = 0; i < 4; ++i)
        g.setColWidth(i, c.before[i]);
    xcGridFit(g, true);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g.colWidth(i), c.after[i]) << "column " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Widths, GridFitTest,
    ::testing::Values(
        // 765 available: 765*44/788 and 765*744/788, rounded down.
        FitCase{"Design", 800, {44, 744, 0, 0}, {42, 722, 0, 0}},
        // Width 5 weighs as 10 in the sum (110) but keeps its own share: 765*5/110 = 34.
        FitCase{"NarrowCountsAsTen", 800, {5, 100, 0, 0}, {34, 695, 0, 0}},
        FitCase{"TenIsNotRaised", 800, {10, 100, 0, 0}, {69, 695, 0, 0}},
        FitCase{"ElevenCountsAsItself", 800, {11, 100, 0, 0}, {75, 689, 0, 0}},
        FitCase{"OneCountsAsTen", 235, {1, 10, 10, 10}, {5, 50, 50, 50}},
        FitCase{"Widening", 1635, {42, 722, 0, 0}, {87, 1512, 0, 0}},
        // Too narrow to share: left alone rather than shrunk to nothing.
        FitCase{"NarrowerThanMargin", 30, {44, 744, 0, 0}, {44, 744, 0, 0}},
        FitCase{"AllHidden", 800, {0, 0, 0, 0}, {0, 0, 0, 0}},
        FitCase{"TinyShareStaysShown", 36, {44, 744, 0, 0}, {1, 1, 0, 0}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(GridFit, WithoutColumnFittingOnlyRowHeightAndFontChange) {
    StringGrid g;
    g.width = 2000;
    g.setColWidth(1, 744);
    g.setDefaultRowHeight(6);
    g.setFontSize(4);
    xcGridFit(g, false);
    EXPECT_EQ(g.colWidth(1), 744);
    EXPECT_EQ(g.defaultRowHeight(), 16);
    EXPECT_EQ(g.fontSize(), 4);
}

TEST(GridFit, CapsTheFontToTheRowHeight) {
    struct Case {
        int rowHeight, font, wantHeight, wantFont;
    };
    for (const Case c : {Case{16, 9, 16, 8}, Case{6, 20, 16, 8}, Case{18, 12, 18, 10},
                         Case{38, 20, 38, 20}, Case{17, 9, 17, 9}, Case{16, 7, 16, 7}}) {
        StringGrid g;
        g.setDefaultRowHeight(c.rowHeight);
        g.setFontSize(c.font);
        xcGridFit(g, true);
        EXPECT_EQ(g.defaultRowHeight(), c.wantHeight) << c.rowHeight << "/" << c.font;
        EXPECT_EQ(g.fontSize(), c.wantFont) << c.rowHeight << "/" << c.font;
    }
}

} // namespace
} // namespace vesk
