// How the results grid classes and draws its rows, moves between files, and sizes its font.

#include "results/results_grid.h"

#include "lib/grid_routines.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vesk {
namespace {

using Row = std::array<std::string, 4>;

void fill(StringGrid& g, const std::vector<Row>& rows) {
    g.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            g.setCell(c, r, rows[static_cast<std::size_t>(r)][c]);
}

TEST(RowKind, ByColumnZeroTrimmed) {
    struct Case {
        const char* col0;
        RowKind kind;
    };
    for (const Case c :
         {Case{"", RowKind::Heading}, Case{"   ", RowKind::Heading}, Case{"-1", RowKind::Error},
          Case{" -1 ", RowKind::Error}, Case{"1", RowKind::Match}, Case{"-2", RowKind::Match},
          Case{"-10", RowKind::Match}, Case{"0", RowKind::Match}})
        EXPECT_EQ(rowKindOf(c.col0), c.kind) << "'" << c.col0 << "'";
}

TEST(CellLook, HeadingColourIsDecidedByTheLastExtensionFound) {
    struct Case {
        const char* text;
        Rgb color;
    };
    for (const Case c : {Case{"Searching 3 files/folders starts 10:00:00", kPurple},
                         Case{"/src/main.pas", kMaroon}, Case{"/src/MAIN.DFM", kGreen},
                         Case{"/src/a.txt", kBlack}, Case{"/src/a.pas and b.txt", kBlack},
                         Case{"/x.txt.pas", kBlack}, Case{"/src/b.dfm from a.pas", kGreen},
                         Case{"/src/a.Pas", kMaroon}, Case{"/src/pas.cpp", kPurple}}) {
        StringGrid g;
        g.setRowCount(2);
        g.setRow(1);
        g.setCell(1, 0, c.text);
        g.setCell(2, 0, c.text);
        for (int col = 0; col < 4; ++col) {
            const CellLook look = resultCellLook(g, col, 0, 9);
            EXPECT_EQ(look.color, c.color) << c.text << " column " << col;
            EXPECT_TRUE(look.bold);
            EXPECT_EQ(look.background, kWhite);
        }
    }
}

TEST(CellLook, MatchAndErrorRows) {
    StringGrid g;
    fill(g, {{"", "/src/a.pas", "/src/a.pas", ""},
             {"12", "uses a.pas, b.txt;", "/src/a.pas", "6"},
             {"-1", "/src/big.pas", "/src/big.pas", ""},
             {"-1", "-1", "/src/big.pas", ""},
             {" -1", "timed out", "/src/big.pas", ""}});
    g.setRow(0);

    const CellLook match = resultCellLook(g, 1, 1, 9);
    EXPECT_EQ(match.color, kNavy); // extensions colour headings only
    EXPECT_FALSE(match.bold);
    EXPECT_EQ(match.text, "uses a.pas, b.txt;");
    EXPECT_EQ(resultCellLook(g, 0, 1, 9).text, "12");

    for (int row = 2; row <= 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const CellLook look = resultCellLook(g, col, row, 9);
            EXPECT_EQ(look.color, kRed) << row << "/" << col;
            EXPECT_FALSE(look.bold) << row << "/" << col;
        }
    }
    EXPECT_EQ(resultCellLook(g, 0, 2, 9).text, "");
    EXPECT_EQ(resultCellLook(g, 1, 2, 9).text, "/src/big.pas");
    EXPECT_EQ(resultCellLook(g, 1, 3, 9).text, "-1");  // only column 0 hides the marker
    EXPECT_EQ(resultCellLook(g, 0, 4, 9).text, " -1"); // not exactly "-1": written as it is
}

TEST(CellLook, CurrentRowIsShadedInEveryColumnAndKind) {
    StringGrid g;
    fill(g, {{"", "/src/a.pas", "/src/a.pas", ""},
             {"3", "x", "/src/a.pas", "1"},
             {"-1", "/src/b", "/src/b", ""}});
    for (int row = 0; row < 3; ++row) {
        g.setRow(row);
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 4; ++col)
                EXPECT_EQ(resultCellLook(g, col, r, 9).background,
                          r == row ? kCurrentRowBackground : kWhite)
                    << "current " << row << " cell " << r << "/" << col;
    }
}

