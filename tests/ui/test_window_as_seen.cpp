// The main window shown at a real size and laid out by Qt, as a person sees it: the results
// grid's column widths and horizontal scroll, Enter on a focused button, the caption, the status
// of a refused run, and the listing compared with vesk-cli's.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>

#include "results/text_listing.h"
#include "results/text_report.h"
#include "settings/settings.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk1.h"
#include "ui/frm_vesk_replace.h"
#include "ui/results_view.h"
#include "ui/text_print.h"

namespace vesk {
namespace {

class WindowAsSeen : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VESK_HOME", QByteArray::fromStdString(home.root()));
        for (int f = 0; f < 30; ++f) {
            std::string text;
            for (int i = 1; i <= 40; ++i)
                text += (i % 7 == 0 ? "\tneedle in line " : "plain line ") + std::to_string(i) +
                        " with some more text after it\n";
            tree.write("src/file" + std::to_string(f) + ".txt", text);
        }
    }
    void TearDown() override {
        window.reset();
        qunsetenv("VESK_HOME");
    }

    // The window shown at a client size of width x height, laid out as on a desktop.
    TfrmVesk1& show(int width, int height) {
        window = std::make_unique<TfrmVesk1>(VeskWindowOptions{&dialogs, &shell, &clock, false});
        window->resize(width, height);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
        return *window;
    }
    void settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    template <class W> W* child(const char* name) {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
    void search(const std::string& folder, const std::string& string) {
        child<QLineEdit>("edtFolder")->setText(QString::fromStdString(folder));
        child<QCheckBox>("cbxSubFolders")->setChecked(true);
        child<QLineEdit>("edtString")->setText(QString::fromStdString(string));
        child<QPushButton>("btnGo")->click();
        settle();
    }

    // Item 1's measure: line numbers narrow, hidden columns hidden, the text column most of the
    // grid, and nothing scrolled sideways.
    void expectReadableGrid(const char* when) {
        ResultsView& grid = window->resultsView();
        const StringGrid& g = window->grid();
        const int viewport = grid.viewport()->width();
        EXPECT_LE(g.colWidth(0), 80) << when;
        EXPECT_GE(g.colWidth(0), 30) << when;
        EXPECT_EQ(g.colWidth(2), 0) << when;
        EXPECT_EQ(g.colWidth(3), 0) << when;
        EXPECT_GE(g.colWidth(1), viewport * 8 / 10) << when << ", viewport " << viewport;
        EXPECT_LE(g.colWidth(0) + g.colWidth(1), viewport) << when;
        EXPECT_EQ(grid.horizontalScrollBar()->value(), 0) << when;
        EXPECT_EQ(grid.columnWidth(1), g.colWidth(1))
            << when << ": the view shows the grid's widths";
    }

    test::TempTree home;
    test::TempTree tree;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock;
    std::unique_ptr<TfrmVesk1> window;
};

TEST_F(WindowAsSeen, GridWidthsFitTheLaidOutGridBeforeAndAfterRunsAndResizes) {
    show(1280, 690);
    const StringGrid& g = window->grid();
    EXPECT_EQ(g.colWidth(2), 0) << "the file column is hidden from the start";
    EXPECT_EQ(g.colWidth(3), 0);
    EXPECT_LE(g.colWidth(0), 80);

    search(tree.path("src"), "needle");
    ASSERT_GT(g.rowCount(), 100);
    expectReadableGrid("after the first run");
    search(tree.path("src"), "needle");
    expectReadableGrid("after the second run");

    window->resize(1920, 1000);
    settle();
    expectReadableGrid("after growing");
    search(tree.path("src"), "needle");
    expectReadableGrid("after a run in the grown window");
    window->resize(1105, 600);
    settle();
    expectReadableGrid("after shrinking");

    // Moving through the rows never scrolls sideways.
    ResultsView& grid = window->resultsView();
    grid.setFocus();
    dialogs.prompts.push_back(std::string("line 14"));
    for (auto [key, mods] :
         {std::pair{Qt::Key_Home, Qt::ControlModifier}, std::pair{Qt::Key_Down, Qt::NoModifier},
          std::pair{Qt::Key_F, Qt::ControlModifier}, std::pair{Qt::Key_F3, Qt::NoModifier},
          std::pair{Qt::Key_F3, Qt::ShiftModifier}, std::pair{Qt::Key_N, Qt::ControlModifier},
          std::pair{Qt::Key_N, Qt::ControlModifier}, std::pair{Qt::Key_P, Qt::ControlModifier},
          std::pair{Qt::Key_End, Qt::ControlModifier}}) {
        QTest::keyClick(&grid, key, mods);
        settle();
        EXPECT_EQ(grid.horizontalScrollBar()->value(), 0) << "key " << key;
    }
    EXPECT_EQ(g.cell(1, g.row()).find("needle") == std::string_view::npos, false);
}

TEST_F(WindowAsSeen, EnterPressesTheFocusedButton) {
    show(1280, 690);
    auto* folder = child<QLineEdit>("edtFolder");
    folder->setText(QStringLiteral("/nowhere"));
    auto* current = child<QPushButton>("btnCurrent");
    current->setFocus();
    QTest::keyClick(current, Qt::Key_Return);
    EXPECT_EQ(folder->text().toStdString(), std::filesystem::current_path().string());
    // In a box, Enter still moves on as Tab does and presses nothing.
    folder->setText(QStringLiteral("/nowhere"));
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Return);
    EXPECT_EQ(folder->text(), QStringLiteral("/nowhere"));
    EXPECT_FALSE(folder->hasFocus());
}

