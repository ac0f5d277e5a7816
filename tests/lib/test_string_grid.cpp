#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "lib/string_grid.h"

using namespace vesk;

TEST(StringGrid, NewRowGrowsBlanksAndSelects) {
    StringGrid g(4, 1);
    g.setCell(1, 0, "stale");
    int last = -1;
    xcGridNewRow(g, last);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(g.cell(1, 0), ""); // the reused row is blanked
    xcGridNewRow(g, last);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.row(), 1);

    StringGrid withHeader(2, 1);
    withHeader.fixedRows = 1;
    int idx = -1;
    xcGridNewRow(withHeader, idx); // never writes over the fixed row
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(withHeader.rowCount(), 2);
}

TEST(StringGrid, MarksFollowTheirRowsAndGoWithThem) {
    StringGrid g(4, 1);
    int row = -1;
    for (int i = 0; i < 4; ++i)
        xcGridNewRow(g, row);
    const TextMark one{3, 2};
    const std::vector<TextMark> several{{0, 1}, {5, 3}};
    g.setMarks(1, std::span<const TextMark>(&one, 1));
    g.setMarks(2, several);
    EXPECT_EQ(std::vector<TextMark>(g.marks(1).begin(), g.marks(1).end()),
              std::vector<TextMark>{one});
    EXPECT_EQ(std::vector<TextMark>(g.marks(2).begin(), g.marks(2).end()), several);
    EXPECT_TRUE(g.marks(0).empty());
    EXPECT_TRUE(g.marks(9).empty());

    // A row used again starts without marks; removed rows take theirs along.
    xcGridNewRow(g, row = 0);
    EXPECT_TRUE(g.marks(1).empty());
    g.setRowCount(2);
    g.setRowCount(4);
    EXPECT_TRUE(g.marks(2).empty());

    // Cleared for a new run, no row keeps a mark, however many each row had.
    g.setMarks(0, several);
    xcGridClear(g, 0);
    EXPECT_TRUE(g.marks(0).empty());
    g.setRowCount(3);
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(g.marks(r).empty()) << r;
}

TEST(StringGrid, RotatedRowsTakeTheirCellsAndMarks) {
    StringGrid g(4, 1);
    int row = -1;
    for (const char* text : {"head", "a", "b", "c", "d", "tail"}) {
        xcGridNewRow(g, row);
        g.setCell(1, row, text);
        g.setCell(2, row, "same file"); // shared with the row above
    }
    const TextMark one{1, 2};
    const std::vector<TextMark> several{{0, 1}, {2, 1}};
    g.setMarks(1, std::span<const TextMark>(&one, 1));
    g.setMarks(4, several);

    g.rotateRows(1, 3, 5); // c, d before a, b
    std::vector<std::string> order;
    for (int r = 0; r < g.rowCount(); ++r)
        order.emplace_back(g.cell(1, r));
    EXPECT_EQ(order, (std::vector<std::string>{"head", "c", "d", "a", "b", "tail"}));
    for (int r = 0; r < g.rowCount(); ++r)
        EXPECT_EQ(g.cell(2, r), "same file") << r;
    EXPECT_EQ(std::vector<TextMark>(g.marks(2).begin(), g.marks(2).end()), several);
    EXPECT_EQ(std::vector<TextMark>(g.marks(3).begin(), g.marks(3).end()),
              std::vector<TextMark>{one});
    EXPECT_TRUE(g.marks(1).empty());

    // Ranges outside the grid or out of order change nothing.
    g.rotateRows(4, 5, 9);
    g.rotateRows(3, 2, 5);
    EXPECT_EQ(g.cell(1, 4), "b");
    EXPECT_EQ(g.cell(1, 5), "tail");
}

TEST(StringGrid, ClearToNothingOrToARow) {
    StringGrid g(4, 1);
    int last = -1;
    for (int i = 0; i < 5; ++i) {
        xcGridNewRow(g, last);
        g.setCell(1, last, "row " + std::to_string(i));
    }
    xcGridClear(g, 2);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(1, 0), "");
    EXPECT_EQ(g.cell(1, 2), "");
    EXPECT_EQ(g.row(), 2);
    xcGridClear(g, 0);
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.cell(1, 0), "");
}

TEST(StringGrid, CellsSurviveSharingAndCompaction) {
    StringGrid g(4, 1);
    int last = -1;
    const std::string path = "/some/long/folder/name/file.txt";
    const std::string longLine(300000, 'x'); // takes a chunk of its own
    for (int i = 0; i < 20000; ++i) {
        xcGridNewRow(g, last);
        g.setCell(0, last, std::to_string(i + 1));
        g.setCell(1, last, i == 7 ? longLine : "line text number " + std::to_string(i));
        g.setCell(2, last, path);
    }
    EXPECT_EQ(g.cell(1, 7), longLine);
    EXPECT_EQ(g.cell(2, 19999), path);
    g.setCell(2, 5, "other"); // one row leaves the shared cell; the rows around keep theirs
    EXPECT_EQ(g.cell(2, 4), path);
    EXPECT_EQ(g.cell(2, 6), path);
    g.setRowCount(10); // shrinking rebuilds the arena from what is left
    EXPECT_EQ(g.cell(1, 7), longLine);
    EXPECT_EQ(g.cell(1, 9), "line text number 9");
    EXPECT_EQ(g.cell(2, 5), "other");
    EXPECT_EQ(g.cell(2, 9), path);
    EXPECT_LT(g.arenaBytes(), 4u * 1024 * 1024);
    EXPECT_EQ(g.cell(9, 0), ""); // out of range reads are empty
}
