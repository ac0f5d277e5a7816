// The advanced lists and the history from the running main window (offscreen): the list windows
// opened from the boxes build the lists a run searches, and the rows listed are those the real
// vesk-cli lists for the same folders, masks and strings.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli_host.h"
#include "lib/datetime.h"
#include "settings/settings.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk1.h"

namespace vesk {
namespace {

using Strings = std::vector<std::string>;

struct CliResult {
    int status = -1;
    std::string out;
};

// The real vesk-cli; the arguments are quoted here, one by one.
CliResult runCli(const Strings& args) {
    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    std::string cmd = std::string(dir ? dir : ".") + "/vesk-cli";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    CliResult r;
    FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

Strings linesOf(const std::string& text) {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The match rows a run left in the window's grid, as vesk-cli prints them.
Strings matchRows(TfrmVesk1& w) {
    std::ostringstream out;
    cli::printRows(w.grid(), w.searchRun().state().LastRow, cli::Format::Grep, out);
    return linesOf(out.str());
}

class AdvancedSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("VESK_HOME", home.root().c_str(), 1); }
    void TearDown() override {
        window.reset();
        ::unsetenv("VESK_HOME");
    }

    void writeSettings(const std::string& text) { std::ofstream(SettingsPath()) << text; }

    TfrmVesk1& open() {
        window = std::make_unique<TfrmVesk1>(VeskWindowOptions{&dialogs, &shell, &clock, false});
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    template <class W> W* child(QObject* parent, const char* name) {
        W* w = parent->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    template <class W> W* child(const char* name) { return child<W>(window.get(), name); }
    std::string text(const char* name) {
        if (auto* e = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return e->text().toStdString();
        return child<QLabel>(name)->text().toStdString();
    }

    // Clicks a box of the main window and, while the modal window it opens is up, runs `act`
    // on that window; true when the window named `modalName` was the one shown.
    bool clickWithModal(QWidget* target, const char* modalName,
                        const std::function<void(QDialog&)>& act) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal) return;
            shown = modal->objectName() == QLatin1String(modalName);
            if (shown) act(*modal);
            if (modal->isVisible()) modal->reject();
        });
        QTest::mouseClick(target, Qt::LeftButton);
        return shown;
    }

    void clickButton(QObject* parent, const char* name) {
        QTest::mouseClick(child<QPushButton>(parent, name), Qt::LeftButton);
    }

