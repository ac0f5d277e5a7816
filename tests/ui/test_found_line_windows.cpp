// The windows that open a found line, offscreen: the viewer's selected row, its header row and
// keys, "Choose how to open file", and the window around a found line driven from the results
// grid's signals.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "results/found_window.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/qt_app.h"
#include "ui/found_line_actions.h"
#include "ui/frm_f_window.h"
#include "ui/frm_vesk_edit_options.h"
#include "ui/frm_view2.h"
#include "ui/grid_model.h"
#include "ui/line_grid_view.h"
#include "ui/results_view.h"

namespace vesk {
namespace {

using test::RecordingShell;
using test::ScriptedDialogs;
using test::TempTree;

std::string numberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

void pump() {
    QCoreApplication::processEvents();
}

// Runs `action` once the modal loop that `open` starts is running; a watchdog ends a loop that
// the action failed to end, so a broken window fails the test instead of hanging it.
bool runModal(QDialog& dialog, const std::function<void()>& open,
              const std::function<void()>& action) {
    bool watchdogFired = false;
    QTimer::singleShot(0, &dialog, action);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&] {
        watchdogFired = true;
        dialog.done(QDialog::Rejected);
    });
    watchdog.start(5000);
    open();
    return !watchdogFired;
}

class ViewWindowTest : public ::testing::Test {
protected:
    void open(int line, bool courier = true) {
        view.shareFind(find, dialogs);
        view.setTarget({file, line}, courier);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.activateWindow();
        pump();
    }
    int shownRow() const { return view.grdView2->currentIndex().row(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(view.grdView2, static_cast<Qt::Key>(k), mods);
        pump();
    }

    TempTree tree;
    std::string file = tree.write("src/notes.txt", numberedLines(30));
    ScriptedDialogs dialogs;
    GridFindState find;
    TfrmView2 view;
};

TEST_F(ViewWindowTest, ShowsTheWholeFileWithTheFoundLineSelected) {
    open(17);
    const StringGrid& g = view.grdView2->grid();
    EXPECT_EQ(view.windowTitle().toStdString(), file);
    EXPECT_EQ(g.rowCount(), 31);
    EXPECT_EQ(g.cell(0, 0), "");
    EXPECT_EQ(g.cell(1, 0), "");
    EXPECT_EQ(g.cell(0, 30), "30");
    EXPECT_EQ(g.cell(1, 30), "line 30");
    EXPECT_EQ(g.row(), 17);
    EXPECT_EQ(shownRow(), 17);
    EXPECT_TRUE(view.grdView2->selectionModel()->isRowSelected(17, {}));
    EXPECT_EQ(view.grdView2->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(view.grdView2->font().pointSize(), 9);
    // The whole height of the work area.
    EXPECT_EQ(view.frameGeometry().top(), view.screen()->availableGeometry().top());
    EXPECT_EQ(view.frameGeometry().height(), view.screen()->availableGeometry().height());
    view.hide();

    open(3, false);
    EXPECT_EQ(shownRow(), 3);
    EXPECT_EQ(view.grdView2->font().family(), QStringLiteral("Verdana"));
    EXPECT_EQ(view.grdView2->font().pointSize(), 8);
}

TEST_F(ViewWindowTest, TheHeaderRowIsNeverReached) {
    open(4);
    find.findText = "LINE"; // set at Ctrl+F in the results grid: any case
    for (int i = 0; i < 6; ++i)
        key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(view.grdView2->grid().row(), 1);
    EXPECT_EQ(shownRow(), 1);
    EXPECT_TRUE(find.found == false); // the last Shift+F3 found nothing above row 1
    key(Qt::Key_Up);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.grdView2->grid().row(), 1);
    EXPECT_EQ(shownRow(), 1);
    key(Qt::Key_F3);
    EXPECT_EQ(shownRow(), 2);
}

TEST_F(ViewWindowTest, CtrlFAsksAndSharesTheFindText) {
    open(1);
    dialogs.prompts.push_back(std::string("line 2"));
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(find.findText, "line 2");
    EXPECT_EQ(shownRow(), 2);
    key(Qt::Key_F3); // "line 20" holds "line 2" too
    EXPECT_EQ(shownRow(), 20);
}

TEST_F(ViewWindowTest, EscAndCtrlVCloseTheModalView) {
    view.shareFind(find, dialogs);
    view.setTarget({file, 5}, true);
    for (const Qt::Key k : {Qt::Key_Escape, Qt::Key_V}) {
        const Qt::KeyboardModifiers mods = k == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier;
        bool wasOpen = false;
        int rowsWhileOpen = 0;
        EXPECT_TRUE(runModal(
            view, [&] { view.showModal(); },
            [&] {
                wasOpen = view.viewOpen() && !view.showModal(); // no second opening
                rowsWhileOpen = view.grdView2->grid().rowCount();
                QTest::keyClick(view.grdView2, k, mods);
            }))
            << "key " << k;
        EXPECT_TRUE(wasOpen);
        EXPECT_EQ(rowsWhileOpen, 31);
        EXPECT_FALSE(view.viewOpen());
        EXPECT_FALSE(view.isVisible());
        EXPECT_EQ(view.grdView2->grid().rowCount(), 2); // the lines go with the window
    }
}

TEST_F(ViewWindowTest, AFileThatIsGoneSaysSoAndShowsNothingStale) {
    open(10);
    view.hide();
    file = tree.path("src/gone.txt");
    open(10);
    EXPECT_EQ(view.windowTitle().toStdString(), file + " - No such file or directory");
    const StringGrid& g = view.grdView2->grid();
    ASSERT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.cell(1, 1), "");
    EXPECT_EQ(view.grdView2->gridModel().rowCount(), 2);
}

