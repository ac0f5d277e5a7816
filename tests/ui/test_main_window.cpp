// The main window driven offscreen: start-up defaults, a search typed into the boxes, Stop against
// the Matches tab, the switches, the expand button, Enter as Tab, the pickers and the help buttons.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <tuple>

#include "app/cli_host.h"
#include "app/cli_options.h"
#include "lib/datetime.h"
#include "search/search_run.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/date_calendar.h"
#include "ui/frm_feedback.h"
#include "ui/frm_time_picker.h"
#include "ui/frm_vesk1.h"
#include "ui/frm_vesk_tips.h"
#include "ui/qt_dialogs.h"
#include "ui/results_view.h"

namespace vesk {
namespace {

std::string settingsFileIn(const test::TempTree& home) {
    return home.root() + "test_main_window.INI";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VESK_HOME", QByteArray::fromStdString(home.root())); }
    void TearDown() override {
        window.reset();
        qunsetenv("VESK_HOME");
    }

    TfrmVesk1& open() {
        window = std::make_unique<TfrmVesk1>(VeskWindowOptions{&dialogs, &shell, &clock, false});
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    template <class W> W* child(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QLabel* label(const char* name) { return child<QLabel>(name); }

    void typeInto(const char* name, const QString& text) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    test::TempTree home;
    test::TempTree tree;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock{encodeDate(2026, 12, 7) + 0.5};
    std::unique_ptr<TfrmVesk1> window;
};

TEST_F(MainWindowTest, StartsWithTheDefaultsWhenThereIsNoSettingsFile) {
    ASSERT_FALSE(std::filesystem::exists(settingsFileIn(home)));
    TfrmVesk1& w = open();
    EXPECT_EQ(w.settingsPath(), settingsFileIn(home));
    EXPECT_EQ(w.windowTitle(), "Ulmen Find Text v7.25.7.28");
    EXPECT_EQ(w.saved().FolderMode, 1);
    EXPECT_EQ(w.saved().FilespecMode, 1);
    EXPECT_EQ(w.saved().StringsMode, 1);
    EXPECT_EQ(edit("edtFolder")->text().toStdString(), std::filesystem::current_path().string());
    EXPECT_FALSE(edit("edtFolder")->isReadOnly());
    EXPECT_EQ(edit("edtFileSpec")->text(), "*.*");
    EXPECT_TRUE(edit("edtString")->text().isEmpty());
    EXPECT_FALSE(check("cbxSubFolders")->isChecked());
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_TRUE(button("btnGo")->isVisible());
    EXPECT_FALSE(button("btnSelect")->isVisible());
    EXPECT_FALSE(button("btnStop")->isVisible());
    EXPECT_EQ(button("btnGo")->geometry(), button("btnSelect")->geometry());
    EXPECT_EQ(button("btnGo")->geometry(), button("btnStop")->geometry());
    EXPECT_FALSE(button("btnFontPlus")->isVisible());
    EXPECT_FALSE(label("lblReplaceOn")->isVisible());
    EXPECT_FALSE(button("btnReplace")->isEnabled());
    EXPECT_FALSE(w.Initialising());
    EXPECT_EQ(QApplication::focusWidget(), edit("edtFolder"));
    for (const char* on : {"cbxCopyToCB", "cbxCasefl", "cbxOmitBinBak", "cbxOmitVeskSR", "cbxFast",
                           "cbxShowAdvancedButtons", "cbxAlwaysUseAdvancedFolderScan"})
        EXPECT_TRUE(check(on)->isChecked()) << on;
    for (const char* off : {"cbxGoogleFind", "cbxMatchWholeWordsOnly", "cbxSearchFilename",
                            "cbxListAllFilenames", "cbxEnableReplace", "cbxTestInfo"})
        EXPECT_FALSE(check(off)->isChecked()) << off;
    EXPECT_FALSE(check("cbxReuseFileSearchList")->isEnabled());
    EXPECT_FALSE(child<QComboBox>("cmbSpeedDisplay")->isEnabled());
    EXPECT_EQ(child<QComboBox>("cbxLoadFromFileMethod")->currentIndex(), 1);
    // The date boxes are filled at creation from the window's clock.
    EXPECT_EQ(edit("edtSelDate1")->text().toStdString(), xcTodayText(clock));
    EXPECT_EQ(edit("edtSelTime1")->text(), "00:00:00");
    EXPECT_EQ(edit("edtSelTime2")->text(), "23:59:59");
    // Only the "View etc options" tab fills emptied date boxes again.
    edit("edtSelTime1")->clear();
    auto* options = child<QTabWidget>("PageControl2");
    options->setCurrentIndex(1);
    options->setCurrentIndex(3);
    EXPECT_TRUE(edit("edtSelTime1")->text().isEmpty());
    options->setCurrentIndex(2);
    EXPECT_EQ(edit("edtSelTime1")->text(), "00:00:00");
    // Every window of the start-up table exists, with its caption.
    const std::pair<const char*, const char*> windows[] = {
        {"TfrmVeskHistory", "Search History and Multiple Searches"},
        {"TfrmVeskReplace", "Vesk Search/Replace Options"},
        {"TfrmVeskFileSpec", "Filespec - Advanced  Search"},
        {"TfrmVeskStrings", "Strings - Advanced Search"},
        {"TfrmText", "Text Output Options"},
        {"TfrmVeskEditOptions", "Choose how to open file"},
        {"TfrmFWindow", "Window around found line"},
        {"TfrmVeskReplaceResults", "Vesk Replace Results"},
        {"TfrmVeskFolders", "Folders - Advanced Search"},
        {"TfrmVeskTips", "Vesk Tips"},
        {"TfrmTimePicker", "Pick Time"}};
    for (const auto& [name, caption] : windows)
        EXPECT_EQ(child<QWidget>(name)->windowTitle(), caption) << name;
}

TEST_F(MainWindowTest, AdvancedFoldersFromTheSettingsFileLockTheFolderBox) {
    std::ofstream(settingsFileIn(home)) << "[Settings]\r\nSimpleOrAdvancedFolders=2\r\n";
    TfrmVesk1& w = open();
    EXPECT_EQ(w.saved().FolderMode, 2);
    EXPECT_TRUE(edit("edtFolder")->isReadOnly());
    EXPECT_TRUE(edit("edtFolder")->font().bold());
    EXPECT_EQ(edit("edtFolder")->palette().color(QPalette::Text), QColor(0, 128, 0));
    EXPECT_FALSE(button("btnBrowse")->isEnabled());
    EXPECT_FALSE(button("btnCurrent")->isEnabled());
    EXPECT_TRUE(check("cbxSubFolders")->isChecked());
    EXPECT_EQ(edit("edtFolder")->toolTip(), "Click Browse to choose folder");
}

TEST_F(MainWindowTest, RegularExpressionsBoxStartsFromTheSettingsAndSearchesByExpression) {
    std::ofstream(settingsFileIn(home)) << "[Settings]\r\nRegularExpressions=1\r\n";
    tree.write("a.txt", "needle1\r\nneedle\r\n");
    TfrmVesk1& w = open();
    QCheckBox* box = check("cbxRegularExpressions");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(box->text(), "Regular Expressions");
    EXPECT_EQ(box->parentWidget(), check("cbxMatchWholeWordsOnly")->parentWidget());
    typeInto("edtFolder", QString::fromStdString(tree.root()));
    typeInto("edtString", QStringLiteral("ne+dle\\d"));
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);
    EXPECT_EQ(w.searchRun().state().MatchedLines, 1);
    box->setChecked(false);
    EXPECT_FALSE(w.saved().RegularExpressions);
}

// The rows of a grid as vesk-cli prints them, less those that carry the time of day or a timing.
std::vector<std::string> stableRows(const StringGrid& grid, int lastRow) {
    std::ostringstream out;
    cli::printRows(grid, lastRow, cli::Format::Rows, out);
    std::vector<std::string> rows;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);)
        if (line.find("time=") == std::string::npos && line.find(" starts ") == std::string::npos)
            rows.push_back(line);
    return rows;
}

TEST_F(MainWindowTest, SearchTypedIntoTheBoxesListsTheRowsOfTheCoreRun) {
    tree.write("a.txt", "alpha\r\nneedle one\r\nbeta\r\n");
    tree.write("sub/b.pas", "x\nNEEDLE two\nneedle three\n");
    tree.write("sub/c.txt", "nothing here\n");
    TfrmVesk1& w = open();
    typeInto("edtFolder", QString::fromStdString(tree.root()));
    typeInto("edtString", QStringLiteral("needle"));
    check("cbxSubFolders")->setChecked(true);
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);

