// The folder, file-mask and strings windows on screen (offscreen), driven as a user drives them,
// with scripted dialogs and a settings file of the test's own.

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/advanced_lists.h"
#include "settings/list_windows.h"
#include "settings/settings.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk_file_spec.h"
#include "ui/frm_vesk_folders.h"
#include "ui/frm_vesk_strings.h"

namespace vesk {
namespace {

using test::ScriptedDialogs;
using test::TempTree;
using Strings = std::vector<std::string>;

template <typename W> W* child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

Strings rowTexts(const QListWidget* list) {
    Strings out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

void doubleClickRow(QListWidget* list, int row) {
    // A view takes a double click only on the row its first click pressed.
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void pressDeleteOn(QListWidget* list, int row) {
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Delete);
}

void check(QListWidget* list, int row) {
    list->item(row)->setCheckState(Qt::Checked);
}

class ListWindows : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("VESK_HOME", home.root().c_str(), 1); }
    void TearDown() override { ::unsetenv("VESK_HOME"); }

    ListWindowLinks links() {
        ListWindowLinks l;
        l.saved = &saved;
        l.lists = &lists;
        l.stringSlots = &stringSlots;
        l.dialogs = &dialogs;
        l.settingsPath = SettingsPath();
        l.stringBox = [this] { return stringBox; };
        l.setStringBox = [this](const std::string& s) { stringBox = s; };
        l.settingsReloaded = [this] { ++reloads; };
        return l;
    }

