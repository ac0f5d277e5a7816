#include "ui/frm_vesk_replace.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include "lib/commands.h"
#include "lib/program_folder.h"
#include "lib/text.h"
#include "replace/find_set.h"
#include "replace/replace_pairs.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kPairColumnWidth = 348;
constexpr std::string_view kSetFileFilter = "All files (*)";

QTableWidgetItem* cellFor(std::string_view text) {
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
        std::string s(b.constData(), static_cast<std::size_t>(b.size()));
        if (toQt(s) == item->text()) return s;
    }
    return fromQt(item->text());
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* namedLabel(QWidget* parent, const char* name, const char* text) {
    QLabel* label = makeLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void paint(QLabel* label, const char* colour, bool bold) {
    label->setStyleSheet(QStringLiteral("color: %1;%2")
                             .arg(QString::fromLatin1(colour),
                                  bold ? QStringLiteral(" font-weight: bold;") : QString()));
}

bool within(const QWidget* w, const QWidget* ancestor) {
    return w && (w == ancestor || ancestor->isAncestorOf(w));
}

} // namespace

TfrmVeskReplace::TfrmVeskReplace(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskReplace"));
    setWindowTitle(QStringLiteral("Vesk Search/Replace Options"));
    buildControls();
    connectControls();
}

void TfrmVeskReplace::buildControls() {
    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setStyleSheet(QStringLiteral("#Shape1 { background: rgb(255,251,240); }"));
    Label1 = namedLabel(shape1, "Label1",
                        "Use with care!  You really had better know what you are doing");
    auto* shapeLayout = new QVBoxLayout(shape1);
    shapeLayout->addWidget(Label1);
    Label14 = namedLabel(this, "Label14",
                         "NOTE - You should have Set up a difference Viewer such as WinMerge "
                         "before  using Replace - see Settings on main screen");
    paint(Label14, "maroon", true);
    Label2 = namedLabel(this, "Label2",
                        "Vesk will keep backups - but I will take care and responsibility for the "
                        "changes");
    Button1 = makeButton("Button1", "(more info and disclaimer)", this);
    Label3 = namedLabel(this, "Label3",
                        "The Replace Mode will be turned on once after clicking the \"Replace\" "
                        "button and will turn off when search finishes or you click \"cancel\":");
    paint(Label3, "maroon", true);
    cbxDoReplace = checkBox(this, "cbxDoReplace", "Turn on replace text");
    QFont bold = cbxDoReplace->font();
    bold.setBold(true);
    cbxDoReplace->setFont(bold);
    Label9 = namedLabel(this, "Label9", "Original string");
    Label10 = namedLabel(this, "Label10", "Replace with");

    grdReplace = new QTableWidget(1, 2, this);
    grdReplace->setObjectName(QStringLiteral("grdReplace"));
    grdReplace->horizontalHeader()->hide();
    grdReplace->verticalHeader()->hide();
    grdReplace->setColumnWidth(0, kPairColumnWidth);
    grdReplace->setColumnWidth(1, kPairColumnWidth);
    grdReplace->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grdReplace->installEventFilter(this);

    Label12 = namedLabel(this, "Label12", "Number lines");
    edtNumStrings = new QLineEdit(QStringLiteral("1"), this);
    edtNumStrings->setObjectName(QStringLiteral("edtNumStrings"));
    edtNumStrings->installEventFilter(this);
    btnEditFindReplaceSet =
        makeButton("btnEditFindReplaceSet", "Edit Find/Replace Set in file", this);
    btnLoadFindReplaceSet =
        makeButton("btnLoadFindReplaceSet", "Load Find/Replace Set from file", this);
    Label13 = namedLabel(this, "Label13",
                         "Click or use arrow keys to move to next cell - or load your set of "
                         "strings from a file ");
    paint(Label13, "grey", false);
    lblFindStrAmx = namedLabel(this, "lblFindStrAmx", "Number strings to search for=");
    paint(lblFindStrAmx, "grey", false);

    cbxQueryFile = checkBox(this, "cbxQueryFile", "Confirm each file");
    Label7 = namedLabel(this, "Label7",
                        "(required - note at present if turned off file will not be saved)");
    Label7->setEnabled(false);
    cbxQueryLine = checkBox(this, "cbxQueryLine", "Confirm each line");
    Label4 = namedLabel(this, "Label4",
                        "(if this is ticked and you answer \"Yes to all\" this will apply only to "
                        "the current fie)");
    Label4->setEnabled(false);
    cbxPreserveSpaces = checkBox(this, "cbxPreserveSpaces", "Preserve spaces");
    Label11 = namedLabel(this, "Label11",
                         "(for files with fixed offsets or columns this attempts to preserve "
                         "spacing in the lines where possible)");
    Label5 = namedLabel(this, "Label5", "Misc Options");
    cbxShowLinesNoMatches =
        checkBox(this, "cbxShowLinesNoMatches", "    Show Lines with No Matches Only");
    cbxShowFilesWithNoMatches =
        checkBox(this, "cbxShowFilesWithNoMatches", "    Show Files With No Match");
    Label6 = namedLabel(this, "Label6",
                        "Search/Replaces will be logged into Vesk-SearchReplace.log in the start "
                        "folder selected");
    paint(Label6, "grey", false);
    Label8 = namedLabel(this, "Label8",
                        "(Note - Google type search and Replace option cannot be used together - "
                        "Google Find is a Find option only");
    paint(Label8, "grey", false);
    btnReplace = makeButton("btnReplace", "Search", this);
    btnReplace->setDefault(true);
    btnCancel = makeButton("btnCancel", "Cancel", this);

    auto* g = new QGridLayout(this);
    int row = 0;
    g->addWidget(shape1, row++, 0, 1, 4);
    g->addWidget(Label14, row++, 0, 1, 4);
    g->addWidget(Label2, row, 0, 1, 3);
    g->addWidget(Button1, row++, 3);
    g->addWidget(Label3, row++, 0, 1, 4);
    g->addWidget(cbxDoReplace, row++, 0, 1, 4);
    g->addWidget(Label9, row, 0, 1, 2);
    g->addWidget(Label10, row++, 2, 1, 2);
    g->addWidget(grdReplace, row++, 0, 1, 4);
    g->addWidget(Label12, row, 0);
    g->addWidget(edtNumStrings, row, 1);
    g->addWidget(btnEditFindReplaceSet, row, 2);
    g->addWidget(btnLoadFindReplaceSet, row++, 3);
    g->addWidget(Label13, row, 0, 1, 3);
    g->addWidget(lblFindStrAmx, row++, 3);
    g->addWidget(cbxQueryFile, row, 0);
    g->addWidget(Label7, row++, 1, 1, 3);
    g->addWidget(cbxQueryLine, row, 0);
    g->addWidget(Label4, row++, 1, 1, 3);
    g->addWidget(cbxPreserveSpaces, row, 0);
    g->addWidget(Label11, row++, 1, 1, 3);
    g->addWidget(Label5, row++, 0, 1, 4);
    g->addWidget(cbxShowLinesNoMatches, row, 0, 1, 2);
    g->addWidget(cbxShowFilesWithNoMatches, row++, 2, 1, 2);
    g->addWidget(Label6, row++, 0, 1, 4);
    g->addWidget(Label8, row++, 0, 1, 4);
    g->addWidget(btnReplace, row, 2);
    g->addWidget(btnCancel, row, 3);
    resize(2 * kPairColumnWidth + 60, 640);
}

