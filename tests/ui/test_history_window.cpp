// The history window on screen (offscreen): the history page, and the multiple-search table with
// its find-set file, driven with scripted dialogs.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lib/program_folder.h"
#include "settings/history.h"
#include "settings/multiple_searches.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk_history.h"

namespace vesk {
namespace {

using test::TempTree;
using Strings = std::vector<std::string>;

// Scripted answers, and the folder each file dialog started in.
class FileDialogs final : public Dialogs {
public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    Answer confirmLine(std::string_view, std::string_view) override { return Answer::Cancel; }
    std::optional<std::string> promptText(std::string_view, std::string_view,
                                          std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> pickFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> pickFile(std::string_view, std::string_view start,
                                        std::string_view) override {
        starts.emplace_back(start);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.erase(files.begin());
        return f;
    }
    Strings messages, starts;
    std::vector<std::optional<std::string>> files;
};

template <typename W> W* child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

Strings column(const QTableWidget* table) {
    Strings out;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem* item = table->item(r, 0);
        out.push_back(item ? item->text().toStdString() : std::string());
    }
    return out;
}

void setCell(QTableWidget* table, int row, const char* text) {
    table->setItem(row, 0, new QTableWidgetItem(QString::fromLatin1(text)));
}

class HistoryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("VESK_HOME", home.root().c_str(), 1);
        ListWindowLinks l;
        l.saved = &saved;
        l.stringSlots = &stringSlots;
        l.history = &history;
        l.dialogs = &dialogs;
        l.stringBox = [this] { return stringBox; };
        l.setStringBox = [this](const std::string& s) { stringBox = s; };
        l.stringsTaken = [this] { ++taken; };
        l.editFile = [this](const std::string& f) {
            edited.push_back(f);
            return true;
        };
        l.findSetFileName = &findSetFileName;
        w.setLinks(l);
    }
    void TearDown() override { ::unsetenv("VESK_HOME"); }

    // Shown and active, so that focus moves as it does for a user.
    void showActive() {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    void leaveNumberLines(const char* text) {
        auto* box = child<QLineEdit>(w, "edtNumStrings");
        box->setFocus();
        box->setText(QString::fromLatin1(text));
        child<QTableWidget>(w, "grdMultipleFind")->setFocus();
    }

    TempTree home, tree;
    SavedSettings saved;
    StringSlots stringSlots;
    SearchHistory history;
    FileDialogs dialogs;
    std::string stringBox = "typed", findSetFileName;
    Strings edited;
    int taken = 0;
    TfrmVeskHistory w;
};

TEST_F(HistoryWindow, ListsNewestFirstAndOkPutsTheChoiceInTheStringBox) {
    for (const char* s : {"first", "second", "FIRST", "third"})
        AddToHistory(history.HistoryList, s);
    history.StringKind = kStringKindMultiple;
    w.show();
    auto* pages = child<QTabWidget>(w, "PageControl1");
    auto* list = child<QListWidget>(w, "lstbxHistory");
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_FALSE(pages->isTabVisible(1)); // simple strings mode
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("third"));
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("first"));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(list->item(0)->isSelected());

    list->setCurrentRow(1);
    click(w, "btnOK");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stringBox, "second");
    EXPECT_EQ(history.StringKind, kStringKindSingle);

    // A new search shows at the top at the next showing.
    AddToHistory(history.HistoryList, "fourth");
    w.show();
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("fourth"));
    EXPECT_EQ(list->currentRow(), 0);
    w.hide();
}

TEST_F(HistoryWindow, OkWithNoHistoryLeavesTheStringBoxAlone) {
    w.show();
    click(w, "btnOK");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stringBox, "typed");
}

TEST_F(HistoryWindow, UseForSearchesTakesTheNonBlankRowsIntoTheSlots) {
    saved.StringsMode = kModeAdvanced;
    showActive();
    auto* pages = child<QTabWidget>(w, "PageControl1");
    EXPECT_TRUE(pages->isTabVisible(1));
    pages->setCurrentIndex(1);
    auto* table = child<QTableWidget>(w, "grdMultipleFind");
    auto* number = child<QLineEdit>(w, "edtNumStrings");
    EXPECT_EQ(number->text(), QStringLiteral("1"));

    leaveNumberLines("5");
    EXPECT_EQ(table->rowCount(), 5);
    leaveNumberLines("many");
    EXPECT_EQ(table->rowCount(), 1);
    number->setText(QStringLiteral("3"));
    QTest::keyClick(number, Qt::Key_Return); // sets the rows, and the window stays
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_TRUE(w.isVisible());
    leaveNumberLines("4");
    setCell(table, 0, "alpha");
    setCell(table, 1, "   ");
    setCell(table, 3, "beta");
    click(w, "btnUseMulti");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stringSlots.FindCount, 2);
    EXPECT_EQ(stringSlots.FindStrings[0], "alpha");
    EXPECT_EQ(stringSlots.FindStrings[1], "beta");
    EXPECT_EQ(history.FindSetText, "<alpha><beta>");
    EXPECT_EQ(history.StringKind, kStringKindMultiple);
    EXPECT_EQ(taken, 1);
    // "Number lines" keeps its number rather than the joined strings.
    EXPECT_EQ(number->text(), QStringLiteral("4"));

    // Shown again, the table holds the taken strings without the gaps.
    w.show();
    EXPECT_EQ(column(table), (Strings{"alpha", "beta"}));
    w.hide();
}

