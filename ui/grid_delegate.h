#pragma once
// Paints grid cells entirely from the core's CellLook: the fill, then the text at the cell's
// top-left corner with no padding, and a vertical grid line at the cell's right edge.

#include <functional>

#include <QStyledItemDelegate>

#include "results/results_grid.h"

namespace vesk {

class GridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using LookFn = std::function<CellLook(int col, int row)>;
    explicit GridDelegate(LookFn look, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    LookFn look_;
};

// At most maxBytes of text, cut before a UTF-8 sequence rather than inside one, so that a long
// line is decoded the way it would be as a whole.
std::string_view displayPrefix(std::string_view text, std::size_t maxBytes);

} // namespace vesk
