// The results grid on screen (offscreen): the model under rows appended in batches and cleared,
// the cell painting, and the keys, clicks and hints of grdFound.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "lib/string_grid.h"
#include "tests/support/fakes.h"
#include "tests/ui/qt_app.h"
#include "ui/grid_delegate.h"
#include "ui/grid_model.h"
#include "ui/results_view.h"

namespace vesk {
namespace {

using Row = std::array<std::string, 4>;

void append(StringGrid& g, int& last, const Row& row) {
    xcGridNewRow(g, last);
    for (int c = 0; c < 4; ++c)
        if (!row[c].empty()) g.setCell(c, last, row[c]);
}

void pump() {
    QCoreApplication::processEvents();
}

std::string text(const GridModel& m, int row, int col) {
    return m.data(m.index(row, col)).toString().toStdString();
}

TEST(GridModel, StaysConsistentWhileRowsAreAppendedAndCleared) {
    StringGrid grid;
    GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    int last = -1;
    for (int i = 0; i < 500; ++i) {
        append(grid, last, {std::to_string(i + 1), "line " + std::to_string(i), "/f", "1"});
        if (i % 97 == 0) pump();
    }
    model.flush();
    ASSERT_EQ(model.rowCount(), 500);
    EXPECT_EQ(text(model, 250, 1), "line 250");

    xcGridClear(grid, 0);
    model.flush();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(text(model, 0, 1), "");

    last = -1;
    for (int i = 0; i < 40; ++i)
        append(grid, last, {"", "again " + std::to_string(i), "", ""});
    pump();
    EXPECT_EQ(model.rowCount(), 40);
    grid.setCell(1, 7, "changed");
    xcGridClear(grid, 3); // the review log's clear: four blank rows, row 3 current
    pump();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(text(model, 2, 1), "");
    grid.setColCount(5);
    pump();
    EXPECT_EQ(model.columnCount(), 5);
}

TEST(GridModel, AppendedRowsReachTheViewsAsOneInsertionPerBatch) {
    StringGrid grid;
    GridModel model(grid);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    int last = -1;
    for (int i = 0; i < 100000; ++i)
        append(grid, last, {"1", "x", "/f", "1"});
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    pump();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(inserted[0][2].toInt(), 99999);
    EXPECT_EQ(model.rowCount(), 100000);
    // Only row 0 was there before and rewritten; the new rows arrive with the insertion.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 0);
    changed.clear();
    grid.setCell(1, 5, "y");
    grid.setCell(1, 70000, "z");
    pump();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 5);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 70000);
}

TEST(GridModel, RowsAppendedWhileHiddenArriveWhenShown) {
    StringGrid grid;
    GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy display(&model, &GridModel::displayChanged);
    grid.setVisible(false);
    int last = -1;
    for (int i = 0; i < 1000; ++i)
        append(grid, last, {"1", "x", "/f", "1"});
    model.flush();
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_GE(display.count(), 1);
    xcGridClear(grid, 0); // clearing cannot wait, hidden or not
    EXPECT_EQ(model.rowCount(), 1);
    last = -1;
    for (int i = 0; i < 10; ++i)
        append(grid, last, {"1", "x", "/f", "1"});
    grid.setVisible(true);
    pump();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(model.rowCount(), 10);
}

TEST(GridModel, CellsAreShownAsUtf8WhenValidElseLatin1) {
    struct Case {
        const char* bytes;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"plain", QStringLiteral("plain")},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                           "e")},
        {"K\xE4se", QString::fromLatin1("K\xE4se")},
        {"cut \xC3", QString::fromLatin1("cut \xC3")},
        {"\xC3\xBC and \xFC", QString::fromLatin1("\xC3\xBC and \xFC")},
    };
    StringGrid grid(4, static_cast<int>(cases.size()));
    for (int r = 0; r < static_cast<int>(cases.size()); ++r)
        grid.setCell(1, r, cases[r].bytes);
    GridModel model(grid);
    for (int r = 0; r < static_cast<int>(cases.size()); ++r)
        EXPECT_EQ(model.data(model.index(r, 1)).toString(), cases[r].shown) << cases[r].bytes;
}

