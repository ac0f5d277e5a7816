#include "ui/frm_vesk_folders.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "settings/list_windows.h"
#include "ui/check_rows_view.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

TfrmVeskFolders::TfrmVeskFolders(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskFolders"));
    setWindowTitle(QStringLiteral("Folders - Advanced Search"));

    clbFolders = new QListWidget(this);
    clbFolders->setObjectName(QStringLiteral("clbFolders"));
    clbFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    clbFolders->installEventFilter(this);
    MemoFolders = new QPlainTextEdit(this);
    MemoFolders->setObjectName(QStringLiteral("MemoFolders"));
    MemoFolders->setReadOnly(true);
    btnSaveFolders = makeButton("btnSaveFolders", "Save These folders as Default set", this);
    btnReloadDefault = makeButton("btnReloadDefault", "Reset to Saved Defaults", this);
    btnFinish = makeButton("btnFinish", "OK", this);
    btnFinish->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel("You can search up to 10 folders.", this), 0, 0);
    grid->addWidget(
        makeLabel("Add Check-mark next to folders that you wish to be in current search", this), 1,
        0);
    grid->addWidget(makeLabel("(uncheck to keep in list but not in current search)", this), 2, 0);
    grid->addWidget(makeLabel("Double click a blank line to  browse and set a new folder", this), 3,
                    0);
    grid->addWidget(makeLabel("Double click a line with folder already to  browse and change the "
                              "folder, DEL to delete folder",
                              this),
                    4, 0);
    grid->addWidget(clbFolders, 5, 0);
    grid->addWidget(makeLabel("These folders will be searched", this), 6, 0);
    grid->addWidget(MemoFolders, 7, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnSaveFolders);
    buttons->addWidget(btnReloadDefault);
    buttons->addStretch();
    buttons->addWidget(btnFinish);
    grid->addLayout(buttons, 8, 0);
    resize(560, 560);

    connect(clbFolders, &QListWidget::itemClicked, this, [this] { takeRows(); });
    connect(clbFolders, &QListWidget::itemChanged, this, [this] { takeRows(); });
    connect(clbFolders, &QListWidget::itemDoubleClicked, this, [this] { clbFoldersDblClick(); });
    connect(btnFinish, &QPushButton::clicked, this, [this] { btnFinishClick(); });
    connect(btnReloadDefault, &QPushButton::clicked, this, [this] { btnReloadDefaultClick(); });
    connect(btnSaveFolders, &QPushButton::clicked, this, [this] { btnSaveFoldersClick(); });
}

void TfrmVeskFolders::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    fillRows();
    takeRows();
}

void TfrmVeskFolders::fillRows() {
    if (!links_.saved) return;
    showCheckRows(clbFolders, FillFolderRows(*links_.saved), fileNameToQt);
}

void TfrmVeskFolders::takeRows() {
    if (!links_.saved || !links_.lists) return;
    TakeFolderRows(checkRowsOf(clbFolders), *links_.saved, *links_.lists);
    MemoFolders->setPlainText(memoText(links_.lists->FolderList, fileNameToQt));
}

void TfrmVeskFolders::clbFoldersDblClick() {
    const int row = selectedCheckRow(clbFolders);
    if (row < 0 || !links_.dialogs) return;
    std::vector<CheckRow> rows = checkRowsOf(clbFolders);
    const auto chosen =
        links_.dialogs->pickFolder("Select folder", rows[static_cast<std::size_t>(row)].text);
    if (!chosen) return;
    rows[static_cast<std::size_t>(row)].text = *chosen; // the check mark stays as it was
    showCheckRows(clbFolders, rows, fileNameToQt);
    takeRows();
}

void TfrmVeskFolders::deleteSelectedRow() {
    const int row = selectedCheckRow(clbFolders);
    if (row < 0) return;
    std::vector<CheckRow> rows = checkRowsOf(clbFolders);
    ClearRow(rows, static_cast<std::size_t>(row));
    showCheckRows(clbFolders, rows, fileNameToQt);
    takeRows();
}

bool TfrmVeskFolders::eventFilter(QObject* watched, QEvent* event) {
    if (watched == clbFolders && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteSelectedRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmVeskFolders::btnFinishClick() {
    takeRows();
    accept();
}

void TfrmVeskFolders::btnReloadDefaultClick() {
    if (!links_.saved) return;
    *links_.saved = LoadSettings(links_.settingsPath, links_.setDiagnosticLevel);
    if (links_.settingsReloaded) links_.settingsReloaded();
    fillRows();
    takeRows();
}

void TfrmVeskFolders::btnSaveFoldersClick() {
    if (!links_.saved || !links_.dialogs) return;
    takeRows();
    SaveFolderSet(links_.settingsPath, *links_.saved, *links_.dialogs);
}

} // namespace vesk
