#pragma once
// The feedback window of "Contact Ostrel": the user writes a note, the window adds the program's
// version and system, and the desktop's mail program opens with the message prepared.

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace vesk {

class TfrmFeedback : public QDialog {
    Q_OBJECT
public:
    // `send` prepares and opens the message (xcSendMail); true when the mail program started.
    using SendFunction = std::function<bool(const std::string& subject, const std::string& body)>;
    explicit TfrmFeedback(SendFunction send, QWidget* parent = nullptr);

    // The body sent: the note, a blank line, and the program and system facts.
    std::string messageBody() const;

private:
    void btnSendClick();

    SendFunction send_;
    QLineEdit* edtSubject = nullptr;
    QPlainTextEdit* memNote = nullptr;
};

} // namespace vesk