// The results grid, the main window's controls and windows that opening needs.
class FoundLineTest : public ::testing::Test {
protected:
    FoundLineTest() {
        settings = tree.write("vesk.INI", "[Viewer]\nlog=Viewer\n");
        file = tree.write("src/hundred.txt", numberedLines(100));
        results.setRowCount(3);
        results.setCell(1, 0, file);
        results.setCell(2, 0, file);
        setMatch(1, file, "2", "6");
        setMatch(2, tree.path("src/gone.txt"), "4", "1");
        results.setColWidth(0, 44);
        results.setColWidth(1, 744);

        grdFound = new ResultsView(results, dialogs, &window);
        btnView = new QPushButton(&window);
        cbxCopyToCB = new QCheckBox(&window);
        edtString = new QLineEdit(QStringLiteral("  line 2 "), &window);
        cbxTestInfo = new QCheckBox(&window);
        cbxCourier = new QCheckBox(&window);
        view = new TfrmView2(&window);
        editOptions = new TfrmVeskEditOptions(&window);
        fWindow = new TfrmFWindow(&window);
        FoundLineParts parts{grdFound,   btnView, cbxCopyToCB, edtString,   cbxTestInfo,
                             cbxCourier, false,   view,        editOptions, fWindow};
        actions = new FoundLineActions(parts, shell, dialogs, settings, &window);
        window.resize(900, 500);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        pump();
    }
    void setMatch(int row, const std::string& name, const char* line, const char* col) {
        results.setCell(0, row, line);
        results.setCell(1, row, "text");
        results.setCell(2, row, name);
        results.setCell(3, row, col);
    }
    std::vector<std::string> windowNumbers() const {
        std::vector<std::string> out;
        const StringGrid& g = fWindow->grdWindow->grid();
        for (int r = 0; r < g.rowCount(); ++r)
            out.emplace_back(g.cell(0, r));
        return out;
    }

