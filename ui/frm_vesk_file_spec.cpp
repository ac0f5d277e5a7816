#include "ui/frm_vesk_file_spec.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "settings/list_windows.h"
#include "ui/check_rows_view.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

TfrmVeskFileSpec::TfrmVeskFileSpec(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskFileSpec"));
    setWindowTitle(QStringLiteral("Filespec - Advanced  Search"));

    clbFilespec = new QListWidget(this);
    clbFilespec->setObjectName(QStringLiteral("clbFilespec"));
    clbFilespec->setSelectionMode(QAbstractItemView::SingleSelection);
    clbFilespec->installEventFilter(this);
    edtFilespec = new QLineEdit(this);
    edtFilespec->setObjectName(QStringLiteral("edtFilespec"));
    edtFilespec->installEventFilter(this);
    btnAdd = makeButton("btnAdd", "Add", this);
    memoFileSpec = new QPlainTextEdit(this);
    memoFileSpec->setObjectName(QStringLiteral("memoFileSpec"));
    memoFileSpec->setReadOnly(true);
    btnSaveFilespec = makeButton("btnSaveFilespec", "Save These filespecs as Default set", this);
    btnReloadDefault = makeButton("btnReloadDefault", "Reset to Saved Defaults", this);
    btnFinish = makeButton("btnFinish", "OK", this);
    btnFinish->setDefault(true);

    auto* grid = new QGridLayout(this);
    int row = 0;
    auto text = [&](const char* t) { grid->addWidget(makeLabel(t, this), row++, 0, 1, 3); };
    text("You can search up to 10 filespecs.");
    text("Add Check-mark next to filespecs that you wish to be in current search");
    text("(uncheck to keep in list but not in current search)");
    text("To remove a Filespec click on it and press  DEL");
    text("Tip - if you select multiple filespecs to search  and one is *.* then the others are "
         "ignored.");
    grid->addWidget(clbFilespec, row++, 0, 1, 3);
    text("To add new a Filespec , enter Filespec e.g. *.TXT  in the Add New FileSpec box and click "
         "the add button");
    text("To change a Filespec, Delete it (press DEL) then add a new one, it will go in the first "
         "blank slot.");
    grid->addWidget(makeLabel("Add new Filespec", this), row, 0);
    grid->addWidget(edtFilespec, row, 1);
    grid->addWidget(btnAdd, row++, 2);
    text("These Filespecs will be searched");
    grid->addWidget(memoFileSpec, row++, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnSaveFilespec);
    buttons->addWidget(btnReloadDefault);
    buttons->addStretch();
    buttons->addWidget(btnFinish);
    grid->addLayout(buttons, row, 0, 1, 3);
    resize(560, 600);

    connect(clbFilespec, &QListWidget::itemClicked, this, [this] { takeRows(); });
    connect(clbFilespec, &QListWidget::itemChanged, this, [this] { takeRows(); });
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(btnFinish, &QPushButton::clicked, this, [this] { btnFinishClick(); });
    connect(btnReloadDefault, &QPushButton::clicked, this, [this] { btnReloadDefaultClick(); });
    connect(btnSaveFilespec, &QPushButton::clicked, this, [this] { btnSaveFilespecClick(); });
}

void TfrmVeskFileSpec::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    fillRows();
    takeRows();
}

void TfrmVeskFileSpec::fillRows() {
    if (!links_.saved) return;
    showCheckRows(clbFilespec, FillFilespecRows(*links_.saved), toQt);
}

void TfrmVeskFileSpec::takeRows() {
    if (!links_.saved || !links_.lists) return;
    TakeFilespecRows(checkRowsOf(clbFilespec), *links_.saved, *links_.lists);
    memoFileSpec->setPlainText(memoText(links_.lists->FilespecList, toQt));
}

void TfrmVeskFileSpec::btnAddClick() {
    std::vector<CheckRow> rows = checkRowsOf(clbFilespec);
    switch (AddFilespecRow(rows, fromQt(edtFilespec->text()))) {
    case AddRowResult::Added:
        showCheckRows(clbFilespec, rows, toQt);
        takeRows();
        break;
    case AddRowResult::Full:
        if (links_.dialogs) links_.dialogs->showMessage(kFilespecSlotsFull);
        break;
    case AddRowResult::Blank:
        break;
    }
}

void TfrmVeskFileSpec::deleteSelectedRow() {
    const int row = selectedCheckRow(clbFilespec);
    if (row < 0) return;
    std::vector<CheckRow> rows = checkRowsOf(clbFilespec);
    ClearRow(rows, static_cast<std::size_t>(row)); // the row stays, as a slot for "Add"
    showCheckRows(clbFilespec, rows, toQt);
    takeRows();
}

bool TfrmVeskFileSpec::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == clbFilespec && key == Qt::Key_Delete) {
        deleteSelectedRow();
        return true;
    }
    // Enter after typing a mask adds it, rather than closing the window with the mask lost.
    if (watched == edtFilespec && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        btnAddClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmVeskFileSpec::btnFinishClick() {
    takeRows();
    accept();
}

void TfrmVeskFileSpec::btnReloadDefaultClick() {
    if (!links_.saved) return;
    *links_.saved = LoadSettings(links_.settingsPath, links_.setDiagnosticLevel);
    if (links_.settingsReloaded) links_.settingsReloaded();
    fillRows();
    takeRows();
}

void TfrmVeskFileSpec::btnSaveFilespecClick() {
    if (!links_.saved || !links_.dialogs) return;
    takeRows();
    SaveFilespecSet(links_.settingsPath, *links_.saved, *links_.dialogs);
}

} // namespace vesk