TEST(GridDelegate, LongLinesAreCutBetweenCharacters) {
    EXPECT_EQ(displayPrefix("abcdef", 4), "abcd");
    EXPECT_EQ(displayPrefix("abc", 4), "abc");
    EXPECT_EQ(displayPrefix("ab\xC3\xBC", 3), "ab"); // before a two-byte character
    EXPECT_EQ(displayPrefix("a\xE2\x82\xAC"
                            "b",
                            3),
              "a"); // before a three-byte character
    EXPECT_EQ(displayPrefix("a\xE2\x82\xAC"
                            "b",
                            4),
              "a\xE2\x82\xAC");
    EXPECT_EQ(displayPrefix("\xFC\xFC\xFC\xFC", 2), "\xFC\xFC"); // Latin-1 is cut anywhere
}

// A run's rows: summary, two files, an error group and a closing line.
const std::vector<Row> kRun = {
    {"", "Searching 3 files/folders starts 10:00:00", "", ""}, // 0
    {"", "/src/unit1.pas", "/src/unit1.pas", ""},              // 1
    {"12", "  Result := Total;", "/src/unit1.pas", "13"},      // 2
    {"40", "  total := 0;", "/src/unit1.pas", "3"},            // 3
    {"", "/src/notes.txt", "/src/notes.txt", ""},              // 4
    {"7", "Totally", "/src/notes.txt", "1"},                   // 5
    {"-1", "/src/big.log", "/src/big.log", ""},                // 6
    {"-1", "File too big", "/src/big.log", ""},                // 7
    {"", "(done)", "", ""},                                    // 8
};

class ResultsViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int widths[] = {44, 744, 0, 0};
        for (int c = 0; c < 4; ++c)
            grid.setColWidth(c, widths[c]);
        int last = -1;
        for (const Row& r : kRun)
            append(grid, last, r);
        grid.setRow(0);
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        view = new ResultsView(grid, dialogs, window.get());
        layout->addWidget(view);
        window->resize(900, 400);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        view->setFocus();
        pump();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(view, static_cast<Qt::Key>(k), mods);
    }
    int viewRow() const { return view->currentIndex().row(); }

    StringGrid grid;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<QWidget> window;
    ResultsView* view = nullptr;
};

TEST_F(ResultsViewTest, TakesItsLookFromTheGrid) {
    EXPECT_EQ(view->columnWidth(0), 44);
    EXPECT_EQ(view->columnWidth(1), 744);
    EXPECT_TRUE(view->isColumnHidden(2));
    EXPECT_TRUE(view->isColumnHidden(3));
    EXPECT_EQ(view->rowHeight(5), 16);
    EXPECT_TRUE(view->horizontalHeader()->isHidden());
    EXPECT_TRUE(view->verticalHeader()->isHidden());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->toolTip(), QString::fromLatin1(kFirstClickHint.data(),
                                                   static_cast<qsizetype>(kFirstClickHint.size())));

    EXPECT_EQ(view->changeGridFontSize(+1), 10);
    EXPECT_EQ(view->rowHeight(5), 18);
    grid.setColWidth(1, 300);
    grid.setColWidth(3, 20);
    pump();
    EXPECT_EQ(view->columnWidth(1), 300);
    EXPECT_FALSE(view->isColumnHidden(3));
}

TEST_F(ResultsViewTest, FindKeysPromptAndMoveTheSelection) {
    dialogs.prompts.push_back(std::string("notes"));
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Find:|Text to find:"});
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(viewRow(), 4);

    view->findState().findText = "total";
    key(Qt::Key_F3);
    EXPECT_EQ(viewRow(), 5);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(viewRow(), 3);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(viewRow(), 2);
    key(Qt::Key_F3, Qt::ShiftModifier); // nothing further up: stays
    EXPECT_EQ(viewRow(), 2);
    EXPECT_FALSE(view->findState().found);
}

TEST_F(ResultsViewTest, FileKeysWinOverWindowShortcuts) {
    QAction next(window.get());
    next.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    window->addAction(&next);
    QSignalSpy stolen(&next, &QAction::triggered);

    view->setCurrentIndex(view->model()->index(5, 1));
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(viewRow(), 3);
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(viewRow(), 4);
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(viewRow(), 6);
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_N, Qt::ControlModifier); // the last row: stays
    EXPECT_EQ(viewRow(), 8);
    EXPECT_EQ(stolen.count(), 0);
}

