#pragma once
// DateTimePicker1: the drop-down calendar of the date boxes. It opens over a box, and when it
// closes, picked or not, reports the date it shows, as a drop-down date picker does.

#include <QCalendarWidget>

#include "lib/clock.h"

namespace vesk {

QDate toQDate(DateValue value);
DateValue fromQDate(const QDate& date);

class DateCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit DateCalendar(QWidget* parent = nullptr);

    // Shows the calendar at `topLeft` (global), `width` wide, on `date`, for date box 1 or 2.
    void dropDown(QPoint topLeft, int width, DateValue date, int box);
    int box() const { return box_; }

signals:
    // The calendar closed: the date it shows, for the box it served.
    void closeUp(int box, double date);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    int box_ = 0;
};

} // namespace vesk