    EXPECT_FALSE(w.Searching());
    EXPECT_EQ(w.searchRun().state().MatchedLines, 3);
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 1);
    EXPECT_TRUE(button("btnSelect")->isVisible());
    EXPECT_FALSE(button("btnGo")->isVisible());
    EXPECT_TRUE(button("btnFontPlus")->isVisible());
    EXPECT_EQ(w.windowTitle(), "Ulmen Find Text v7.25.7.28 - needle");
    EXPECT_TRUE(label("lblFile")->text().startsWith("Matched Lines=3 of "));
    EXPECT_TRUE(w.grid().visible());
    EXPECT_EQ(w.history().HistoryList, std::vector<std::string>{"needle"});
    EXPECT_EQ(label("lblFont")->text(), "9");
    for (int i = 0; i < 8; ++i)
        QTest::mouseClick(button("btnFontMinus"), Qt::LeftButton);
    EXPECT_EQ(label("lblFont")->text(), "4");
    for (int i = 0; i < 20; ++i)
        QTest::mouseClick(button("btnFontPlus"), Qt::LeftButton);
    EXPECT_EQ(label("lblFont")->text(), "20");

    cli::CliOptions cli;
    std::string error;
    ASSERT_TRUE(
        cli::parseArguments({"-s", "needle", "-r", "--format", "rows", tree.root()}, cli, error))
        << error;
    StringSlots cliSlots;
    cli::CliHost host(cli::searchOptionsFor(cli, cliSlots), std::cerr);
    SearchRun core(host, cliSlots);
    ASSERT_EQ(core.DoSearch(), RunResult::Done);
    const std::vector<std::string> expected = stableRows(host.grid(), core.state().LastRow);
    const std::vector<std::string> shown = stableRows(w.grid(), w.searchRun().state().LastRow);
    // The set-up row names the folder as each front end passes it; the rest must be identical.
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], expected[i]) << i;
}