TEST_F(ResultsViewTest, OpenKeysActOnRelease) {
    QSignalSpy viewFile(view, &ResultsView::viewFileRequested);
    QSignalSpy foundWindow(view, &ResultsView::toggleFoundWindowRequested);
    QTest::keyPress(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(viewFile.count(), 0);
    QTest::keyRelease(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(viewFile.count(), 1);
    QTest::keyRelease(view, Qt::Key_V); // without Ctrl: nothing
    EXPECT_EQ(viewFile.count(), 1);
    key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(foundWindow.count(), 1);
    EXPECT_EQ(viewFile.count(), 1);
}

TEST_F(ResultsViewTest, CurrentRowFollowsBothWaysButClicksKeepTheColumn) {
    grid.setCurrent(0, 0);
    view->setCurrentIndex(view->model()->index(5, 1));
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 0);
    grid.setRow(2);
    pump();
    EXPECT_EQ(viewRow(), 2);
    key(Qt::Key_Down);
    EXPECT_EQ(grid.row(), 3);
}

TEST_F(ResultsViewTest, ClickSetsTheFileHint) {
    std::vector<std::string> asked;
    view->setFileInfo([&](const std::string& path) {
        asked.push_back(path);
        return std::string("07-Dec-26 09:05 size=120");
    });
    QSignalSpy clicked(view, &ResultsView::gridClicked);
    QSignalSpy open(view, &ResultsView::openFileRequested);
    const QRect cell = view->visualRect(view->model()->index(5, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(asked, std::vector<std::string>{"/src/notes.txt"});
    EXPECT_EQ(view->toolTip(), QStringLiteral("/src/notes.txt\n07-Dec-26 09:05 size=120\n"
                                              "CTRL+F=Find  F3=Next Shift+F3=Prev\n"
                                              "CTRL+N=Next File   CTRL+P=Prev File"));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(open.count(), 1);
}

TEST_F(ResultsViewTest, TopRowFollowsBothWays) {
    int last = grid.rowCount() - 1;
    for (int i = 0; i < 300; ++i)
        append(grid, last, {"1", "x", "/src/more.pas", "1"});
    grid.setRow(0);
    pump();
    grid.setTopRow(100);
    pump();
    EXPECT_EQ(view->rowAt(0), 100);
    view->verticalScrollBar()->setValue(40);
    EXPECT_EQ(grid.topRow(), 40);
}

TEST_F(ResultsViewTest, PaintsTheCurrentRowShadedAndHidesWithTheGrid) {
    grid.setRow(3);
    pump();
    const QImage image = view->viewport()->grab().toImage();
    const int x = view->columnViewportPosition(1) + 600; // right of any text
    const auto at = [&](int row) {
        return image.pixelColor(x, view->rowViewportPosition(row) + view->rowHeight(row) / 2);
    };
    EXPECT_EQ(at(3), QColor(243, 223, 223));
    EXPECT_EQ(at(2), QColor(255, 255, 255));
    EXPECT_EQ(at(4), QColor(255, 255, 255));

    view->setGridDisplay(0, false);
    EXPECT_TRUE(view->isHidden());
    int last = grid.rowCount() - 1;
    append(grid, last, {"1", "x", "/f", "1"});
    pump();
    EXPECT_EQ(view->model()->rowCount(), static_cast<int>(kRun.size()));
    view->setGridDisplay(0, true);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->model()->rowCount(), static_cast<int>(kRun.size()) + 1);
    view->setGridDisplay(1, false);
    EXPECT_FALSE(view->isEnabled());
    view->setGridDisplay(1, true);
    EXPECT_TRUE(view->isEnabled());
}

TEST_F(ResultsViewTest, AMillionRowsStayQuickToBrowse) {
    xcGridClear(grid, 0);
    int last = -1;
    const int kRows = 1000000;
    for (int i = 0; last < kRows - 1; ++i) {
        const std::string file = "/src/file" + std::to_string(i) + ".pas";
        append(grid, last, {"", file, file, ""});
        for (int line = 1; line <= 999 && last < kRows - 1; ++line)
            append(grid, last, {std::to_string(line), "line text", file, "1"});
        if (i % 100 == 0) pump(); // the run lets events through between files
    }
    pump();
    ASSERT_EQ(view->model()->rowCount(), kRows);

    QElapsedTimer timer;
    timer.start();
    key(Qt::Key_End, Qt::ControlModifier);
    pump();
    EXPECT_EQ(viewRow(), kRows - 1);
    view->setCurrentIndex(view->model()->index(499500, 1));
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(viewRow(), 500000); // files of 1000 rows: the next file's heading
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(viewRow(), 499999);
    EXPECT_EQ(view->changeGridFontSize(+1), 10);
    pump();
    EXPECT_LT(timer.elapsed(), 2000);
}

} // namespace
} // namespace vesk
