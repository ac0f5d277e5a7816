#include "ui/frm_time_picker.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/qt_text.h"

namespace vesk {

namespace {
QLineEdit* timeBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(4);
    box->setFixedWidth(48);
    box->setAlignment(Qt::AlignCenter);
    return box;
}
} // namespace

TfrmTimePicker::TfrmTimePicker(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmTimePicker"));
    setWindowTitle(QStringLiteral("Pick Time"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Hour"), this), 0, 0, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Min"), this), 0, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Seconds"), this), 0, 4, Qt::AlignCenter);
    edtHour = timeBox(this, "edtHour");
    edtMin = timeBox(this, "edtMin");
    edtSec = timeBox(this, "edtSec");
    grid->addWidget(edtHour, 1, 0, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral(":"), this), 1, 1);
    grid->addWidget(edtMin, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral(":"), this), 1, 3);
    grid->addWidget(edtSec, 1, 4, Qt::AlignCenter);

    using B = TimePickerButton;
    grid->addWidget(addStepButton("btnHrPlus", "+1", B::HrPlus), 2, 0);
    grid->addWidget(addStepButton("btnHourLess", "-1", B::HourLess), 3, 0);
    grid->addWidget(addStepButton("btn6HrPlus", "+6", B::SixHrPlus), 4, 0);
    grid->addWidget(addStepButton("btn6HrLess", "-6", B::SixHrLess), 5, 0);
    grid->addWidget(addStepButton("btnMinPlus", "+1", B::MinPlus), 2, 2);
    grid->addWidget(addStepButton("btnMinLess", "-1", B::MinLess), 3, 2);
    grid->addWidget(addStepButton("btn10MinPlus", "+10", B::TenMinPlus), 4, 2);
    grid->addWidget(addStepButton("btn10MinLess", "-10", B::TenMinLess), 5, 2);
    grid->addWidget(addStepButton("btnSecPlus", "+1", B::SecPlus), 2, 4);
    grid->addWidget(addStepButton("btnSecLess", "-1", B::SecLess), 3, 4);
    grid->addWidget(addStepButton("btn10SecPlus", "+10", B::TenSecPlus), 4, 4);
    grid->addWidget(addStepButton("btn10SecLess", "-10", B::TenSecLess), 5, 4);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { btnOKClick(); });
    grid->addWidget(ok, 6, 0, 1, 5);
    setFixedSize(sizeHint());
}

QPushButton* TfrmTimePicker::addStepButton(const char* name, const char* caption,
                                           TimePickerButton button) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setFixedWidth(48);
    connect(b, &QPushButton::clicked, this, [this, button] {
        timePickerButton(state_, button);
        display();
    });
    return b;
}

void TfrmTimePicker::startFrom(DateValue time) {
    state_.timeIn = time;
    state_.startFromValue = true;
}

void TfrmTimePicker::showEvent(QShowEvent* event) {
    // The caption is rewritten at each showing, as the picker always did.
    setWindowTitle(toQt(kTimePickerCaption));
    timePickerShow(state_);
    display();
    QDialog::showEvent(event);
}

void TfrmTimePicker::display() {
    const TimePickerTexts t = timePickerDisplay(state_);
    edtHour->setText(toQt(t.hour));
    edtMin->setText(toQt(t.minute));
    edtSec->setText(toQt(t.second));
}

void TfrmTimePicker::btnOKClick() {
    timePickerOK(state_, fromQt(edtHour->text()), fromQt(edtMin->text()), fromQt(edtSec->text()));
    accept();
}

} // namespace vesk
