#pragma once
// Writes a cell's text with the stretches a search found drawn on a coloured background, laid out
// as the plain cells are (one line, tabs expanded), so marked and unmarked rows line up.

#include <span>
#include <string_view>

#include <QColor>
#include <QPointF>

#include "lib/string_grid.h"

class QPainter;

namespace vesk {

// `marks` are byte stretches of `bytes`; the text is written in the painter's font and pen with
// its top-left corner at `topLeft`.
void drawMarkedText(QPainter& painter, QPointF topLeft, std::string_view bytes,
                    std::span<const TextMark> marks, const QColor& markBackground);

} // namespace vesk
