#include "ui/date_calendar.h"

#include "lib/datetime.h"

namespace vesk {

QDate toQDate(DateValue value) {
    int y = 0, m = 0, d = 0;
    decodeDate(value, y, m, d);
    return QDate(y, m, d);
}

DateValue fromQDate(const QDate& date) {
    DateValue v = 0;
    if (!date.isValid() || !tryEncodeDate(date.year(), date.month(), date.day(), v)) return 0;
    return v;
}

DateCalendar::DateCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setObjectName(QStringLiteral("DateTimePicker1"));
    setWindowFlags(Qt::Popup);
    setGridVisible(true);
    // A pick closes the drop-down at once; the close reports the date.
    connect(this, &QCalendarWidget::clicked, this, [this] { hide(); });
    connect(this, &QCalendarWidget::activated, this, [this] { hide(); });
}

void DateCalendar::dropDown(QPoint topLeft, int width, DateValue date, int box) {
    box_ = box;
    setSelectedDate(toQDate(date));
    resize(qMax(width, sizeHint().width()), sizeHint().height());
    move(topLeft);
    show();
    setFocus();
}

void DateCalendar::hideEvent(QHideEvent* event) {
    QCalendarWidget::hideEvent(event);
    if (box_ == 0) return;
    const int served = box_;
    box_ = 0;
    emit closeUp(served, fromQDate(selectedDate()));
}

} // namespace vesk