TEST_F(MainWindowTest, EmptyStringEndsTheRunSilentlyInTheStringBox) {
    TfrmVesk1& w = open();
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);
    EXPECT_FALSE(w.Searching());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(QApplication::focusWidget(), edit("edtString"));
    EXPECT_EQ(w.searchRun().state().LastRow, -1);
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
}

class StopTest : public MainWindowTest {
protected:
    // Starts a search over 1000 files and, once the first file is done, does `interrupt`. Each
    // file gives 100 rows: the rows the run writes on its own thread keep it going for many
    // frames however fast the read-ahead workers read.
    void searchAndInterrupt(const std::function<void()>& interrupt) {
        std::string hits;
        for (int i = 0; i < 100; ++i)
            hits += "hit\n";
        for (int i = 0; i < 1000; ++i)
            tree.write("f" + std::to_string(10000 + i) + ".txt", hits);
        open();
        typeInto("edtFolder", QString::fromStdString(tree.root()));
        typeInto("edtString", QStringLiteral("hit"));
        // Events are handled between files once per screen frame: the run lasts many frames.
        check("cbxFast")->setChecked(false);
        QTimer poll;
        bool done = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!done && window->searchRun().state().FilesDone >= 1) {
                done = true;
                interrupt();
            }
        });
        poll.start(0);
        QTest::mouseClick(button("btnGo"), Qt::LeftButton);
        ASSERT_TRUE(done);
    }
};

TEST_F(StopTest, StopEndsTheRunAtTheNextFileWithTheAbortedNote) {
    searchAndInterrupt([this] { QTest::mouseClick(button("btnStop"), Qt::LeftButton); });
    const SearchState& s = window->searchRun().state();
    EXPECT_FALSE(window->Searching());
    EXPECT_LT(s.FilesDone, s.FileTotal);
    EXPECT_EQ(label("lblProgress2")->text(), " (aborted)");
    EXPECT_TRUE(button("btnSelect")->isVisible());
}

