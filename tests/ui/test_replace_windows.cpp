// The replace dialog and the replace review window offscreen, driven as a user drives them; every
// confirmation is scripted through the Dialogs seam.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "lib/channels.h"
#include "lib/commands.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk_replace.h"
#include "ui/frm_vesk_replace_results.h"
#include "ui/replace_controller.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::readFile;
using test::RecordingShell;
using test::ScriptedDialogs;
using test::TempTree;

// The main window's side of the links, recorded.
struct MainWindowDouble {
    StringSlots table;
    std::string findSetFileName;
    std::vector<int> indicator;
    std::vector<PairsDisplay> taken;
    int stops = 0;
};

class ReplaceWindowsTest : public ::testing::Test {
protected:
    ReplaceLinks links() {
        ReplaceLinks l;
        l.stringSlots = &main.table;
        l.findSetFileName = &main.findSetFileName;
        l.commands = &commands;
        l.archivePath = t.path("home/VeskSearchReplaceArchive.jarc");
        l.setReplaceIndicator = [this](int m) { main.indicator.push_back(m); };
        l.currentSearchString = [] { return std::string("needle"); };
        l.firstSavedFolder = [this] { return t.root(); };
        l.pairsTaken = [this](const PairsDisplay& d) { main.taken.push_back(d); };
        l.stopRun = [this] { ++main.stops; };
        return l;
    }

    // Presses the buttons one after another once the modal window is up.
    void pressLater(std::deque<QPushButton*> buttons) {
        QTimer::singleShot(0, [this, buttons]() mutable {
            if (buttons.empty()) return;
            QPushButton* b = buttons.front();
            buttons.pop_front();
            pressLater(buttons);
            b->click();
        });
    }

    static void typeCell(QTableWidget* grid, int row, int col, const char* text) {
        grid->setItem(row, col, new QTableWidgetItem(QString::fromUtf8(text)));
    }

    TempTree t;
    std::string homeFolder = t.mkdir("home");
    MainWindowDouble main;
    FakeClock clock;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    ChannelTable channels{dialogs};
    CommandContext commands{shell, dialogs, channels, clock};
};

TEST_F(ReplaceWindowsTest, OpeningTheDialogResetsItsOptionsAndShowsTheSearchString) {
    TfrmVeskReplace dialog;
    dialog.setLinks(links());
    dialog.cbxDoReplace->setChecked(true);
    dialog.cbxQueryLine->setChecked(false);
    dialog.show();
    EXPECT_FALSE(dialog.cbxDoReplace->isChecked());
    EXPECT_TRUE(dialog.cbxQueryFile->isChecked());
    EXPECT_FALSE(dialog.cbxQueryFile->isEnabled());
    EXPECT_TRUE(dialog.cbxQueryLine->isChecked());
    EXPECT_FALSE(dialog.cbxQueryLine->isVisible());
    EXPECT_EQ(dialog.btnReplace->text(), "Search");
    EXPECT_EQ(dialog.grdReplace->rowCount(), 1);
    EXPECT_EQ(dialog.grdReplace->item(0, 0)->text(), "needle");
    EXPECT_EQ(dialog.grdReplace->item(0, 1)->text(), "needle");
    EXPECT_EQ(dialog.lblFindStrAmx->text(), "Number strings to search for=1");
    EXPECT_EQ(main.indicator, std::vector<int>{1});

    dialog.cbxDoReplace->click();
    EXPECT_TRUE(dialog.cbxQueryLine->isVisible());
    EXPECT_TRUE(dialog.Label10->isVisible());
    EXPECT_EQ(dialog.btnReplace->text(), "Replace");
    EXPECT_EQ(main.indicator.back(), 2);
    dialog.hide();
}

