// A replace run started from the main window over a copy of a real source tree, every
// confirmation scripted: exactly the confirmed lines change, and each saved file leaves a backup,
// an archive entry and a change-log entry; a run answered No everywhere changes no byte.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "replace/file_snapshot.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk1.h"
#include "ui/frm_vesk_replace.h"
#include "ui/frm_vesk_replace_results.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::readFile;

constexpr const char* kFind = "ReplaceReview";
constexpr const char* kReplacement = "FileReview";

std::map<std::string, std::string> treeBytes(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const auto stamp = e.last_write_time().time_since_epoch().count();
        files[e.path().string()] = std::to_string(stamp) + "|" + readFile(e.path().string());
    }
    return files;
}

std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t a = text.find(from);
    if (a == std::string::npos) return {};
    const std::size_t b = text.find(to, a + from.size());
    return text.substr(a + from.size(), b - a - from.size());
}

class ReplaceFromMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VESK_HOME", QByteArray::fromStdString(home.root()));
        // The program's own replace sources are the real tree the run works on.
        // The source folder comes from the build, since __FILE__ may be relative (compiler caches).
        const fs::path sources = fs::path(VESK_SOURCE_DIR) / "replace";
        const fs::path src = fs::path(tree.root()) / "src";
        fs::create_directories(src);
        for (const auto& e : fs::directory_iterator(sources))
            if (e.path().extension() == ".cpp" || e.path().extension() == ".h")
                fs::copy_file(e.path(), src / e.path().filename());
    }
    void TearDown() override {
        window.reset();
        qunsetenv("VESK_HOME");
    }

    TfrmVesk1& open() {
        window = std::make_unique<TfrmVesk1>(VeskWindowOptions{&dialogs, &shell, &clock, false});
        window->show();
        return *window;
    }

    // Replace in the main window: tick "Enable Search/Replace", press "Replace", type the pair,
    // tick "Turn on replace text" and press the dialog's "Replace"; the run follows.
    void replaceFromTheWindow() {
        auto* folder = window->findChild<QLineEdit*>(QStringLiteral("edtFolder"));
        folder->setText(QString::fromStdString(tree.root()));
        window->findChild<QCheckBox*>(QStringLiteral("cbxSubFolders"))->setChecked(true);
        window->findChild<QCheckBox*>(QStringLiteral("cbxEnableReplace"))->setChecked(true);
        TfrmVeskReplace* dialog = window->frmVeskReplace();
        QTimer::singleShot(0, [dialog] {
            dialog->grdReplace->setItem(0, 0, new QTableWidgetItem(QString::fromLatin1(kFind)));
            dialog->grdReplace->setItem(0, 1,
                                        new QTableWidgetItem(QString::fromLatin1(kReplacement)));
            dialog->cbxDoReplace->click();
            dialog->btnReplace->click();
        });
        // Each review window that opens is saved.
        QTimer saver;
        QObject::connect(&saver, &QTimer::timeout, [this] {
            TfrmVeskReplaceResults* results = window->frmVeskReplaceResults();
            if (results->isVisible()) results->btnSaveFile->click();
        });
        saver.start(5);
        window->findChild<QPushButton*>(QStringLiteral("btnReplace"))->click();
        saver.stop();
    }

    test::TempTree home;
    test::TempTree tree;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock;
    std::unique_ptr<TfrmVesk1> window;
};

TEST_F(ReplaceFromMainWindow, ChangesExactlyTheConfirmedLines) {
    open();
    const auto before = treeBytes(tree.root());
    std::string listing;
    for (const auto& [path, bytes] : before)
        listing += path + "\n";
    ASSERT_GE(before.size(), 10u) << listing;
    for (int i = 0; i < 200; ++i)
        dialogs.lineAnswers.push_back(i % 2 ? Answer::No : Answer::Yes);
    for (int i = 0; i < 20; ++i)
        dialogs.yesNo.push_back(true); // save without the differences
    replaceFromTheWindow();

    // Which lines were accepted, from the questions asked.
    std::set<std::pair<std::string, int>> accepted;
    std::set<std::string> savedFiles;
    int asked = 0;
    for (const std::string& q : dialogs.questions) {
        if (q.find("This line:") == std::string::npos) continue;
        const std::string file = between(q, "File:", "\r\n");
        const int line = std::stoi(between(q, "This line:", "\r\n"));
        if (asked++ % 2 == 0) {
            accepted.insert({file, line});
            savedFiles.insert(file);
        }
    }
    ASSERT_GE(asked, 10);
    for (const auto& [path, stamped] : before) {
        const std::string old = stamped.substr(stamped.find('|') + 1);
        const std::vector<std::string> oldLines = splitLines(old);
        const std::vector<std::string> newLines = splitLines(readFile(path));
        ASSERT_EQ(oldLines.size(), newLines.size()) << path;
        for (std::size_t i = 0; i < oldLines.size(); ++i) {
            std::string expected = oldLines[i];
            if (accepted.count({path, static_cast<int>(i) + 1}))
                for (std::size_t p; (p = expected.find(kFind)) != std::string::npos;)
                    expected.replace(p, std::string(kFind).size(), kReplacement);
            EXPECT_EQ(newLines[i], expected) << path << ":" << i + 1;
        }
    }
    const std::string archive = readFile(home.root() + "VeskSearchReplaceArchive.jarc");
    const std::string log = readFile(tree.root() + "Vesk-SearchReplace.log");
    for (const std::string& f : savedFiles) {
        EXPECT_NE(archive.find(" ~ " + f + " ~ Changes="), std::string::npos) << f;
        EXPECT_NE(log.find(" Search/Replace " + f + "\r\n"), std::string::npos) << f;
        const fs::path p(f);
        int backups = 0;
        for (const auto& e : fs::directory_iterator(p.parent_path()))
            if (e.path().extension() == p.extension() &&
                e.path().filename().string().rfind(p.stem().string() + "-VeskSearchReplace-", 0) ==
                    0) {
                ++backups;
                EXPECT_EQ(readFile(e.path().string()),
                          before.at(f).substr(before.at(f).find('|') + 1));
            }
        EXPECT_EQ(backups, 1) << f;
    }
    EXPECT_FALSE(window->Searching());
}

TEST_F(ReplaceFromMainWindow, NoEverywhereLeavesEveryByteUnchanged) {
    open();
    const auto before = treeBytes(tree.root());
    for (int i = 0; i < 200; ++i)
        dialogs.lineAnswers.push_back(Answer::No);
    replaceFromTheWindow();
    EXPECT_GE(dialogs.questions.size(), 10u);
    EXPECT_EQ(treeBytes(tree.root()), before);
    EXPECT_FALSE(fs::exists(home.root() + "VeskSearchReplaceArchive.jarc"));
}

} // namespace
} // namespace vesk