TEST(CellLook, UsesTheWindowFontSizeAndDrawsNothingWhileHidden) {
    StringGrid g;
    g.setFontSize(8); // the grid's own font, capped by fitting, is not the drawing size
    EXPECT_EQ(resultCellLook(g, 0, 0, 13).fontSize, 13);
    g.setVisible(false);
    EXPECT_TRUE(resultCellLook(g, 0, 0, 9).drawNothing);
}

// Two files and the rows around them as a run writes them.
class FileNavigation : public ::testing::Test {
protected:
    void SetUp() override {
        fill(grid, {{"", "Searching 2 files/folders starts 10:00:00", "", ""}, // 0
                    {"", "/src/A.pas", "/src/A.pas", ""},                      // 1
                    {"3", "one", "/src/A.pas", "1"},                           // 2
                    {"8", "two", "/src/A.pas", "1"},                           // 3
                    {"", "/src/b.pas", "/src/b.pas", ""},                      // 4
                    {"2", "three", " /SRC/B.PAS ", "1"},                       // 5
                    {"9", "four", "/src/b.pas", "1"},                          // 6
                    {"", "done", "", ""}});                                    // 7
    }
    StringGrid grid;
};

TEST_F(FileNavigation, PrevFromFirstMatchLandsOnLastRowOfPrecedingFile) {
    grid.setRow(5);
    EXPECT_TRUE(PrevFile(grid));
    EXPECT_EQ(grid.row(), 3);
    EXPECT_TRUE(NextFile(grid));
    EXPECT_EQ(grid.row(), 4); // the next file's heading
}

TEST_F(FileNavigation, NamesEqualAfterTrimmingAndUpperCasingAreOneFile) {
    grid.setRow(4);
    EXPECT_TRUE(NextFile(grid));
    EXPECT_EQ(grid.row(), 7);
    grid.setRow(6);
    EXPECT_TRUE(PrevFile(grid));
    EXPECT_EQ(grid.row(), 3);
}

TEST_F(FileNavigation, NothingMovesAtTheEnds) {
    grid.setRow(0);
    EXPECT_FALSE(PrevFile(grid));
    EXPECT_EQ(grid.row(), 0);
    grid.setRow(7);
    EXPECT_FALSE(NextFile(grid));
    EXPECT_EQ(grid.row(), 7);
}

TEST(FileNavigationEdges, OneFileOrAnEmptyGridGoesNowhere) {
    StringGrid one;
    fill(one, {{"", "/a", "/a", ""}, {"1", "x", "/a", "1"}, {"2", "y", "/A ", "1"}});
    one.setRow(0);
    EXPECT_FALSE(NextFile(one));
    EXPECT_EQ(one.row(), 0);
    one.setRow(2);
    EXPECT_FALSE(PrevFile(one));
    EXPECT_EQ(one.row(), 2);

    StringGrid empty;
    EXPECT_FALSE(NextFile(empty));
    EXPECT_FALSE(PrevFile(empty));
    EXPECT_EQ(empty.row(), 0);
}

TEST(FontSize, StepsWithinFourToTwentyAndSetsTheRowHeight) {
    struct Case {
        int size, step, want, height;
    };
    for (const Case c : {Case{9, 1, 10, 18}, Case{9, -1, 8, 14}, Case{4, -1, 4, 6},
                         Case{20, 1, 20, 38}, Case{5, -1, 4, 6}, Case{19, 1, 20, 38}}) {
        StringGrid g;
        EXPECT_EQ(changeGridFontSize(g, c.size, c.step), c.want) << c.size << " " << c.step;
        EXPECT_EQ(g.defaultRowHeight(), c.height) << c.size << " " << c.step;
        EXPECT_TRUE(g.visible());
    }
}

TEST(FontSize, SmallestSizeRowHeightHoldsUntilTheNextFit) {
    StringGrid g;
    g.width = 800;
    changeGridFontSize(g, 4, -1);
    EXPECT_EQ(g.defaultRowHeight(), 6);
    FitResultColumns(g);
    EXPECT_EQ(g.defaultRowHeight(), 16);
}

TEST(FitResultColumns, WidensANarrowLineNumberColumnBeforeFitting) {
    struct Case {
        int col0, want0, want1;
    };
    // 765 shared by 40 + 744 (784) or 30 + 744 (774).
    for (const Case c : {Case{0, 39, 725}, Case{29, 39, 725}, Case{30, 29, 735}}) {
        StringGrid g;
        g.width = 800;
        g.setColWidth(0, c.col0);
        g.setColWidth(1, 744);
        g.setColWidth(2, 0);
        g.setColWidth(3, 0);
        FitResultColumns(g);
        EXPECT_EQ(g.colWidth(0), c.want0) << c.col0;
        EXPECT_EQ(g.colWidth(1), c.want1) << c.col0;
        EXPECT_EQ(g.colWidth(2), 0);
        EXPECT_EQ(g.colWidth(3), 0);
    }
}

