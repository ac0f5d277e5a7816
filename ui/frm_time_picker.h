#pragma once
// TfrmTimePicker "Pick Time": three boxes for hour, minute and second, twelve step buttons and OK.
// The arithmetic is the core's (search/time_picker.h); the window shows and forwards.

#include <QDialog>

#include "search/time_picker.h"

class QLineEdit;
class QPushButton;

namespace vesk {

class TfrmTimePicker : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTimePicker(QWidget* parent = nullptr);

    // Starts the next showing from `time` (a day fraction).
    void startFrom(DateValue time);
    const TimePickerState& pickerState() const { return state_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addStepButton(const char* name, const char* caption, TimePickerButton button);
    void display();
    void btnOKClick();

    TimePickerState state_;
    QLineEdit* edtHour = nullptr;
    QLineEdit* edtMin = nullptr;
    QLineEdit* edtSec = nullptr;
};

} // namespace vesk
