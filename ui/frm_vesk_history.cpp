#include "ui/frm_vesk_history.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "lib/program_folder.h"
#include "lib/text.h"
#include "replace/find_set.h"
#include "settings/history.h"
#include "settings/list_windows.h"
#include "settings/multiple_searches.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {
constexpr int kBytesRole = Qt::UserRole;
constexpr int kPageHistory = 0;
constexpr int kPageMultiple = 1;
constexpr std::string_view kFindSetFilter = "All files (*)";

QTableWidgetItem* cellFor(const std::string& text) {
    auto* item = new QTableWidgetItem(toQt(text));
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    return item;
}

// A cell's bytes: those it was filled with while its text is unchanged, else what was typed.
std::string cellBytes(const QTableWidgetItem* item) {
    if (!item) return {};
    const QVariant bytes = item->data(kBytesRole);
    if (bytes.isValid()) {
        const QByteArray b = bytes.toByteArray();
        const std::string s(b.constData(), static_cast<std::size_t>(b.size()));
        if (toQt(s) == item->text()) return s;
    }
    return fromQt(item->text());
}
} // namespace

TfrmVeskHistory::TfrmVeskHistory(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskHistory"));
    setWindowTitle(QStringLiteral("Search History and Multiple Searches"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { width: 144px; height: 36px; }"));
    PageControl1->addTab(buildHistoryPage(), QStringLiteral("Search History"));
    PageControl1->addTab(buildMultiplePage(), QStringLiteral("Multiple Searches"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    resize(520, 480);
}

QWidget* TfrmVeskHistory::buildHistoryPage() {
    auto* page = new QWidget(this);
    lstbxHistory = new QListWidget(page);
    lstbxHistory->setObjectName(QStringLiteral("lstbxHistory"));
    lstbxHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    btnOK = makeButton("btnOK", "OK", page);
    btnOK->setDefault(true);
    btnCancel = makeButton("btnCancel", "Cancel", page);
    auto* grid = new QGridLayout(page);
    grid->addWidget(lstbxHistory, 0, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->addWidget(btnOK, 1, 1);
    grid->addWidget(btnCancel, 1, 2);
    connect(lstbxHistory, &QListWidget::itemDoubleClicked, this, [this] { btnOKClick(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
    return page;
}

QWidget* TfrmVeskHistory::buildMultiplePage() {
    auto* page = new QWidget(this);
    Label1 = makeLabel("Multiple searches still experimental", page);
    grdMultipleFind = new QTableWidget(1, 1, page);
    grdMultipleFind->setObjectName(QStringLiteral("grdMultipleFind"));
    grdMultipleFind->horizontalHeader()->hide();
    grdMultipleFind->verticalHeader()->hide();
    grdMultipleFind->horizontalHeader()->setStretchLastSection(true);
    grdMultipleFind->setEditTriggers(QAbstractItemView::AllEditTriggers);
    Label12 = makeLabel("Number lines", page);
    edtNumStrings = new QLineEdit(QStringLiteral("1"), page);
    edtNumStrings->setObjectName(QStringLiteral("edtNumStrings"));
    edtNumStrings->installEventFilter(this);
    btnUseMulti = makeButton("btnUseMulti", "Use for Searches", page);
    btnCancelMulti = makeButton("btnCancelMulti", "   Cancel", page);
    btnEditFindSet = makeButton("btnEditFindSet", "Edit Find Set in file", page);
    btnLoadFindSet = makeButton("btnLoadFindSet", "Load Find Set from file", page);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Label1, 0, 0, 1, 4);
    grid->addWidget(grdMultipleFind, 1, 0, 1, 4);
    grid->addWidget(Label12, 2, 0);
    grid->addWidget(edtNumStrings, 2, 1);
    grid->addWidget(btnEditFindSet, 3, 0, 1, 2);
    grid->addWidget(btnLoadFindSet, 3, 2, 1, 2);
    grid->addWidget(btnUseMulti, 4, 2);
    grid->addWidget(btnCancelMulti, 4, 3);
    connect(btnUseMulti, &QPushButton::clicked, this, [this] { btnUseMultiClick(); });
    connect(btnCancelMulti, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnEditFindSet, &QPushButton::clicked, this, [this] { btnEditFindSetClick(); });
    connect(btnLoadFindSet, &QPushButton::clicked, this, [this] { btnLoadFindSetClick(); });
    return page;
}

bool TfrmVeskHistory::stringsAdvanced() const {
    return links_.saved && links_.saved->StringsMode == kModeAdvanced;
}

void TfrmVeskHistory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmVeskHistory::FormShow() {
    PageControl1->setCurrentIndex(kPageHistory);
    PageControl1->setTabVisible(kPageMultiple, stringsAdvanced());
    if (links_.history && !links_.history->HistoryList.empty()) {
        lstbxHistory->clear();
        for (const std::string& s : HistoryNewestFirst(links_.history->HistoryList)) {
            auto* item = new QListWidgetItem(toQt(s), lstbxHistory);
            item->setData(kBytesRole, QByteArray(s.data(), static_cast<qsizetype>(s.size())));
        }
        lstbxHistory->scrollToTop();
        lstbxHistory->setCurrentRow(0);
    }
    if (stringsAdvanced() && links_.stringSlots && links_.stringSlots->FindCount > 0)
        showSlotsInTable();
}

void TfrmVeskHistory::btnOKClick() {
    const QListWidgetItem* item = lstbxHistory->currentItem();
    if (item && links_.setStringBox) {
        const QByteArray b = item->data(kBytesRole).toByteArray();
        links_.setStringBox(std::string(b.constData(), static_cast<std::size_t>(b.size())));
    }
    if (links_.history) links_.history->StringKind = kStringKindSingle;
    accept();
}

bool TfrmVeskHistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtNumStrings && event->type() == QEvent::FocusOut) edtNumStringsExit();
    // Enter sets the rows, rather than pressing a button that closes the window.
    if (watched == edtNumStrings && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            edtNumStringsExit();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmVeskHistory::edtNumStringsExit() {
    const int rows = NumberLinesRows(fromQt(edtNumStrings->text()));
    grdMultipleFind->setRowCount(rows);
    edtNumStrings->setText(QString::number(rows));
}

std::vector<std::string> TfrmVeskHistory::tableRows() {
    // A cell still being typed in holds its text in the editor until it is committed.
    if (QWidget* editor = QApplication::focusWidget();
        editor && grdMultipleFind->isAncestorOf(editor))
        QMetaObject::invokeMethod(grdMultipleFind, "commitData", Q_ARG(QWidget*, editor));
    std::vector<std::string> rows;
    for (int r = 0; r < grdMultipleFind->rowCount(); ++r)
        rows.push_back(cellBytes(grdMultipleFind->item(r, 0)));
    return rows;
}

void TfrmVeskHistory::showSlotsInTable() {
    const std::vector<std::string> rows = FindSetRows(*links_.stringSlots);
    grdMultipleFind->clearContents();
    grdMultipleFind->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        grdMultipleFind->setItem(static_cast<int>(r), 0, cellFor(rows[r]));
}

void TfrmVeskHistory::btnUseMultiClick() {
    if (!links_.stringSlots || !links_.history) return;
    const int dropped = TakeFindSetRows(tableRows(), *links_.stringSlots);
    if (dropped > 0 && links_.dialogs) links_.dialogs->showMessage(TooManyStringsMessage(dropped));
    links_.history->FindSetText = FindSetText(*links_.stringSlots);
    links_.history->StringKind = kStringKindMultiple;
    if (links_.stringsTaken) links_.stringsTaken();
    accept();
}

void TfrmVeskHistory::btnEditFindSetClick() {
    if (!links_.dialogs) return;
    links_.dialogs->showMessage(kFindSetHelp);
    const std::string saved0 = links_.saved ? trim(links_.saved->SavedFolder[0]) : std::string();
    const std::string start = saved0.empty() ? settingsFolder() : saved0;
    const auto file = links_.dialogs->pickFile("Edit Find Set in file", start, kFindSetFilter);
    if (!file) return;
    (links_.findSetFileName ? *links_.findSetFileName : ownFindSetFileName_) = *file;
    if (links_.editFile) links_.editFile(*file);
}

void TfrmVeskHistory::btnLoadFindSetClick() {
    if (!links_.dialogs || !links_.stringSlots) return;
    links_.dialogs->showMessage(kFindSetHelp);
    if (const auto file = links_.dialogs->pickFile("Load Find Set from file", "", kFindSetFilter)) {
        (links_.findSetFileName ? *links_.findSetFileName : ownFindSetFileName_) = *file;
        loadFindSetFile(*file);
        showSlotsInTable();
    }
    edtNumStrings->setText(QString::number(links_.stringSlots->FindCount));
}

void TfrmVeskHistory::loadFindSetFile(const std::string& fileName) {
    // A chosen file that does not exist changes nothing.
    QFile file(fileNameToQt(fileName));
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        links_.dialogs->showMessage("Unable to read the set file " + fileName + ": " +
                                    fromQt(file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    std::vector<std::string> finds;
    for (FindPair& pair : parseFindSet(std::string_view(bytes.constData(), bytes.size())))
        finds.push_back(std::move(pair.find));
    // Only the find strings are loaded here; the replacements stay as they were.
    const int dropped = TakeFindSetRows(finds, *links_.stringSlots);
    if (dropped > 0) links_.dialogs->showMessage(TooManyStringsMessage(dropped));
}

} // namespace vesk