TEST_F(HistoryWindow, ACellStillBeingTypedIsTaken) {
    saved.StringsMode = kModeAdvanced;
    showActive();
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    auto* table = child<QTableWidget>(w, "grdMultipleFind");
    setCell(table, 0, "");
    table->setCurrentCell(0, 0); // the cell's editor opens at once
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && table->isAncestorOf(editor));
    QTest::keyClicks(editor, "gamma");
    // A shortcut presses the button without taking the focus from the cell.
    child<QPushButton>(w, "btnUseMulti")->animateClick();
    QTest::qWait(300);
    EXPECT_EQ(stringSlots.FindCount, 1);
    EXPECT_EQ(stringSlots.FindStrings[0], "gamma");
}

TEST_F(HistoryWindow, LoadFindSetFromFile) {
    saved.StringsMode = kModeAdvanced;
    stringSlots.ReplaceStrings[0] = "kept";
    const std::string set =
        tree.write("set.txt", "one\ttwo\r\n\tled by a tab\r\n   \r\n caf\xe9 \r\nthree");
    dialogs.files = {set};
    w.show();
    click(w, "btnLoadFindSet");
    EXPECT_EQ(dialogs.messages, Strings{std::string(kFindSetHelp)});
    EXPECT_EQ(dialogs.starts, Strings{""});
    EXPECT_EQ(stringSlots.FindCount, 3);
    EXPECT_EQ(stringSlots.FindStrings[1], " caf\xe9 ");
    EXPECT_EQ(stringSlots.ReplaceStrings[0], "kept");
    EXPECT_EQ(findSetFileName, set);
    auto* table = child<QTableWidget>(w, "grdMultipleFind");
    auto* number = child<QLineEdit>(w, "edtNumStrings");
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(number->text(), QStringLiteral("3"));
    // Loaded bytes that are not UTF-8 reach the slots unchanged through the table.
    click(w, "btnUseMulti");
    EXPECT_EQ(stringSlots.FindStrings[1], " caf\xe9 ");
    EXPECT_EQ(history.FindSetText, "<one>< caf\xe9 ><three>");

    // Cancelled, or a file that is not there: the slots stay, and the box shows their count.
    w.show();
    number->setText(QStringLiteral("9"));
    dialogs.files = {std::nullopt, tree.path("missing.txt")};
    click(w, "btnLoadFindSet");
    EXPECT_EQ(number->text(), QStringLiteral("3"));
    number->setText(QStringLiteral("9"));
    click(w, "btnLoadFindSet");
    EXPECT_EQ(number->text(), QStringLiteral("3"));
    EXPECT_EQ(stringSlots.FindCount, 3);
    EXPECT_EQ(column(table), (Strings{"one", " caf\xc3\xa9 ", "three"}));
    w.hide();
}

TEST_F(HistoryWindow, ALargeFindSetGivesItsFirstTwoHundredAndSaysHowManyWereLeftOut) {
    saved.StringsMode = kModeAdvanced;
    std::string text;
    for (int i = 1; i <= 230; ++i)
        text += "s" + std::to_string(i) + "\n";
    dialogs.files = {tree.write("big.txt", text)};
    w.show();
    click(w, "btnLoadFindSet");
    EXPECT_EQ(stringSlots.FindCount, 200);
    EXPECT_EQ(stringSlots.FindStrings[199], "s200");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].find(" 30 "), std::string::npos) << dialogs.messages[1];
    EXPECT_EQ(child<QLineEdit>(w, "edtNumStrings")->text(), QStringLiteral("200"));
    w.hide();
}

TEST_F(HistoryWindow, EditFindSetStartsInTheFirstSavedFolderAndOpensTheEditor) {
    saved.StringsMode = kModeAdvanced;
    w.show();
    dialogs.files = {std::nullopt, std::string("/sets/a.txt")};
    click(w, "btnEditFindSet");
    EXPECT_EQ(dialogs.starts, Strings{settingsFolder()});
    EXPECT_TRUE(edited.empty());
    saved.SavedFolder[0] = "/work/src";
    click(w, "btnEditFindSet");
    EXPECT_EQ(dialogs.starts.back(), "/work/src");
    EXPECT_EQ(edited, Strings{"/sets/a.txt"});
    EXPECT_EQ(findSetFileName, "/sets/a.txt");
    EXPECT_EQ(dialogs.messages.size(), 2u); // the help, before each dialog
    w.hide();
}

} // namespace
} // namespace vesk