TEST_F(WindowAsSeen, CaptionNamesTheSearchOnOneLine) {
    show(1280, 690);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ulmen Find Text v7.25.7.28"));
    search(tree.path("src"), "needle");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ulmen Find Text v7.25.7.28 - needle"));
}

TEST_F(WindowAsSeen, ARefusedRunSaysItDidNotTakePlace) {
    show(1280, 690);
    search(tree.path("src"), "needle");
    auto* status = child<QLabel>("lblFile");
    ASSERT_TRUE(status->text().startsWith(QStringLiteral("Matched Lines=")));
    child<QLineEdit>("edtFileSpec")->setText(QStringLiteral("*.[t"));
    child<QPushButton>("btnSelect")->click();
    search(tree.path("src"), "needle");
    EXPECT_FALSE(dialogs.messages.empty()) << "the mask's message";
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("(Not searched)")))
        << status->text().toStdString();
}

TEST_F(WindowAsSeen, AfterTheReplaceDialogTheStringBoxShowsItsStrings) {
    show(1280, 690);
    child<QCheckBox>("cbxEnableReplace")->setChecked(true);
    // An earlier "Use for Searches" on the history window's Multiple Searches page.
    window->history().FindSetText = "<older><strings>";
    TfrmVeskReplace* dialog = window->frmVeskReplace();
    QTimer::singleShot(0, [dialog] {
        dialog->grdReplace->setItem(0, 0, new QTableWidgetItem(QStringLiteral("alpha")));
        QTest::keyClick(dialog->grdReplace, Qt::Key_Right); // counts as an edit of the grid
        dialog->btnReplace->click(); // "Turn on replace text" unticked: the strings only
    });
    child<QPushButton>("btnReplace")->click();
    const std::string box = child<QLineEdit>("edtString")->text().toStdString();
    EXPECT_NE(box.find("alpha"), std::string::npos) << box;
    EXPECT_EQ(box.find("older"), std::string::npos) << box;
    // The string box is taken from the dialog again, not from the older find set.
    QTimer::singleShot(0, [dialog] { dialog->btnCancel->click(); });
    child<QPushButton>("btnReplace")->click();
    EXPECT_EQ(child<QLineEdit>("edtString")->text().toStdString(), box);
}

// Time stamps and durations differ from one run to the next.
std::string withoutTimes(std::string text) {
    text = std::regex_replace(text, std::regex("time=[0-9.]+s"), "time=#");
    text = std::regex_replace(text, std::regex("starts [0-9:]+"), "starts #");
    return text;
}

TEST_F(WindowAsSeen, ListingEqualsTheCommandLineListing) {
    // vesk-cli treats its folder and mask as the checked saved sets: the window gets the same.
    SavedSettings saved;
    saved.SavedFolder[0] = tree.path("src");
    saved.SavedFolderSelected[0] = true;
    saved.SavedFilespec[0] = "*.*";
    saved.SavedFilespecSelected[0] = true;
    dialogs.yesNo.push_back(true);
    ASSERT_TRUE(SaveSettings(SettingsPath(), saved, dialogs));
    show(1280, 690);
    search(tree.path("src"), "needle");
    const TextReport report = PrepareTextReport(reportSourceOf(*window), 46000.5, "/tmp/");
    const std::string shown = gridListingText(window->grid(), report.ReportText);

    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    const std::string cmd = std::string(dir ? dir : ".") + "/vesk-cli -r -f listing -s needle '" +
                            tree.path("src") + "' 2>/dev/null";
    std::string cli;
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        cli.append(buf, n);
    pclose(p);
    ASSERT_FALSE(cli.empty());
    // Header, set-up rows, found rows and summary: the same bytes but for the times.
    EXPECT_EQ(withoutTimes(shown), withoutTimes(cli));
    EXPECT_NE(shown.find("\r\n7  \tneedle in line 7 "), std::string::npos)
        << "only the line-number and text columns are listed";
}

} // namespace
} // namespace vesk
