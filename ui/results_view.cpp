#include "ui/results_view.h"

#include <algorithm>

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>

#include "lib/datetime.h"
#include "ui/grid_delegate.h"
#include "ui/grid_model.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {

enum class GridKey { None, Find, FindNext, FindPrev, NextFile, PrevFile, ViewFile, FoundWindow };

GridKey gridKeyOf(const QKeyEvent& e) {
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    const bool shift = e.modifiers() & Qt::ShiftModifier;
    switch (e.key()) {
    case Qt::Key_F3:
        return shift ? GridKey::FindPrev : GridKey::FindNext;
    case Qt::Key_F:
        return ctrl ? GridKey::Find : GridKey::None;
    case Qt::Key_N:
        return ctrl ? GridKey::NextFile : GridKey::None;
    case Qt::Key_P:
        return ctrl ? GridKey::PrevFile : GridKey::None;
    case Qt::Key_V:
        return ctrl ? GridKey::ViewFile : GridKey::None;
    case Qt::Key_W:
        return ctrl ? GridKey::FoundWindow : GridKey::None;
    default:
        return GridKey::None;
    }
}

// Hints are file names and plain ASCII; the tooltip breaks lines at LF.
QString hintText(std::string_view hint) {
    return fileNameToQt(hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

ResultsView::ResultsView(StringGrid& grid, Dialogs& dialogs, QWidget* parent)
    : QTableView(parent), grid_(grid), dialogs_(dialogs), model_(new GridModel(grid, this)),
      fileInfo_([](const std::string& path) { return xcFileInfoText(path); }) {
    setObjectName(QStringLiteral("grdFound"));
    setModel(model_);
    setItemDelegate(new GridDelegate(
        [this](int col, int row) { return resultCellLook(grid_, col, row, fontSize_); }, this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(ContiguousSelection);
    setEditTriggers(NoEditTriggers);
    setShowGrid(false); // the delegate draws the vertical lines only
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(ScrollPerItem); // the scroll value is the top row
    setHorizontalScrollMode(ScrollPerPixel);
    horizontalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(false);
    // Uniform fixed rows: no per-row measuring however many rows a run appends.
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setToolTip(hintText(kFirstClickHint));

    connect(model_, &GridModel::displayChanged, this, &ResultsView::applyDisplay);
    connect(model_, &GridModel::currentMoved, this, &ResultsView::applyCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultsView::applyDisplay);
    // Only a view on screen scrolls for the user; a hidden one merely clamps to the rows it has.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) {
        if (isVisible() && top != grid_.topRow()) grid_.setTopRow(top);
    });
    connect(this, &QAbstractItemView::clicked, this, &ResultsView::onClicked);
    connect(this, &QAbstractItemView::doubleClicked, this, &ResultsView::openFileRequested);

    grid_.width = layoutWidth();
    applyDisplay();
    applyCurrent(grid_.row(), grid_.col());
}

ResultsView::~ResultsView() = default;

void ResultsView::setFileInfo(std::function<std::string(const std::string&)> fileInfo) {
    fileInfo_ = std::move(fileInfo);
}

int ResultsView::changeGridFontSize(int step) {
    fontSize_ = vesk::changeGridFontSize(grid_, fontSize_, step);
    model_->flush();
    return fontSize_;
}

void ResultsView::setLayoutWidth(std::function<int()> layoutWidth) {
    layoutWidth_ = std::move(layoutWidth);
}

int ResultsView::layoutWidth() const {
    return layoutWidth_ ? layoutWidth_() : width();
}

void ResultsView::fitResultColumns() {
    grid_.width = layoutWidth();
    FitResultColumns(grid_);
    model_->flush();
}

void ResultsView::captureDesignWidths() {
    grid_.width = layoutWidth();
    design_.capture(grid_);
}

void ResultsView::setRunColumnWidth() {
    grid_.width = layoutWidth();
    grid_.setColWidth(1, design_.runColumn1Width(grid_));
    model_->flush();
}

void ResultsView::setGridDisplay(int speedDisplayItem, bool on) {
    SetGridDisplay(grid_, speedDisplayItem, on);
    model_->flush();
}

void ResultsView::applyDisplay() {
    if (grid_.visible() != shownByGrid_) {
        shownByGrid_ = grid_.visible();
        setVisible(shownByGrid_);
    }
    if (grid_.enabled() != enabledByGrid_) {
        enabledByGrid_ = grid_.enabled();
        setEnabled(enabledByGrid_);
    }
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int w = grid_.colWidth(c);
        if (isColumnHidden(c) != (w <= 0)) setColumnHidden(c, w <= 0);
        if (w > 0 && columnWidth(c) != w) setColumnWidth(c, w);
    }
    QHeaderView* rows = verticalHeader();
    const int height = std::max(1, grid_.defaultRowHeight());
    if (rows->defaultSectionSize() != height) {
        // The header reports every row it resizes; with a million rows that is a million
        // signals for one repaint, so it resizes quietly and the view is laid out once.
        const bool wasBlocked = rows->blockSignals(true);
        rows->setDefaultSectionSize(height);
        rows->blockSignals(wasBlocked);
        updateGeometries();
    }
    if (grid_.fontSize() > 0 && font().pointSize() != grid_.fontSize()) {
        QFont f = font();
        f.setPointSize(grid_.fontSize());
        setFont(f);
    }
    if (verticalScrollBar()->value() != grid_.topRow()) {
        updateGeometries(); // the scroll range must cover rows that have just arrived
        verticalScrollBar()->setValue(grid_.topRow());
    }
    viewport()->update();
}

void ResultsView::applyCurrent(int row, int col) {
    const QModelIndex current = currentIndex();
    viewport()->update();
    if ((current.isValid() && current.row() == row) || row >= model_->rowCount()) return;
    // The view's column only places the focus; a hidden column cannot take it.
    int column = col;
    if (isColumnHidden(column)) column = current.isValid() ? current.column() : 0;
    const QModelIndex target = model_->index(row, column);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
}

void ResultsView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // Clicks and arrow keys move the row only: the column stays where the last find left it.
    if (current.isValid()) grid_.setRow(current.row());
    viewport()->update();
}