    TempTree tree;
    std::string settings, file;
    StringGrid results{4, 1};
    ScriptedDialogs dialogs;
    RecordingShell shell;
    QWidget window;
    ResultsView* grdFound = nullptr;
    QPushButton* btnView = nullptr;
    QCheckBox* cbxCopyToCB = nullptr;
    QLineEdit* edtString = nullptr;
    QCheckBox* cbxTestInfo = nullptr;
    QCheckBox* cbxCourier = nullptr;
    TfrmView2* view = nullptr;
    TfrmVeskEditOptions* editOptions = nullptr;
    TfrmFWindow* fWindow = nullptr;
    FoundLineActions* actions = nullptr;
};

TEST_F(FoundLineTest, CtrlWShowsTheLinesAroundLineTwo) {
    results.setRow(1);
    emit grdFound->toggleFoundWindowRequested();
    pump();
    ASSERT_TRUE(fWindow->isVisible());
    EXPECT_TRUE(actions->foundWindowShown());
    EXPECT_EQ(fWindow->windowTitle(), QStringLiteral("Window around found line"));
    EXPECT_EQ(windowNumbers(),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "", "", "", ""}));
    EXPECT_EQ(fWindow->grdWindow->grid().cell(1, 6), "line 7");
    EXPECT_EQ(fWindow->grdWindow->currentIndex().row(), 1);
    EXPECT_EQ(fWindow->grdWindow->model()->rowCount(), kFoundWindowRows);
    EXPECT_TRUE(fWindow->grdWindow->font().bold());

    emit grdFound->gridClicked(); // a click in the results hides it
    pump();
    EXPECT_FALSE(fWindow->isVisible());
    EXPECT_FALSE(actions->foundWindowShown());

    // Shown again on the heading row of the same file: lines 1 to 5, no found row.
    results.setRow(0);
    actions->ToggleFoundWindow();
    pump();
    EXPECT_EQ(windowNumbers(),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "", "", "", "", "", ""}));
    EXPECT_TRUE(fWindow->grdWindow->selectionModel()->selectedRows().isEmpty());
    QTest::keyClick(fWindow->grdWindow, Qt::Key_W, Qt::ControlModifier);
    pump();
    EXPECT_FALSE(fWindow->isVisible());
    EXPECT_FALSE(actions->foundWindowShown());
}

TEST_F(FoundLineTest, AFileThatCannotBeReadIsReportedAndNotShown) {
    results.setRow(2);
    actions->ToggleFoundWindow();
    pump();
    EXPECT_FALSE(fWindow->isVisible());
    EXPECT_FALSE(actions->foundWindowShown());
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Cannot open file \"" + tree.path("src/gone.txt") +
                                       "\". No such file or directory"});
}

TEST_F(FoundLineTest, DoubleClickAsksAndStartsTheAnswer) {
    // "Notepad" is the default editor, which is told the line when it is one it knows.
    qputenv("VESK_EDITOR", "/usr/bin/kate");
    results.setRow(1);
    cbxCopyToCB->setChecked(true);
    QString ext, name;
    EXPECT_TRUE(runModal(
        *editOptions, [&] { emit grdFound->openFileRequested(); },
        [&] {
            ext = editOptions->lblExt->text();
            name = editOptions->lblFilename->text();
            editOptions->btnNotepad->click();
        }));
    EXPECT_EQ(ext.toStdString(), "Extension=txt");
    EXPECT_EQ(name.toStdString(), "Filename=" + file);
    EXPECT_EQ(shell.clipboard, "line 2");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/kate");
    EXPECT_EQ(shell.calls[0].parameters, " --line 2 --column 6 " + file);
    EXPECT_EQ(actions->opener().dialogAnswer(), "Notepad.exe");
    qunsetenv("VESK_EDITOR");
}

TEST_F(FoundLineTest, ViewButtonOpensTheViewerOnTheRow) {
    results.setRow(1);
    int shownRow = -1;
    QString caption;
    EXPECT_TRUE(runModal(
        *view, [&] { btnView->click(); },
        [&] {
            shownRow = view->grdView2->grid().row();
            caption = view->windowTitle();
            view->reject();
        }));
    EXPECT_EQ(shownRow, 2);
    EXPECT_EQ(caption.toStdString(), file);
}

} // namespace
} // namespace vesk