void TfrmVeskReplace::connectControls() {
    connect(cbxDoReplace, &QCheckBox::clicked, this, [this] { UpdateReplaceControls(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(btnReplace, &QPushButton::clicked, this, [this] { btnReplaceClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnLoadFindReplaceSet, &QPushButton::clicked, this,
            [this] { btnLoadFindReplaceSetClick(); });
    connect(btnEditFindReplaceSet, &QPushButton::clicked, this,
            [this] { btnEditFindReplaceSetClick(); });
    connect(grdReplace, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) ++editCount_;
    });
    // Leaving the grid (not just moving into one of its cell editors) stores what was typed.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (isVisible() && within(old, grdReplace) && !within(now, grdReplace)) grdReplaceExit();
        if (old == cbxDoReplace && now != cbxDoReplace) UpdateReplaceControls(); // cbxDoReplaceExit
    });
}

void TfrmVeskReplace::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

bool TfrmVeskReplace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdReplace && event->type() == QEvent::KeyPress)
        ++editCount_; // grdReplaceKeyDown
    if (watched == edtNumStrings && event->type() == QEvent::FocusOut) edtNumStringsExit();
    return QDialog::eventFilter(watched, event);
}

Dialogs* TfrmVeskReplace::dialogs() const {
    return links_.commands ? &links_.commands->dialogs : nullptr;
}

void TfrmVeskReplace::setIndicator(int mode) const {
    if (links_.setReplaceIndicator) links_.setReplaceIndicator(mode);
}

void TfrmVeskReplace::FormActivate() {
    cbxDoReplace->setChecked(false);
    cbxQueryFile->setChecked(true);
    cbxQueryFile->setEnabled(false);
    cbxQueryLine->setChecked(true);
    cbxPreserveSpaces->setChecked(false);
    setIndicator(1);
    options_.ConfirmEachFile = true;
    options_.ConfirmEachLine = true;
    PairsToGrid();
    UpdateReplaceControls();
    editCount_ = 0;
}

void TfrmVeskReplace::UpdateReplaceControls() {
    replaceMode_ = cbxDoReplace->isChecked();
    if (replaceMode_) setIndicator(2);
    for (QWidget* w : std::initializer_list<QWidget*>{cbxQueryFile, cbxQueryLine, cbxPreserveSpaces,
                                                      Label11, Label7, Label10})
        w->setVisible(replaceMode_);
    btnReplace->setText(replaceMode_ ? QStringLiteral("Replace") : QStringLiteral("Search"));
}