bool ResultsView::runGridKey(const QKeyEvent& e) {
    const GridKey key = gridKeyOf(e);
    if (key == GridKey::None) return false;
    if (key == GridKey::ViewFile || key == GridKey::FoundWindow) return true; // acted on at release
    model_->flush(); // every appended row must be reachable
    switch (key) {
    case GridKey::Find:
        xcGridSearch(grid_, *find_, dialogs_);
        break;
    case GridKey::FindNext:
        xcGridSearchNext(grid_, *find_);
        break;
    case GridKey::FindPrev:
        xcGridSearchPrev(grid_, *find_);
        break;
    case GridKey::NextFile:
        NextFile(grid_);
        break;
    case GridKey::PrevFile:
        PrevFile(grid_);
        break;
    default:
        break;
    }
    model_->flush();
    return true;
}

void ResultsView::keyPressEvent(QKeyEvent* e) {
    if (runGridKey(*e)) {
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void ResultsView::keyReleaseEvent(QKeyEvent* e) {
    const GridKey key = gridKeyOf(*e);
    if (key != GridKey::ViewFile && key != GridKey::FoundWindow) {
        QTableView::keyReleaseEvent(e);
        return;
    }
    e->accept();
    if (e->isAutoRepeat()) return; // a held key opens one window, not one per repeat
    if (key == GridKey::ViewFile)
        emit viewFileRequested();
    else
        emit toggleFoundWindowRequested();
}

bool ResultsView::event(QEvent* e) {
    // The grid's keys win over window shortcuts while the grid has the focus.
    if (e->type() == QEvent::ShortcutOverride &&
        gridKeyOf(*static_cast<QKeyEvent*>(e)) != GridKey::None) {
        e->accept();
        return true;
    }
    return QTableView::event(e);
}

bool ResultsView::viewportEvent(QEvent* e) {
    // One hint for the whole grid, not one per cell.
    if (e->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTableView::viewportEvent(e);
}

void ResultsView::showEvent(QShowEvent* e) {
    QTableView::showEvent(e);
    model_->flush();
    applyDisplay(); // the grid may have scrolled while its page was not shown
}

void ResultsView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    grid_.width = layoutWidth();
}

void ResultsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QScrollBar* across = horizontalScrollBar();
    const int kept = across->value();
    QTableView::scrollTo(index, hint);
    across->setValue(kept);
}

void ResultsView::onClicked() {
    emit gridClicked();
    const std::string file(grid_.cell(2, grid_.row()));
    setToolTip(hintText(clickHint(file, fileInfo_ ? fileInfo_(file) : std::string())));
}

} // namespace vesk