TEST_F(StopTest, TheMatchesTabEndsTheRunWithoutTheNote) {
    searchAndInterrupt([this] {
        QTabBar* bar = child<QTabWidget>("PageControl1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    });
    const SearchState& s = window->searchRun().state();
    EXPECT_LT(s.FilesDone, s.FileTotal);
    EXPECT_TRUE(s.AbortedText.empty());
    EXPECT_TRUE(label("lblProgress2")->text().isEmpty());
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 1);
}

TEST_F(StopTest, ClosingTheWindowEndsTheRun) {
    searchAndInterrupt([this] { window->close(); });
    const SearchState& s = window->searchRun().state();
    EXPECT_FALSE(window->Searching());
    EXPECT_LT(s.FilesDone, s.FileTotal);
}

TEST_F(MainWindowTest, SwitchPicturesToggleAndKeepTheFirstMask) {
    TfrmVesk1& w = open();
    typeInto("edtFileSpec", QStringLiteral("*.pas,*.txt"));
    QTest::mouseClick(label("ImageFilespec"), Qt::LeftButton);
    EXPECT_EQ(w.saved().FilespecMode, 2);
    EXPECT_EQ(edit("edtFileSpec")->text(), "*.pas");
    EXPECT_TRUE(edit("edtFileSpec")->isReadOnly());
    EXPECT_EQ(label("lblpAdvancedFilespec")->palette().color(QPalette::WindowText),
              QColor(0, 128, 0));
    EXPECT_FALSE(check("cbxAdvancedFileSpec")->isVisible());

    QTest::mouseClick(label("ImageString"), Qt::LeftButton);
    EXPECT_EQ(w.saved().StringsMode, 2);
    EXPECT_FALSE(check("cbxGoogleFind")->isEnabled());
    EXPECT_FALSE(check("cbxGoogleFind")->isChecked());
    // The history button stays enabled: its window's "Multiple Searches" page exists only here.
    EXPECT_TRUE(button("btnHistory")->isEnabled());

    edit("edtFileSpec")->setText(QStringLiteral("*.h,*.cpp"));
    QTest::mouseClick(label("ImageFilespec"), Qt::LeftButton);
    EXPECT_EQ(w.saved().FilespecMode, 1);
    EXPECT_EQ(edit("edtFileSpec")->text(), "*.h");
    EXPECT_FALSE(edit("edtFileSpec")->isReadOnly());
    EXPECT_TRUE(label("lblFilespecCount")->text().isEmpty());
}

TEST_F(MainWindowTest, WithoutButtonsTheCheckBoxesTakeTheLabelsPlaces) {
    TfrmVesk1& w = open();
    QTest::mouseClick(check("cbxShowAdvancedButtons"), Qt::LeftButton); // on its own page: fine
    EXPECT_FALSE(check("cbxShowAdvancedButtons")->isChecked());
    for (const auto& [box, lbl, image] :
         {std::tuple{"cbxAdvancedFolders", "lblpAdvancedFolder", "ImageFolder"},
          std::tuple{"cbxAdvancedFileSpec", "lblpAdvancedFilespec", "ImageFilespec"},
          std::tuple{"cbxAdvancedStrings", "lblpAdvancedString", "ImageString"}}) {
        EXPECT_TRUE(check(box)->isVisible()) << box;
        EXPECT_FALSE(label(lbl)->isVisible()) << lbl;
        EXPECT_FALSE(label(image)->isVisible()) << image;
        EXPECT_EQ(check(box)->pos(), label(lbl)->pos()) << box;
    }
    edit("edtFolder")->setText(QStringLiteral("/one"));
    QTest::mouseClick(check("cbxAdvancedFolders"), Qt::LeftButton);
    EXPECT_EQ(w.saved().FolderMode, 2);
    EXPECT_FALSE(button("btnBrowse")->isEnabled());
    EXPECT_TRUE(check("cbxAdvancedFolders")->isChecked());
    edit("edtFolder")->setText(QStringLiteral("/one,/two"));
    QTest::mouseClick(check("cbxAdvancedFolders"), Qt::LeftButton);
    EXPECT_EQ(w.saved().FolderMode, 1);
    EXPECT_EQ(edit("edtFolder")->text(), "/one");
    EXPECT_TRUE(button("btnBrowse")->isEnabled());
    EXPECT_FALSE(check("cbxAdvancedFolders")->isChecked());

    QTest::mouseClick(check("cbxShowAdvancedButtons"), Qt::LeftButton);
    EXPECT_TRUE(label("ImageFolder")->isVisible());
    EXPECT_FALSE(check("cbxAdvancedFolders")->isVisible());
}

TEST_F(MainWindowTest, ExpandingTwiceRestoresTheShownTopAndHeight) {
    TfrmVesk1& w = open();
    const int top = w.frameGeometry().top(), height = w.height();
    const QRect work = w.screen()->availableGeometry();
    QTest::mouseClick(button("btnResizeVertical"), Qt::LeftButton);
    EXPECT_TRUE(w.Expanded());
    EXPECT_EQ(w.frameGeometry().top(), work.top());
    EXPECT_EQ(w.frameGeometry().height(), work.height());
    EXPECT_EQ(button("btnResizeVertical")->toolTip(), "Shrink to original height");
    QTest::mouseClick(button("btnResizeVertical"), Qt::LeftButton);
    EXPECT_FALSE(w.Expanded());
    EXPECT_EQ(w.frameGeometry().top(), top);
    EXPECT_EQ(w.height(), height);
    EXPECT_EQ(button("btnResizeVertical")->toolTip(), "Expand vertically");
}

TEST_F(MainWindowTest, EnterMovesOnAndLeavingAChangedStringFocusesSearch) {
    TfrmVesk1& w = open();
    edit("edtFolder")->setFocus();
    QTest::keyClick(edit("edtFolder"), Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), edit("edtFolder"));
    check("cbxSubFolders")->setFocus();
    QTest::keyClick(check("cbxSubFolders"), Qt::Key_Escape);
    EXPECT_NE(QApplication::focusWidget(), check("cbxSubFolders"));
    EXPECT_FALSE(check("cbxSubFolders")->isChecked());

    // Results are marked stale once a box differs from what it held on entry.
    typeInto("edtString", QStringLiteral("word"));
    QTest::keyClick(edit("edtString"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button("btnGo"));
    EXPECT_EQ(w.SearchText(), "word");
    EXPECT_EQ(label("lblFile")->palette().color(QPalette::WindowText), QColor(128, 128, 128));
}

TEST_F(MainWindowTest, TimePickerStepsFromTheBoxTimeAndWritesItBack) {
    open();
    edit("edtSelTime1")->setText(QStringLiteral("00:59:55"));
    QTimer::singleShot(0, [this] {
        auto* picker = window->findChild<TfrmTimePicker*>();
        ASSERT_TRUE(picker && picker->isVisible());
        EXPECT_EQ(picker->windowTitle(), "Pick ");
        QTest::mouseClick(picker->findChild<QPushButton*>("btn10SecPlus"), Qt::LeftButton);
        EXPECT_EQ(picker->findChild<QLineEdit*>("edtHour")->text(), "01");
        EXPECT_EQ(picker->findChild<QLineEdit*>("edtSec")->text(), "05");
        QTest::mouseClick(picker->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    QTest::mouseClick(button("btnSelTime1"), Qt::LeftButton);
    EXPECT_EQ(edit("edtSelTime1")->text(), "01:00:05");

    // Closing the picker without OK leaves the box alone.
    QTimer::singleShot(0, [this] { window->findChild<TfrmTimePicker*>()->reject(); });
    QTest::mouseClick(button("btnSelTime1"), Qt::LeftButton);
    EXPECT_EQ(edit("edtSelTime1")->text(), "01:00:05");
}

TEST_F(MainWindowTest, CalendarPickKeepsTheEndDateAfterTheStart) {
    open();
    edit("edtSelDate1")->setText(QStringLiteral("10-Dec-26"));
    edit("edtSelDate2")->setText(QStringLiteral("12-Dec-26"));
    QTest::mouseClick(button("btnSelDate2"), Qt::LeftButton);
    auto* calendar = window->findChild<DateCalendar*>("DateTimePicker1");
    ASSERT_TRUE(calendar && calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 12));
    calendar->setSelectedDate(QDate(2026, 12, 3));
    calendar->hide();
    EXPECT_EQ(edit("edtSelDate2")->text(), "10-Dec-26");

    QTest::mouseClick(button("btnSelDate1"), Qt::LeftButton);
    calendar->setSelectedDate(QDate(2026, 11, 30));
    calendar->hide();
    EXPECT_EQ(edit("edtSelDate1")->text(), "30-Nov-26");
    EXPECT_EQ(edit("edtSelDate2")->text(), "10-Dec-26");
}

TEST_F(MainWindowTest, DateSelectionInSimpleModeTellsTheUserAndSearchesAnyway) {
    tree.write("a.txt", "hit\n");
    TfrmVesk1& w = open();
    typeInto("edtFolder", QString::fromStdString(tree.root()));
    typeInto("edtString", QStringLiteral("hit"));
    check("cbxEnableDateSelections")->setChecked(true);
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Vesk V7 Selecting by Date/Time is an advanced option", 0),
              0u);
    EXPECT_EQ(w.searchRun().state().MatchedLines, 1);
}

TEST_F(MainWindowTest, HelpButtonsOpenTheirPagesAndSettingsOpensTheFile) {
    open();
    std::vector<int> pages;
    const auto closeTips = [&] {
        QTimer::singleShot(0, [&] {
            auto* tips = window->findChild<TfrmVeskTips*>();
            pages.push_back(tips->isVisible() ? tips->page() : -1);
            tips->reject();
        });
    };
    closeTips();
    QTest::mouseClick(button("btnTips"), Qt::LeftButton);
    closeTips();
    QTest::mouseClick(button("btnAdvancedInfo"), Qt::LeftButton);
    EXPECT_EQ(pages, (std::vector<int>{0, 1}));

    qputenv("VESK_EDITOR", "my-editor");
    dialogs.yesNo = {true};
    closeTips();
    QTest::mouseClick(button("btnSetupOptions"), Qt::LeftButton);
    qunsetenv("VESK_EDITOR");
    EXPECT_EQ(pages.back(), 3);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find("Save current settings?"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(settingsFileIn(home)));
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_NE(shell.calls.back().parameters.find(settingsFileIn(home)), std::string::npos);
}

TEST_F(MainWindowTest, ReplaceIndicatorShowsExactlyWhileReplaceIsOn) {
    TfrmVesk1& w = open();
    check("cbxEnableReplace")->click();
    EXPECT_TRUE(button("btnReplace")->isEnabled());
    w.SetReplaceIndicator(2);
    EXPECT_TRUE(w.ReplaceOn());
    EXPECT_TRUE(label("lblReplaceOn")->isVisible());
    w.SetReplaceIndicator(7);
    EXPECT_TRUE(w.ReplaceOn());
    // Search turns Replace off before it starts.
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);
    EXPECT_FALSE(w.ReplaceOn());
    EXPECT_FALSE(label("lblReplaceOn")->isVisible());
}

TEST_F(MainWindowTest, FeedbackIsMailedAndKeptWhenTheMailProgramFails) {
    open();
    shell.failWith = "no mail program";
    QTimer::singleShot(0, [this] {
        auto* feedback = window->findChild<TfrmFeedback*>();
        ASSERT_TRUE(feedback && feedback->isVisible());
        auto* note = feedback->findChild<QPlainTextEdit*>("memNote");
        note->setPlainText(QStringLiteral("the grid is lovely"));
        QTest::mouseClick(feedback->findChild<QPushButton*>("btnSend"), Qt::LeftButton);
        EXPECT_TRUE(feedback->isVisible());
        EXPECT_EQ(note->toPlainText(), "the grid is lovely");
        shell.failWith.reset();
        QTest::mouseClick(feedback->findChild<QPushButton*>("btnSend"), Qt::LeftButton);
    });
    button("btnContactOstrel")->click();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"no mail program"});
    ASSERT_EQ(shell.documents.size(), 2u);
    EXPECT_EQ(shell.documents[1].rfind("mailto:", 0), 0u);
    EXPECT_NE(shell.documents[1].find("the grid is lovely"), std::string::npos);
    EXPECT_NE(shell.documents[1].find("Ulmen Find Text v7.25.7.28"), std::string::npos);
}

