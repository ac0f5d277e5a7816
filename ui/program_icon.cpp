#include "ui/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vesk {

namespace {

// A page of text lines with one found line, under a magnifying glass, as in
// data/org.ulmen.vesk.svg.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    const QColor navy(0, 0, 128), maroon(128, 0, 0), grey(122, 134, 154);
    p.setPen(QPen(navy, 4));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(18, 8, 78, 104), 6, 6);
    p.setPen(QPen(grey, 5, Qt::SolidLine, Qt::RoundCap));
    for (const auto& [y, right] : {std::pair{26, 82}, {40, 70}, {68, 64}, {82, 78}, {96, 58}})
        p.drawLine(30, y, right, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(243, 223, 223));
    p.drawRoundedRect(QRectF(26, 47, 62, 14), 3, 3);
    p.setPen(QPen(maroon, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(30, 54, 84, 54);
    p.setPen(QPen(navy, 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(94, 92, 118, 118);
    p.setPen(QPen(navy, 7));
    p.setBrush(QColor(207, 227, 255, 110));
    p.drawEllipse(QPointF(78, 72), 26, 26);
    return pixmap;
}

} // namespace

QIcon programIcon() {
    QIcon drawn;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        drawn.addPixmap(drawIcon(size));
    return QIcon::fromTheme(QStringLiteral("org.ulmen.vesk"), drawn);
}

} // namespace vesk