TEST_F(ReplaceWindowsTest, ReplaceStoresTheTypedPairsAndTheOptions) {
    TfrmVeskReplace dialog;
    dialog.setLinks(links());
    dialog.show();
    dialog.edtNumStrings->setText(QStringLiteral("3"));
    dialog.edtNumStringsExit();
    EXPECT_EQ(dialog.grdReplace->rowCount(), 3);
    typeCell(dialog.grdReplace, 0, 0, "cat ");
    typeCell(dialog.grdReplace, 0, 1, "dog");
    typeCell(dialog.grdReplace, 1, 0, "red");
    typeCell(dialog.grdReplace, 1, 1, "");
    typeCell(dialog.grdReplace, 2, 0, "x");
    typeCell(dialog.grdReplace, 2, 1, "y");
    dialog.cbxDoReplace->click();
    dialog.cbxPreserveSpaces->setChecked(true);
    dialog.cbxQueryLine->setChecked(false);
    dialog.cbxShowFilesWithNoMatches->setChecked(true);
    dialog.btnReplace->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(main.table.FindCount, 3);
    EXPECT_EQ(main.table.FindStrings[0], "cat ");
    EXPECT_EQ(main.table.ReplaceStrings[0], "dog");
    EXPECT_EQ(main.table.ReplaceStrings[1], "");
    // Replace mode goes off, then on again since the box is ticked.
    ASSERT_GE(main.indicator.size(), 2u);
    EXPECT_EQ(main.indicator.front(), 1);
    EXPECT_EQ(std::vector<int>(main.indicator.end() - 2, main.indicator.end()),
              (std::vector<int>{1, 2}));
    ASSERT_FALSE(main.taken.empty());
    EXPECT_EQ(main.taken.back().searchText, "Replace - Strings to find:\r\n,cat ,red,x");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.front(), std::string(kReplaceWarning));
    EXPECT_TRUE(dialog.replaceMode());

    TfrmVeskReplaceResults results;
    ReplaceController controller(dialog, results, links());
    SearchOptions o;
    controller.applyOptions(o);
    EXPECT_TRUE(o.PreserveSpaces);
    EXPECT_FALSE(o.ConfirmEachLine);
    EXPECT_TRUE(o.ConfirmEachFile);
    EXPECT_TRUE(o.FilesWithNoMatch);
    EXPECT_FALSE(o.LinesWithNoMatchesOnly);
}

TEST_F(ReplaceWindowsTest, NumberOfLinesAndCancel) {
    TfrmVeskReplace dialog;
    dialog.setLinks(links());
    dialog.show();
    for (const char* typed : {"0", "-3", "x"}) {
        dialog.edtNumStrings->setText(QString::fromLatin1(typed));
        dialog.edtNumStringsExit();
        EXPECT_EQ(dialog.grdReplace->rowCount(), 1) << typed;
        EXPECT_EQ(dialog.edtNumStrings->text(), "1");
    }
    dialog.cbxDoReplace->click();
    dialog.btnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(main.indicator.back(), 1);
    EXPECT_FALSE(dialog.replaceMode());
}

TEST_F(ReplaceWindowsTest, LoadingASetFile) {
    TfrmVeskReplace dialog;
    dialog.setLinks(links());
    dialog.show();
    const std::string set = t.write("pairs.txt", "one\t1\n\n   \nTwo\n");
    dialogs.files = {std::nullopt, set};
    dialog.btnLoadFindReplaceSet->click(); // no file chosen: nothing changes
    EXPECT_EQ(main.table.FindStrings[0], "needle");
    EXPECT_EQ(dialog.edtNumStrings->text(), "1");
    EXPECT_EQ(dialogs.messages.front(), std::string(kSetFileHelp));
    dialog.btnLoadFindReplaceSet->click();
    EXPECT_EQ(main.findSetFileName, set);
    EXPECT_EQ(main.table.FindCount, 2);
    EXPECT_EQ(dialog.grdReplace->rowCount(), 2);
    EXPECT_EQ(dialog.grdReplace->item(1, 0)->text(), "Two");
    EXPECT_EQ(dialog.grdReplace->item(0, 1)->text(), "1");
    EXPECT_EQ(dialog.edtNumStrings->text(), "2");

    dialogs.files = {set};
    dialog.btnEditFindReplaceSet->click();
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().parameters.find(set) != std::string::npos, true);
    dialog.hide();
}

