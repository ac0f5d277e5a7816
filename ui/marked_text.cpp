#include "ui/marked_text.h"

#include <algorithm>
#include <limits>

#include <QPainter>
#include <QTextLayout>

#include "ui/qt_text.h"

namespace vesk {

namespace {

// The characters of the shown text that a byte offset comes to: the text shows as UTF-8 when it
// is valid UTF-8, and byte for byte (Latin-1) otherwise.
int shownIndex(std::string_view bytes, std::size_t offset, bool utf8) {
    offset = std::min(offset, bytes.size());
    if (!utf8) return static_cast<int>(offset);
    return static_cast<int>(toQt(bytes.substr(0, offset)).size());
}

} // namespace

void drawMarkedText(QPainter& painter, QPointF topLeft, std::string_view bytes,
                    std::span<const TextMark> marks, const QColor& markBackground) {
    const QString text = toQt(bytes);
    const bool utf8 = isUtf8Text(bytes);
    QTextCharFormat marked;
    marked.setBackground(markBackground);
    marked.setForeground(painter.pen().brush());
    QList<QTextLayout::FormatRange> ranges;
    for (const TextMark& m : marks) {
        if (m.start >= bytes.size()) continue;
        const int from = shownIndex(bytes, m.start, utf8);
        const int to = shownIndex(bytes, std::size_t{m.start} + m.length, utf8);
        if (to > from) ranges.append({from, to - from, marked});
    }
    QTextLayout layout(text, painter.font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(std::numeric_limits<int>::max() / 4);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    // Drawn as selections: the layout paints their background behind the glyphs.
    layout.draw(&painter, topLeft, ranges);
}

} // namespace vesk