TEST_F(MainWindowTest, FeedbackKeepsTheNoteWhenTheRunLogCannotBeWritten) {
    home.mkdir("Ostrelrun.log"); // a folder where the run log should be
    open();
    QTimer::singleShot(0, [this] {
        auto* feedback = window->findChild<TfrmFeedback*>();
        ASSERT_TRUE(feedback && feedback->isVisible());
        auto* note = feedback->findChild<QPlainTextEdit*>("memNote");
        note->setPlainText(QStringLiteral("keep me"));
        QTest::mouseClick(feedback->findChild<QPushButton*>("btnSend"), Qt::LeftButton);
        EXPECT_TRUE(feedback->isVisible());
        EXPECT_EQ(note->toPlainText(), "keep me");
        feedback->reject();
    });
    button("btnContactOstrel")->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("run log could not be written"), std::string::npos);
    EXPECT_TRUE(shell.documents.empty());
}

// Answers the next modal box with `act` once the event loop runs.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

TEST(QtDialogsTest, EveryButtonOfTheConfirmationsGivesItsAnswer) {
    QtDialogs dialogs;
    const std::pair<QMessageBox::StandardButton, Answer> buttons[] = {
        {QMessageBox::Yes, Answer::Yes},
        {QMessageBox::No, Answer::No},
        {QMessageBox::Cancel, Answer::Cancel},
        {QMessageBox::NoToAll, Answer::NoToAll},
        {QMessageBox::YesToAll, Answer::YesToAll}};
    for (const auto& [b, answer] : buttons) {
        whenModal([b = b](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(b)->click(); });
        EXPECT_EQ(dialogs.confirmLine("Confirm", "Replace this line?"), answer);
    }
    whenModal([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(dialogs.askYesNo("", "Save current settings?"));
    whenModal([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
    EXPECT_FALSE(dialogs.askYesNo("", "Save current settings?"));
}

TEST(QtDialogsTest, PromptGivesTheTypedTextOrNothingWhenCancelled) {
    QtDialogs dialogs;
    whenModal([](QWidget* w) {
        auto* input = qobject_cast<QInputDialog*>(w);
        EXPECT_EQ(input->textValue(), "proposed");
        input->setTextValue(QStringLiteral("typed"));
        input->accept();
    });
    EXPECT_EQ(dialogs.promptText("Find", "Find:", "proposed"), std::optional<std::string>("typed"));
    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(dialogs.promptText("Find", "Find:", "x"), std::nullopt);
}

TEST_F(MainWindowTest, AdvancedFoldersOpenTheirWindowAndSelectFilesByDate) {
    tree.write("new/a.txt", "hit\n");
    tree.write("old/b.txt", "hit\n");
    tree.setMtime("old/b.txt", 1577880000); // 1 Jan 2020
    std::ofstream(settingsFileIn(home))
        << "[Settings]\r\nSimpleOrAdvancedFolders=2\r\n[Folders]\r\nSavedFolder0=" << tree.root()
        << "\r\nSavedFolderSelected0=1\r\n";
    TfrmVesk1& w = open();
    EXPECT_EQ(edit("edtFolder")->text().toStdString(), tree.root());
    EXPECT_EQ(label("lblFolderCount")->text(), "1 Folder");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        shown = modal && modal->objectName() == "TfrmVeskFolders";
        if (modal) qobject_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(edit("edtFolder"), Qt::LeftButton);
    EXPECT_TRUE(shown);

    typeInto("edtString", QStringLiteral("hit"));
    check("cbxEnableDateSelections")->setChecked(true);
    edit("edtSelDate1")->setText(QStringLiteral("01-Jan-26"));
    edit("edtSelDate2")->setText(QStringLiteral("31-Dec-2098")); // the files are written now
    QTest::mouseClick(button("btnGo"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.searchRun().state().MatchedLines, 1);
    EXPECT_EQ(w.searchRun().state().CurrentFile, tree.path("new/a.txt"));
}

} // namespace
} // namespace vesk