class ReviewWindowTest : public ReplaceWindowsTest {
protected:
    void SetUp() override {
        main.table.FindCount = 1;
        main.table.FindStrings[0] = "cat";
        main.table.ReplaceStrings[0] = "dog";
        results.setLinks(links());
    }
    ReviewRequest request(const std::string& path) {
        ReviewRequest r;
        r.path = path;
        r.logFile = t.path("tree/Vesk-SearchReplace.log");
        return r;
    }
    TfrmVeskReplaceResults results;
};

TEST_F(ReviewWindowTest, SaveThisFileAfterConfirmingEachLine) {
    const std::string f = t.write("tree/a.txt", "cat\nbird\ncat\n");
    dialogs.lineAnswers = {Answer::Yes, Answer::No};
    dialogs.yesNo = {true}; // save although the differences were not shown
    QStringList gridTexts;
    QTimer::singleShot(0, [&] {
        const QAbstractItemModel* m = results.grdReplaceLog->model();
        for (int r = 0; r < m->rowCount(); ++r)
            gridTexts << m->index(r, 1).data().toString();
        EXPECT_EQ(results.lblFilename->text().toStdString(), f);
        results.btnSaveFile->click();
    });
    const ReviewOutcome out = results.ReviewFile(request(f));
    EXPECT_EQ(out.replaced, 1);
    EXPECT_TRUE(out.replaceOn);
    EXPECT_EQ(readFile(f), "dog\nbird\ncat\n");
    ASSERT_GE(gridTexts.size(), 10);
    EXPECT_EQ(gridTexts[2].toStdString(), "Filename: " + f);
    EXPECT_EQ(gridTexts[8], "cat");
    EXPECT_EQ(gridTexts[9], "dog");
    EXPECT_NE(dialogs.questions.back().find("Diffs have NOT been shown"), std::string::npos);
    EXPECT_NE(dialogs.messages.back().find("Changes saved to " + f), std::string::npos);
    EXPECT_FALSE(results.isVisible());
}

TEST_F(ReviewWindowTest, ShowDifferencesThenDoNotSave) {
    const std::string f = t.write("tree/a.txt", "cat\r\n");
    t.write("vesk.INI", "[Settings]\r\nDifferencesViewer=/bin/true\r\n");
    ReplaceLinks l = links();
    l.settingsPath = t.path("vesk.INI");
    results.setLinks(l);
    dialogs.lineAnswers = {Answer::YesToAll};
    std::string temp;
    QTimer::singleShot(0, [&] {
        results.btnShowDiff->click();
        temp = results.review()->tempFileName();
        EXPECT_EQ(readFile(temp), "dog\r\n");
        results.btnDoNotSaveFile->click();
    });
    EXPECT_EQ(results.ReviewFile(request(f)).replaced, 0);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/bin/true");
    EXPECT_EQ(::access(temp.c_str(), F_OK), -1);
    EXPECT_EQ(readFile(f), "cat\r\n");
}

TEST_F(ReviewWindowTest, AbortStopsTheRunAndClosingDropsTheChanges) {
    const std::string f = t.write("tree/a.txt", "cat\n");
    dialogs.lineAnswers = {Answer::Yes, Answer::Yes};
    pressLater({results.btnAbort});
    EXPECT_EQ(results.ReviewFile(request(f)).replaced, 0);
    EXPECT_EQ(main.stops, 1);

    QTimer::singleShot(0, [&] { results.reject(); });
    EXPECT_EQ(results.ReviewFile(request(f)).replaced, 0);
    EXPECT_EQ(main.stops, 1);
    EXPECT_EQ(readFile(f), "cat\n");
    EXPECT_EQ(readFile(t.path("home/VeskSearchReplaceArchive.jarc")), "");
}

TEST_F(ReviewWindowTest, CancelInALineConfirmationShowsNoWindow) {
    const std::string f = t.write("tree/a.txt", "cat\n");
    dialogs.lineAnswers = {Answer::Cancel};
    const ReviewOutcome out = results.ReviewFile(request(f));
    EXPECT_FALSE(out.replaceOn);
    EXPECT_EQ(out.replaced, 0);
    EXPECT_EQ(readFile(f), "cat\n");
}

} // namespace
} // namespace vesk