    TempTree home, tree;
    SavedSettings saved;
    RunLists lists;
    StringSlots stringSlots;
    ScriptedDialogs dialogs;
    std::string stringBox;
    int reloads = 0;
};

TEST_F(ListWindows, FolderRowsBrowseDeleteAndTheMemo) {
    const std::string a = tree.mkdir("a"), b = tree.mkdir("b");
    saved.FolderMode = kModeAdvanced;
    saved.SavedFolder[3] = tree.path("gone"); // checked but no longer there
    saved.SavedFolderSelected[3] = true;
    TfrmVeskFolders w;
    w.setLinks(links());
    w.show();
    auto* rows = child<QListWidget>(w, "clbFolders");
    auto* memo = child<QPlainTextEdit>(w, "MemoFolders");
    ASSERT_EQ(rows->count(), 11);
    EXPECT_EQ(memo->toPlainText().toStdString(), tree.path("gone"));

    dialogs.folders = {a, std::nullopt, b};
    doubleClickRow(rows, 0); // a blank row: browse for a new folder
    check(rows, 0);
    doubleClickRow(rows, 1); // cancelled: nothing changes
    doubleClickRow(rows, 0); // a row with a folder: browse from it, the mark stays
    EXPECT_EQ(rowTexts(rows)[0], b);
    EXPECT_EQ(rowTexts(rows)[1], "");
    EXPECT_EQ(rows->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(saved.SavedFolder[0], b);
    EXPECT_EQ(memo->toPlainText().toStdString(), b + "\n" + tree.path("gone"));

    pressDeleteOn(rows, 3);
    EXPECT_EQ(rows->count(), 11);
    EXPECT_EQ(rowTexts(rows)[3], "");
    EXPECT_EQ(rows->item(3)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(saved.SavedFolderSelected[3]);
    EXPECT_EQ(memo->toPlainText().toStdString(), b);

    click(w, "btnFinish");
    EXPECT_FALSE(w.isVisible());
    MainBoxes boxes;
    RefreshFolderSet(saved, boxes);
    BuildFolderList(saved, lists, boxes);
    EXPECT_EQ(lists.FolderList, Strings{b});
    EXPECT_EQ(boxes.lblFolderCount, "1 Folder");
}

TEST_F(ListWindows, FolderSaveWritesWithoutAskingAndResetRereadsSwitchesToo) {
    const std::string a = tree.mkdir("a");
    TfrmVeskFolders w;
    w.setLinks(links());
    w.show();
    auto* rows = child<QListWidget>(w, "clbFolders");
    dialogs.folders = {a};
    doubleClickRow(rows, 2);
    check(rows, 2);
    saved.FolderMode = kModeAdvanced;
    click(w, "btnSaveFolders");
    EXPECT_EQ(dialogs.questions, Strings{"Select folder"}); // the browse, and no question after
    EXPECT_TRUE(dialogs.messages.empty());

    const SavedSettings onDisk = LoadSettings(SettingsPath());
    EXPECT_EQ(onDisk.SavedFolder[2], a);
    EXPECT_TRUE(onDisk.SavedFolderSelected[2]);
    EXPECT_EQ(onDisk.FolderMode, kModeAdvanced);

    // Changes made after the save are undone by the reset, the switches included.
    pressDeleteOn(rows, 2);
    saved.FolderMode = kModeSimple;
    saved.StringsMode = kModeAdvanced;
    click(w, "btnReloadDefault");
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(rowTexts(rows)[2], a);
    EXPECT_EQ(rows->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(saved.FolderMode, kModeAdvanced);
    EXPECT_EQ(saved.StringsMode, kModeSimple);
}

TEST_F(ListWindows, FilespecDeleteThenAddReusesTheRowAndElevenIsTheLimit) {
    saved.SavedFilespec = {"*.pas", "", "*.dfm", "*.txt"};
    saved.SavedFilespecSelected[0] = saved.SavedFilespecSelected[3] = true;
    TfrmVeskFileSpec w;
    w.setLinks(links());
    w.show();
    auto* rows = child<QListWidget>(w, "clbFilespec");
    auto* memo = child<QPlainTextEdit>(w, "memoFileSpec");
    auto* edit = child<QLineEdit>(w, "edtFilespec");
    EXPECT_EQ(rowTexts(rows), (Strings{"*.pas", "*.dfm", "*.txt"}));
    EXPECT_EQ(memo->toPlainText().toStdString(), "*.pas\n*.txt");

    pressDeleteOn(rows, 1);
    QTest::keyClicks(edit, "*.cpp");
    QTest::keyClick(edit, Qt::Key_Return); // adds, and the window stays
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(rowTexts(rows), (Strings{"*.pas", "*.cpp", "*.txt"}));
    EXPECT_EQ(rows->item(1)->checkState(), Qt::Unchecked);

    // A checked "*.*" stands for every mask.
    edit->setText("*.*");
    click(w, "btnAdd");
    check(rows, 3);
    EXPECT_EQ(memo->toPlainText().toStdString(), "*.*");

    for (int i = 0; i < 7; ++i) {
        edit->setText(QString::fromLatin1("*.x%1").arg(i));
        click(w, "btnAdd");
    }
    ASSERT_EQ(rows->count(), 11);
    EXPECT_TRUE(dialogs.messages.empty());
    click(w, "btnAdd");
    EXPECT_EQ(rows->count(), 11);
    EXPECT_EQ(dialogs.messages, Strings{std::string(kFilespecSlotsFull)});

    dialogs.yesNo = {false}; // a question would be answered No and leave the file unwritten
    click(w, "btnSaveFilespec");
    EXPECT_TRUE(dialogs.questions.empty());
    const SavedSettings onDisk = LoadSettings(SettingsPath());
    EXPECT_EQ(onDisk.SavedFilespec[1], "*.cpp");
    EXPECT_EQ(onDisk.SavedFilespec[10], "*.x6");
    EXPECT_TRUE(onDisk.SavedFilespecSelected[3]);
}

TEST_F(ListWindows, StringsMemoDropsBlankLinesAndIsKeptBetweenShowings) {
    saved.StringsMode = kModeAdvanced;
    TfrmVeskStrings w;
    w.setLinks(links());
    w.show();
    auto* memo = child<QPlainTextEdit>(w, "MemoStrings");
    EXPECT_FALSE(child<QPushButton>(w, "btnSaveStrings")->isEnabled());
    memo->setPlainText("alpha\n   \nbeta gamma\n delta ");
    click(w, "btnFinish");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(stringSlots.FindCount, 3);
    EXPECT_EQ(stringSlots.FindStrings[2], " delta ");
    EXPECT_EQ(stringBox, "alpha");
    MainBoxes boxes;
    BuildStringList(saved, stringSlots, lists, boxes);
    EXPECT_EQ(boxes.edtString, "alpha,beta gamma, delta ");
    EXPECT_EQ(boxes.lblStringsCount, "3 Strings");

    w.show();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("alpha\n   \nbeta gamma\n delta "));
    w.hide();
}

TEST_F(ListWindows, StringsPastTwoHundredAreReportedAndResetShowsTheSlots) {
    TfrmVeskStrings w;
    w.setLinks(links());
    w.show();
    QString text;
    for (int i = 0; i < 203; ++i)
        text += QString::fromLatin1("s%1\n").arg(i);
    child<QPlainTextEdit>(w, "MemoStrings")->setPlainText(text);
    click(w, "btnFinish");
    EXPECT_EQ(stringSlots.FindCount, 200);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(" 3 "), std::string::npos) << dialogs.messages[0];

    // No strings yet: the reset offers the string box as the first one.
    StringSlots empty;
    stringSlots = empty;
    stringBox = "typed";
    w.show();
    click(w, "btnReloadDefault");
    EXPECT_EQ(child<QPlainTextEdit>(w, "MemoStrings")->toPlainText(), QStringLiteral("typed"));
    EXPECT_EQ(reloads, 1);
    // Bytes that are not UTF-8 come back unchanged from an untouched memo.
    stringSlots.FindStrings[0] = "caf\xe9";
    stringSlots.FindStrings[1] = "tea";
    stringSlots.FindCount = 2;
    click(w, "btnReloadDefault");
    click(w, "btnFinish");
    EXPECT_EQ(stringSlots.FindStrings[0], "caf\xe9");
    EXPECT_EQ(stringSlots.FindCount, 2);
}

} // namespace
} // namespace vesk
