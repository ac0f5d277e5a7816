#include "ui/frm_feedback.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "lib/commands.h"
#include "main_window/window_rules.h"
#include "ui/qt_text.h"

namespace vesk {

TfrmFeedback::TfrmFeedback(SendFunction send, QWidget* parent)
    : QDialog(parent), send_(std::move(send)) {
    setObjectName(QStringLiteral("TfrmFeedback"));
    setWindowTitle(QStringLiteral("Contact Ostrel"));
    resize(560, 400);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Tell us what works, what does not, and what you miss. \"Send\" opens your "
                       "mail program with the message ready; nothing is sent until you send it "
                       "there."),
        this));
    auto* form = new QFormLayout;
    edtSubject = new QLineEdit(toQt(kDefaultMailSubject), this);
    edtSubject->setObjectName(QStringLiteral("edtSubject"));
    form->addRow(QStringLiteral("Subject"), edtSubject);
    memNote = new QPlainTextEdit(this);
    memNote->setObjectName(QStringLiteral("memNote"));
    form->addRow(QStringLiteral("Message"), memNote);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    auto* sendButton = buttons->addButton(QStringLiteral("Send"), QDialogButtonBox::AcceptRole);
    sendButton->setObjectName(QStringLiteral("btnSend"));
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(sendButton, &QPushButton::clicked, this, [this] { btnSendClick(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string TfrmFeedback::messageBody() const {
    std::string body = fromQt(memNote->toPlainText());
    body += "\r\n\r\n";
    body += kWindowCaption;
    body += " on " + fromQt(QSysInfo::prettyProductName());
    return body;
}

void TfrmFeedback::btnSendClick() {
    // The note stays when the mail program cannot be started, so nothing typed is lost.
    if (send_ && send_(fromQt(edtSubject->text()), messageBody())) {
        memNote->clear();
        accept();
    }
}

} // namespace vesk