TEST(FitResultColumns, DesignWidthsOnWideAndNarrowGridsKeepLineNumbersNarrow) {
    // The window's grid at 1280 and 1920 pixels, and a narrow one: the line-number column stays
    // at most 80 pixels, the hidden columns stay hidden, and the text column takes the rest.
    for (const int width : {600, 1265, 1905}) {
        StringGrid g;
        setDesignColumnWidths(g);
        g.width = width;
        FitResultColumns(g);
        EXPECT_LE(g.colWidth(0), kMaxNumberColumnWidth) << width;
        EXPECT_GE(g.colWidth(0), 30) << width;
        EXPECT_EQ(g.colWidth(2), 0);
        EXPECT_EQ(g.colWidth(3), 0);
        EXPECT_LE(g.colWidth(0) + g.colWidth(1), width - kGridFitMargin) << width;
        EXPECT_GE(g.colWidth(0) + g.colWidth(1), width - kGridFitMargin - 2) << width;
        // Fitting again at the same width changes nothing.
        const int before1 = g.colWidth(1);
        FitResultColumns(g);
        EXPECT_EQ(g.colWidth(1), before1) << width;
    }
}

TEST(DesignWidths, ARunNeverWidensTheTextColumnPastTheGrid) {
    // Captured on a narrow grid, then the window was maximised and column 0 fitted wider than at
    // capture: column 1 must still end inside the grid, or the line numbers scroll away.
    StringGrid g;
    setDesignColumnWidths(g);
    g.width = 1000;
    FitResultColumns(g);
    DesignWidths design;
    design.capture(g);
    g.width = 1905;
    FitResultColumns(g);
    g.setColWidth(1, design.runColumn1Width(g));
    EXPECT_LE(g.colWidth(0) + g.colWidth(1), g.width - kGridFitMargin);
    EXPECT_GE(g.colWidth(1), (g.width - kGridFitMargin) * 9 / 10);
}

TEST(SetGridDisplay, ItemsHideOrDisable) {
    struct Case {
        int item;
        bool visible, enabled;
    };
    for (const Case c : {Case{0, false, true}, Case{1, true, false}, Case{2, false, true},
                         Case{-1, true, true}, Case{3, true, true}}) {
        StringGrid g;
        SetGridDisplay(g, c.item, false);
        EXPECT_EQ(g.visible(), c.visible) << c.item;
        EXPECT_EQ(g.enabled(), c.enabled) << c.item;
        SetGridDisplay(g, c.item, true);
        EXPECT_TRUE(g.visible());
        EXPECT_TRUE(g.enabled());
    }
    EXPECT_EQ(kSpeedDisplayItems[1], "1 - enable/disable");
}

TEST(DesignWidths, CapturedOnceAndFollowTheGridWidth) {
    StringGrid g;
    g.width = 900;
    g.setColWidth(1, 744);
    DesignWidths design;
    design.capture(g);
    g.width = 1200;
    g.setColWidth(1, 100);
    design.capture(g); // a later showing does not capture again
    EXPECT_EQ(design.grid, 900);
    EXPECT_EQ(design.column1, 744);
    EXPECT_EQ(design.runColumn1Width(g), 1044);
    g.width = 100; // far narrower than designed: column 1 shrinks but stays shown
    EXPECT_EQ(design.runColumn1Width(g), 1);
}

TEST(Hints, ClickHintHasFourLines) {
    EXPECT_EQ(clickHint("/src/a b.pas", "07-Dec-26 09:05 size=120"),
              "/src/a b.pas\r\n07-Dec-26 09:05 size=120\r\nCTRL+F=Find  F3=Next Shift+F3=Prev\r\n"
              "CTRL+N=Next File   CTRL+P=Prev File");
    EXPECT_EQ(clickHint("", ""),
              "\r\n\r\nCTRL+F=Find  F3=Next Shift+F3=Prev\r\nCTRL+N=Next File   CTRL+P=Prev File");
}

} // namespace
} // namespace vesk
