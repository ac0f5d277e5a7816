#include "ui/line_grid_view.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include "results/results_grid.h"
#include "ui/grid_model.h"
#include "ui/marked_text.h"

namespace vesk {

namespace {

// Fixed rows are a header: the button face and no text; other rows as Qt draws items.
class FixedRowDelegate final : public QStyledItemDelegate {
public:
    FixedRowDelegate(const StringGrid& grid, QObject* parent)
        : QStyledItemDelegate(parent), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.row() >= grid_.fixedRows) {
            const std::span<const TextMark> marks =
                index.column() == 1 ? grid_.marks(index.row()) : std::span<const TextMark>();
            if (marks.empty())
                QStyledItemDelegate::paint(painter, option, index);
            else
                paintMarked(painter, option, index, marks);
            return;
        }
        painter->fillRect(option.rect, option.palette.button());
        painter->setPen(option.palette.mid().color());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    }

private:
    // The item's panel as Qt draws it, then its text with the found stretches marked, placed
    // where Qt places an item's text.
    void paintMarked(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index, std::span<const TextMark> marks) const {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect text = option.rect.adjusted(margin, 0, -margin, 0);
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setClipRect(text);
        painter->setFont(item.font);
        painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const int top = text.top() + (text.height() - QFontMetrics(item.font).height()) / 2;
        drawMarkedText(
            *painter, QPointF(text.left(), top), grid_.cell(1, index.row()), marks,
            QColor(kMatchMarkBackground.r, kMatchMarkBackground.g, kMatchMarkBackground.b));
        painter->restore();
    }

    const StringGrid& grid_;
};

} // namespace

LineGridView::LineGridView(StringGrid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this)) {
    setModel(model_);
    setItemDelegate(new FixedRowDelegate(grid_, this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    horizontalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    connect(model_, &GridModel::displayChanged, this, &LineGridView::applyDisplay);
    connect(model_, &GridModel::currentMoved, this, &LineGridView::applyCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &LineGridView::applyDisplay);
    grid_.width = width();
    applyDisplay();
}

LineGridView::~LineGridView() = default;

void LineGridView::sync() {
    model_->flush();
    applyDisplay();
    applyCurrent(grid_.row(), grid_.col());
}

void LineGridView::applyDisplay() {
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int w = grid_.colWidth(c);
        if (isColumnHidden(c) != (w <= 0)) setColumnHidden(c, w <= 0);
        if (w > 0 && columnWidth(c) != w) setColumnWidth(c, w);
    }
    const int height = std::max(1, grid_.defaultRowHeight());
    if (verticalHeader()->defaultSectionSize() != height)
        verticalHeader()->setDefaultSectionSize(height);
    viewport()->update();
}

void LineGridView::applyCurrent(int row, int col) {
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row && selectionModel()->isRowSelected(row, {}))
        return;
    const QModelIndex target = model_->index(row, isColumnHidden(col) ? 0 : col);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
}

void LineGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!current.isValid()) return;
    // A click or an arrow key onto the header moves to the first row below it instead.
    if (current.row() < grid_.fixedRows && grid_.fixedRows < model_->rowCount()) {
        grid_.setRow(grid_.fixedRows);
        applyCurrent(grid_.fixedRows, current.column());
        return;
    }
    grid_.setRow(current.row());
}

void LineGridView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    grid_.width = width();
}

} // namespace vesk
