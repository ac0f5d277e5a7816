// "Text Output Options" offscreen: the controls as designed, the values shown on opening, and
// the two export buttons with the check boxes' choices.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "lib/channels.h"
#include "lib/datetime.h"
#include "results/tab_export.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/desktop_commands.h"
#include "ui/frm_text.h"
#include "ui/frm_vesk1.h"
#include "ui/text_print.h"

namespace vesk {
namespace {

struct FrmTextTest : ::testing::Test {
    test::TempTree t;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock{encodeDate(2026, 3, 5) + encodeTime(14, 7, 9)};
    DesktopCommands commands{shell, dialogs, clock};
    StringGrid grid{4, 1};
    TfrmText window;

    void SetUp() override {
        commands.channels().programFolderOverride = t.mkdir("home");
        grid.setRowCount(2);
        grid.setCell(1, 0, "/x/a.c");
        grid.setCell(2, 0, "/x/a.c");
        grid.setCell(0, 1, "4");
        grid.setCell(1, 1, "int\tb;");
        grid.setCell(2, 1, "/x/a.c");
    }
    template <class W> W* child(const char* name) {
        W* w = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool open() {
        const ReportSource source{"Search Strings: (simple)\r\nint",
                                  "Folders Searched:\r\n",
                                  "1 Folder",
                                  "*.c",
                                  "Matched Lines=1 of 3",
                                  "int"};
        if (!window.Prepare(grid, commands.context(), source, {t.path("out"), "Ostrel.INI"}))
            return false;
        window.show();
        return true;
    }
};

TEST_F(FrmTextTest, OpensWithTheNewValuesAndTheDesignedControls) {
    ASSERT_TRUE(open());
    EXPECT_EQ(window.windowTitle(), "Text Output Options");
    EXPECT_EQ(child<QLineEdit>("edtTextFilename")->text(),
              QString::fromStdString(t.path("out/Vesk-260305-140709.txt")));
    EXPECT_EQ(child<QLabel>("lblTextHeader")->text(),
              "Vesk results for: Search Strings: (simple)\nint\nFolder: Folders Searched:\n\n"
              "Number Folders: 1 Folder\nFilespec: *.c\n\nMatched Lines=1 of 3\n");
    EXPECT_EQ(child<QLabel>("lblSSFilename")->text(),
              "(actual filename will be .csv or SS-TAB.txt)");
    EXPECT_TRUE(child<QCheckBox>("cbxWriteCSV")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("cbxColumnHeaders")->isChecked());
    EXPECT_EQ(child<QPushButton>("btnExportText")->text(), "Write Text to Notepad");
    EXPECT_EQ(child<QPushButton>("btnGridToTab")->text(), "Write Tab Delimited File");
    EXPECT_TRUE(child<QPushButton>("btnDone")->isDefault());

    child<QPushButton>("btnDone")->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FrmTextTest, TabButtonFollowsTheCheckBoxes) {
    ASSERT_TRUE(open());
    child<QPushButton>("btnGridToTab")->click();
    const std::string csv = t.path("out/Vesk-260305-140709.csv");
    EXPECT_EQ(child<QLabel>("lblSSFilename")->text(), QString::fromStdString(csv));
    EXPECT_EQ(test::readFile(csv).substr(0, 8), "sep=\t\r\nD");

    child<QCheckBox>("cbxWriteCSV")->setChecked(false);
    child<QCheckBox>("cbxColumnHeaders")->setChecked(false);
    child<QPushButton>("btnGridToTab")->click();
    const std::string tsv = t.path("out/Vesk-260305-140709-SS-Tab.txt");
    EXPECT_EQ(test::readFile(tsv),
              tabExportText(grid, "2026-03-05 14:07:09", "int", {false, false}));
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"File saved to " + csv, "File saved to " + tsv}));
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].parameters, tsv);
}

TEST_F(FrmTextTest, TextButtonWritesTheListingWhateverTheBoxSays) {
    ASSERT_TRUE(open());
    child<QLineEdit>("edtTextFilename")->setText(QString::fromStdString(t.path("typed.txt")));
    child<QPushButton>("btnExportText")->click();
    EXPECT_FALSE(test::readFile(t.path("out/Vesk-260305-140709.txt")).empty());
    EXPECT_FALSE(test::readFile(t.path("out/Report-Vesk-260305-140709.txt")).empty());
    EXPECT_TRUE(test::readFile(t.path("typed.txt")).empty());
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].parameters, t.path("out/Report-Vesk-260305-140709.txt"));
}

TEST_F(FrmTextTest, NotShownWhenTheFolderCannotBeMade) {
    const ReportSource source{};
    EXPECT_FALSE(
        window.Prepare(grid, commands.context(), source, {t.path("no/such"), "Ostrel.INI"}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("No such file or directory"), std::string::npos);
}

// After a real search in the main window: the values come from its run and its boxes, and the
// window's own grid is what gets exported.
TEST(TextPrintFromMainWindow, ExportsTheLastRun) {
    test::TempTree home, tree;
    qputenv("VESK_HOME", QByteArray::fromStdString(home.root()));
    const std::string file = tree.write("a.txt", "hay\nneedle here\n");
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock{encodeDate(2026, 3, 5) + encodeTime(14, 7, 9)};
    {
        TfrmVesk1 w(VeskWindowOptions{&dialogs, &shell, &clock, false});
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.findChild<QLineEdit*>(QStringLiteral("edtFolder"))
            ->setText(QString::fromStdString(tree.root()));
        w.findChild<QLineEdit*>(QStringLiteral("edtString"))->setText(QStringLiteral("needle"));
        w.findChild<QPushButton*>(QStringLiteral("btnGo"))->click();
        ASSERT_FALSE(w.Searching());

        const ReportSource source = reportSourceOf(w);
        EXPECT_EQ(source.SearchStringsText, "Search Strings: (simple)\r\nneedle");
        EXPECT_EQ(source.FoldersSearchedText, "Folders Searched:\r\n");
        EXPECT_EQ(source.fileSpecText, "*.*");
        EXPECT_EQ(source.stringsText, "needle");
        EXPECT_EQ(source.statusText.rfind("Matched Lines=1 of 2", 0), 0u) << source.statusText;

        TfrmText* text = w.frmText();
        ASSERT_TRUE(text->Prepare(w.grid(), w.commands().context(), source,
                                  {home.path("out"), "Ostrel.INI"}));
        text->findChild<QCheckBox*>(QStringLiteral("cbxWriteCSV"))->setChecked(false);
        text->findChild<QPushButton*>(QStringLiteral("btnGridToTab"))->click();
        const std::string tsv = test::readFile(home.path("out/Vesk-260305-140709-SS-Tab.txt"));
        EXPECT_NE(tsv.find("\tneedle\t" + file + "\t"), std::string::npos) << tsv;
        EXPECT_TRUE(tsv.ends_with("\t2\tneedle here\r\n")) << tsv;
    }
    qunsetenv("VESK_HOME");
}

} // namespace
} // namespace vesk
