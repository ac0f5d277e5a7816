// From the running main window: a search, then a double click on a match row of a .txt file
// whose "Viewer" key names a script; the script, standing in for the editor, writes down the
// arguments it was started with.

#include <chrono>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "lib/datetime.h"
#include "lib/program_folder.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/frm_vesk1.h"
#include "ui/results_view.h"

namespace vesk {
namespace {

using test::readFile;
using test::TempTree;

std::vector<std::string> argumentsWritten(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<std::string> out;
    const std::string text = readFile(path);
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    return out;
}

TEST(OpenFromMainWindow, DoubleClickStartsTheScriptOfTheExtension) {
    TempTree home, tree;
    qputenv("VESK_HOME", QByteArray::fromStdString(home.root()));
    const std::string args = home.path("args.txt");
    const std::string editor = home.write(
        "bin/notepad++", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + args +
                             ".tmp'\nmv '" + args + ".tmp' '" + args + "'\n");
    ::chmod(editor.c_str(), 0755);
    home.write(executableFileName() + ".INI", "[Viewer]\nTXT=" + editor + "\n");
    const std::string found = tree.write("my notes.txt", "alpha\nbeta needle\n");

    test::ScriptedDialogs dialogs;
    test::FakeClock clock{encodeDate(2026, 12, 7) + 0.5};
    {
        TfrmVesk1 w(VeskWindowOptions{&dialogs, nullptr, &clock, false}); // the real shell
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.findChild<QLineEdit*>(QStringLiteral("edtFolder"))
            ->setText(QString::fromStdString(tree.root()));
        w.findChild<QLineEdit*>(QStringLiteral("edtString"))->setText(QStringLiteral("needle"));
        w.findChild<QCheckBox*>(QStringLiteral("cbxCopyToCB"))->setChecked(false);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnGo")), Qt::LeftButton);
        ASSERT_FALSE(w.Searching());
        ASSERT_EQ(w.searchRun().state().MatchedLines, 1);

        const StringGrid& g = w.grid();
        int matchRow = -1;
        for (int r = 0; r < g.rowCount(); ++r)
            if (g.cell(0, r) == "2") matchRow = r;
        ASSERT_GE(matchRow, 0);
        ResultsView& view = w.resultsView();
        QCoreApplication::processEvents();
        const QRect cell = view.visualRect(view.model()->index(matchRow, 1));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(argumentsWritten(args), (std::vector<std::string>{"-n2:", "-c6", found}));
        EXPECT_TRUE(dialogs.messages.empty());
    }
    qunsetenv("VESK_HOME");
}

} // namespace
} // namespace vesk
