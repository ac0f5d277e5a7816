// The main window during a long run: it keeps handling events between files, so Stop answers at
// once, and without "Faster" it writes the same rows and status as with it.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk1.h"

namespace vesk {
namespace {

// Every row as its four cells, leaving out the rows that hold times.
std::vector<std::string> rowsWithoutTimes(const StringGrid& g) {
    std::vector<std::string> rows;
    for (int r = 0; r < g.rowCount(); ++r) {
        const std::string_view text = g.cell(1, r);
        if (text.find("scan time=") != text.npos || text.find("files/folders starts") != text.npos)
            continue;
        std::string row;
        for (int c = 0; c < 4; ++c)
            (row += c ? "|" : "") += std::string(g.cell(c, r));
        rows.push_back(row);
    }
    return rows;
}

class RunResponsivenessTest : public ::testing::Test {
protected:
    // Read-ahead workers search small files fast: enough of them that a run outlasts the moment
    // Stop is pressed.
    static constexpr int kFiles = 16000;
    void SetUp() override {
        qputenv("VESK_HOME", QByteArray::fromStdString(home.root()));
        // Enough files that a run lasts well beyond the moments the tests act at.
        std::string body;
        for (int i = 0; i < 60; ++i)
            body += "some ordinary line of text in a file " + std::to_string(i) + "\n";
        for (int i = 0; i < kFiles; ++i)
            tree.write("d" + std::to_string(i % 40) + "/f" + std::to_string(i) + ".txt",
                       i % 97 == 0 ? body + "needle\n" : body);
    }
    void TearDown() override {
        window.reset();
        qunsetenv("VESK_HOME");
    }

    TfrmVesk1& open() {
        window = std::make_unique<TfrmVesk1>(VeskWindowOptions{&dialogs, &shell, nullptr, false});
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        find<QLineEdit>("edtFolder")->setText(QString::fromStdString(tree.root()));
        find<QLineEdit>("edtString")->setText(QStringLiteral("needle"));
        find<QCheckBox>("cbxSubFolders")->setChecked(true);
        return *window;
    }
    template <class W> W* find(const char* name) {
        return window->findChild<W*>(QString::fromLatin1(name));
    }

    test::TempTree home, tree;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    std::unique_ptr<TfrmVesk1> window;
};

TEST_F(RunResponsivenessTest, StopEndsARunWithinAQuarterSecond) {
    TfrmVesk1& w = open();
    QElapsedTimer sinceStop;
    QTimer::singleShot(30, [&] {
        if (!w.searchRun().state().Searching) return; // too late: the run is over
        sinceStop.start();
        find<QPushButton>("btnStop")->click();
    });
    find<QPushButton>("btnGo")->click();
    if (!sinceStop.isValid()) GTEST_SKIP() << "the run ended before Stop could be pressed";
    EXPECT_LT(sinceStop.elapsed(), 250);
    EXPECT_EQ(w.searchRun().state().AbortedText, " (aborted)");
    EXPECT_LT(w.searchRun().state().FilesDone, w.searchRun().state().FileTotal);
}

TEST_F(RunResponsivenessTest, WithoutFasterTheSameRowsAndSummary) {
    TfrmVesk1& w = open();
    find<QPushButton>("btnGo")->click();
    const std::vector<std::string> fast = rowsWithoutTimes(w.grid());
    const std::string fastSummary = w.searchRun().state().StatusText;
    find<QCheckBox>("cbxFast")->setChecked(false);
    // Events keep being handled while the status is written for every file.
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    find<QPushButton>("btnGo")->click();
    ticker.stop();
    EXPECT_EQ(rowsWithoutTimes(w.grid()), fast);
    const std::string summary = w.searchRun().state().StatusText;
    EXPECT_EQ(summary.substr(0, summary.find(" - time=")),
              fastSummary.substr(0, fastSummary.find(" - time=")));
    EXPECT_GT(ticks, 0);
}

} // namespace
} // namespace vesk