void TfrmVeskReplace::gridFromTable(StringGrid& grid) const {
    if (QWidget* editor = QApplication::focusWidget(); editor && grdReplace->isAncestorOf(editor))
        QMetaObject::invokeMethod(grdReplace, "commitData", Q_ARG(QWidget*, editor));
    grid.setRowCount(grdReplace->rowCount());
    for (int r = 0; r < grdReplace->rowCount(); ++r)
        for (int c = 0; c < 2; ++c)
            grid.setCell(c, r, cellBytes(grdReplace->item(r, c)));
}

void TfrmVeskReplace::tableFromGrid(const StringGrid& grid) {
    filling_ = true;
    grdReplace->clearContents();
    grdReplace->setRowCount(grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < 2; ++c)
            grdReplace->setItem(r, c, cellFor(grid.cell(c, r)));
    filling_ = false;
}

void TfrmVeskReplace::showCount(int count) {
    lblFindStrAmx->setText(toQt(findStringsCountText(count)));
    edtNumStrings->setText(QString::number(count));
}

void TfrmVeskReplace::PairsToGrid() {
    if (!links_.stringSlots) return;
    StringGrid grid(2, 1);
    const std::string search = links_.currentSearchString ? links_.currentSearchString() : "";
    const int count = vesk::PairsToGrid(*links_.stringSlots, grid, search);
    tableFromGrid(grid);
    showCount(count);
    editCount_ = 0;
}

void TfrmVeskReplace::GridToPairs() {
    if (!links_.stringSlots) return;
    if (editCount_ > 0 && dialogs()) {
        StringGrid grid(2, 1);
        gridFromTable(grid);
        vesk::GridToPairs(grid, *links_.stringSlots, *dialogs());
    }
    if (links_.pairsTaken) links_.pairsTaken(pairsDisplay(*links_.stringSlots));
}

void TfrmVeskReplace::grdReplaceExit() {
    if (editCount_ > 0) {
        GridToPairs();
        PairsToGrid();
    }
    editCount_ = 0;
}

void TfrmVeskReplace::edtNumStringsExit() {
    if (!dialogs()) return;
    const int rows = gridRowsFromText(fromQt(edtNumStrings->text()), *dialogs());
    if (rows != grdReplace->rowCount()) {
        grdReplace->setRowCount(rows);
        ++editCount_; // the pair count follows the rows
    }
    edtNumStrings->setText(QString::number(rows));
}

void TfrmVeskReplace::btnReplaceClick() {
    if (dialogs()) dialogs()->showMessage(kReplaceWarning);
    GridToPairs();
    editCount_ = 0;
    if (links_.processEvents) links_.processEvents();
    setIndicator(1);
    replaceMode_ = false;
    if (cbxDoReplace->isChecked()) {
        setIndicator(2);
        replaceMode_ = true;
        options_.ConfirmEachFile = cbxQueryFile->isChecked();
        options_.ConfirmEachLine = cbxQueryLine->isChecked();
        options_.PreserveSpaces = cbxPreserveSpaces->isChecked();
    }
    options_.LinesWithNoMatchesOnly = cbxShowLinesNoMatches->isChecked();
    options_.FilesWithNoMatch = cbxShowFilesWithNoMatches->isChecked();
    accept();
}

void TfrmVeskReplace::btnCancelClick() {
    replaceMode_ = false;
    reject();
    setIndicator(1);
}

void TfrmVeskReplace::ShowSetFileHelp() {
    if (dialogs()) dialogs()->showMessage(kSetFileHelp);
}

void TfrmVeskReplace::Button1Click() {
    if (dialogs()) dialogs()->showMessage(kReplaceDisclaimer);
}

void TfrmVeskReplace::btnLoadFindReplaceSetClick() {
    if (!dialogs() || !links_.stringSlots) return;
    ShowSetFileHelp();
    const std::string start = links_.findSetFileName && !links_.findSetFileName->empty()
                                  ? std::string(fileFolder(*links_.findSetFileName))
                                  : settingsFolder();
    const auto file = dialogs()->pickFile("Load Find/Replace Set from file", start, kSetFileFilter);
    if (file) {
        if (links_.findSetFileName) *links_.findSetFileName = *file;
        if (ImportFindSet(2, *file, *links_.stringSlots, *dialogs())) {
            StringGrid grid(2, 1);
            FindSetToGrid(2, *links_.stringSlots, &grid);
            tableFromGrid(grid);
            editCount_ = 0;
        }
    }
    showCount(links_.stringSlots->FindCount);
}

void TfrmVeskReplace::btnEditFindReplaceSetClick() {
    if (!dialogs()) return;
    ShowSetFileHelp();
    const std::string saved0 = links_.firstSavedFolder ? trim(links_.firstSavedFolder()) : "";
    const std::string start = saved0.empty() ? settingsFolder() : saved0;
    const auto file = dialogs()->pickFile("Edit Find/Replace Set in file", start, kSetFileFilter);
    if (!file) return;
    if (links_.findSetFileName) *links_.findSetFileName = *file;
    if (links_.commands) xcEditOneFile(*links_.commands, *file);
}

} // namespace vesk
