#include "ui/grid_delegate.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "ui/marked_text.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {

QColor toColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// A glyph is at least a pixel wide and a character at most four bytes: more than this many bytes
// per pixel of width can never show, and lines of a megabyte must not be shaped on every paint.
constexpr std::size_t kBytesPerPixel = 4;
constexpr std::size_t kMinDisplayBytes = 256;

} // namespace

std::string_view displayPrefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Back off over continuation bytes (10xxxxxx) to the start of the sequence they belong to.
    for (int i = 0; i < 3 && end > 0; ++i) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80) break;
        --end;
    }
    return text.substr(0, end);
}

GridDelegate::GridDelegate(LookFn look, QObject* parent)
    : QStyledItemDelegate(parent), look_(std::move(look)) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const CellLook look = look_(index.column(), index.row());
    if (look.drawNothing) return;
    const QRect cell = option.rect.adjusted(0, 0, -1, 0);
    painter->save();
    painter->fillRect(cell, toColor(look.background));
    QFont font = option.font;
    font.setPointSize(look.fontSize);
    font.setBold(look.bold);
    painter->setFont(font);
    painter->setPen(toColor(look.color));
    painter->setClipRect(cell);
    const std::size_t width = static_cast<std::size_t>(std::max(0, cell.width()));
    const std::size_t limit = std::max(kMinDisplayBytes, kBytesPerPixel * width);
    // Every cell is laid out the same way, marked or not, so tabs line up from row to row.
    drawMarkedText(*painter, cell.topLeft(), displayPrefix(look.text, limit), look.marks,
                   toColor(kMatchMarkBackground));
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int line = style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget);
    painter->setClipping(false);
    painter->setPen(QColor::fromRgba(static_cast<QRgb>(line)));
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

} // namespace vesk