    test::TempTree home, tree;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock{encodeDate(2026, 12, 7) + 0.5};
    std::unique_ptr<TfrmVesk1> window;
};

void doubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

TEST_F(AdvancedSearchTest, ListWindowsDriveARunThatListsTheRowsOfVeskCli) {
    const std::string one = tree.write("one/a.txt", "alpha\r\nnothing\r\nBETA and gamma\r\n");
    tree.write("one/sub/b.pas", "x\ngamma\n");
    tree.write("one/skip.md", "alpha\n");
    tree.write("two/c.c", "int alpha;\n");
    tree.write("two/d.txt", "beta\n");
    const std::string dirOne = tree.path("one"), dirTwo = tree.path("two");
    writeSettings("[Settings]\r\nSimpleOrAdvancedFolders=2\r\nSimpleOrAdvancedFileSpec=2\r\n"
                  "SimpleOrAdvancedStrings=2\r\n");
    TfrmVesk1& w = open();

    dialogs.folders = {dirOne, dirTwo, tree.path("gone")};
    EXPECT_TRUE(clickWithModal(child<QLineEdit>("edtFolder"), "TfrmVeskFolders", [&](QDialog& d) {
        auto* rows = child<QListWidget>(&d, "clbFolders");
        for (int r = 0; r < 3; ++r) {
            doubleClickRow(rows, r);
            rows->item(r)->setCheckState(Qt::Checked);
        }
        clickButton(&d, "btnFinish");
    }));
    // The folder that is not there is neither shown nor counted.
    EXPECT_EQ(text("edtFolder"), dirOne + "," + dirTwo);
    EXPECT_EQ(text("lblFolderCount"), "2 Folders");

    EXPECT_TRUE(
        clickWithModal(child<QLineEdit>("edtFileSpec"), "TfrmVeskFileSpec", [&](QDialog& d) {
            auto* rows = child<QListWidget>(&d, "clbFilespec");
            for (const char* mask : {"*.txt", "*.pas", "*.c"}) {
                child<QLineEdit>(&d, "edtFilespec")->setText(QString::fromLatin1(mask));
                clickButton(&d, "btnAdd");
            }
            ASSERT_EQ(rows->count(), 4); // "*.*" first, unchecked
            for (int r = 1; r < 4; ++r)
                rows->item(r)->setCheckState(Qt::Checked);
            clickButton(&d, "btnFinish");
        }));
    EXPECT_EQ(text("edtFileSpec"), "*.txt,*.pas,*.c");
    EXPECT_EQ(text("lblFilespecCount"), "3 Filespecs");

    EXPECT_TRUE(clickWithModal(child<QLineEdit>("edtString"), "TfrmVeskStrings", [&](QDialog& d) {
        child<QPlainTextEdit>(&d, "MemoStrings")->setPlainText("alpha\n\nbeta\ngamma");
        clickButton(&d, "btnFinish");
    }));
    EXPECT_EQ(text("edtString"), "alpha,beta,gamma");
    EXPECT_EQ(text("lblStringsCount"), "3 Strings");

    QTest::mouseClick(child<QPushButton>("btnGo"), Qt::LeftButton);
    const Strings shown = matchRows(w);
    EXPECT_EQ(shown.size(), 5u);
    const CliResult cli = runCli({"-r", "-s", "alpha", "-s", "beta", "-s", "gamma", "-m", "*.txt",
                                  "-m", "*.pas", "-m", "*.c", dirOne, dirTwo});
    EXPECT_EQ(cli.status, 0);
    EXPECT_EQ(shown, linesOf(cli.out));
}

TEST_F(AdvancedSearchTest, ResetToSavedDefaultsBringsBackTheSavedSwitches) {
    writeSettings("[Settings]\r\nSimpleOrAdvancedFileSpec=2\r\n");
    TfrmVesk1& w = open();
    QTest::mouseClick(child<QLabel>("ImageFolder"), Qt::LeftButton); // folders to advanced
    ASSERT_EQ(w.saved().FolderMode, kModeAdvanced);
    EXPECT_TRUE(clickWithModal(child<QLineEdit>("edtFileSpec"), "TfrmVeskFileSpec",
                               [&](QDialog& d) { clickButton(&d, "btnReloadDefault"); }));
    EXPECT_EQ(w.saved().FolderMode, kModeSimple);
    EXPECT_FALSE(child<QLineEdit>("edtFolder")->isReadOnly());
    EXPECT_TRUE(child<QPushButton>("btnBrowse")->isEnabled());
}

TEST_F(AdvancedSearchTest, ThreeSearchesShowInTheHistoryNewestFirst) {
    tree.write("a.txt", "red green blue\n");
    TfrmVesk1& w = open();
    for (const char* s : {"red", "green", "blue"}) {
        QTest::mouseClick(child<QPushButton>("btnSelect"), Qt::LeftButton);
        auto* box = child<QLineEdit>("edtString");
        box->setText(QString::fromLatin1(s));
        child<QLineEdit>("edtFolder")->setText(QString::fromStdString(tree.root()));
        QTest::mouseClick(child<QPushButton>("btnGo"), Qt::LeftButton);
        ASSERT_EQ(w.searchRun().state().MatchedLines, 1) << s;
    }
    QTest::mouseClick(child<QPushButton>("btnSelect"), Qt::LeftButton);
    Strings listed;
    int selected = -1;
    EXPECT_TRUE(
        clickWithModal(child<QPushButton>("btnHistory"), "TfrmVeskHistory", [&](QDialog& d) {
            auto* list = child<QListWidget>(&d, "lstbxHistory");
            for (int i = 0; i < list->count(); ++i)
                listed.push_back(list->item(i)->text().toStdString());
            selected = list->currentRow();
            list->setCurrentRow(2);
            clickButton(&d, "btnOK");
        }));
    EXPECT_EQ(listed, (Strings{"blue", "green", "red"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(text("edtString"), "red");
    // Back in the main window the focus is on the Search button.
    EXPECT_EQ(w.focusWidget(), child<QPushButton>("btnGo"));
}

TEST_F(AdvancedSearchTest, AFindSetFromAFileDrivesAMultipleStringsRunLikeVeskCli) {
    tree.write("src/a.txt", "one\ntwo words\nthree\n");
    tree.write("src/b.txt", "TWO\nfour\n");
    const std::string set = tree.write("set.tsv", "two\treplacement ignored\n\tskipped\nfour\n");
    writeSettings("[Settings]\r\nSimpleOrAdvancedStrings=2\r\n");
    TfrmVesk1& w = open();
    child<QLineEdit>("edtFolder")->setText(QString::fromStdString(tree.path("src")));
    dialogs.files = {set};
    EXPECT_TRUE(
        clickWithModal(child<QPushButton>("btnHistory"), "TfrmVeskHistory", [&](QDialog& d) {
            auto* pages = child<QTabWidget>(&d, "PageControl1");
            ASSERT_TRUE(pages->isTabVisible(1));
            pages->setCurrentIndex(1);
            clickButton(&d, "btnLoadFindSet");
            EXPECT_EQ(child<QLineEdit>(&d, "edtNumStrings")->text(), "2");
            clickButton(&d, "btnUseMulti");
        }));
    // What the window shows is what the run searches.
    EXPECT_EQ(text("edtString"), "two,four");
    EXPECT_EQ(text("lblStringsCount"), "2 Strings");
    EXPECT_EQ(w.history().FindSetText, "<two><four>");

    QTest::mouseClick(child<QPushButton>("btnGo"), Qt::LeftButton);
    const Strings shown = matchRows(w);
    EXPECT_EQ(shown.size(), 3u);
    const CliResult cli = runCli({"-s", "two", "-s", "four", tree.path("src")});
    EXPECT_EQ(shown, linesOf(cli.out));
}

} // namespace
} // namespace vesk
