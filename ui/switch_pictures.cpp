#include "ui/switch_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vesk {

QPixmap drawSwitchPicture(bool on) {
    const qreal scale = 2.0; // drawn at twice the size so it stays sharp on dense screens
    QPixmap pixmap(qRound(kSwitchPictureWidth * scale), qRound(kSwitchPictureHeight * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track(1, 1, kSwitchPictureWidth - 2, kSwitchPictureHeight - 2);
    const qreal radius = track.height() / 2;
    p.setPen(QPen(on ? QColor(0, 100, 0) : QColor(110, 110, 110), 1.2));
    p.setBrush(on ? QColor(0, 160, 60) : QColor(200, 200, 200));
    p.drawRoundedRect(track, radius, radius);

    const qreal knob = track.height() - 4;
    const qreal knobX = on ? track.right() - knob - 2 : track.left() + 2;
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(knobX, track.top() + 2, knob, knob));

    // A small mark on the free side says which way the switch stands without relying on colour.
    p.setPen(QPen(on ? Qt::white : QColor(90, 90, 90), 1.6));
    const qreal markX = on ? track.left() + radius : track.right() - radius;
    const qreal midY = track.center().y();
    if (on) {
        p.drawLine(QPointF(markX, midY - 4), QPointF(markX, midY + 4));
    } else {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(markX, midY), 3.5, 3.5);
    }
    return pixmap;
}

} // namespace vesk
