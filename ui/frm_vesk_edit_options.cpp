#include "ui/frm_vesk_edit_options.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace vesk {

TfrmVeskEditOptions::TfrmVeskEditOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskEditOptions"));
    setWindowTitle(QStringLiteral("Choose how to open file"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Options to view file are to use Windows File "
                                                "Association,  or Notepad, or inbuilt Viewer"),
                                 this));
    layout->addWidget(new QLabel(QStringLiteral("(EditPlus and Notepad++ will position at exact "
                                                "line if configured, Viewer will too, Notepad "
                                                "does not)"),
                                 this));
    lblExt = new QLabel(this);
    lblExt->setObjectName(QStringLiteral("lblExt"));
    lblFilename = new QLabel(this);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    lblFilename->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblExt);
    layout->addWidget(lblFilename);

    auto* buttons = new QHBoxLayout;
    btnWindows = new QPushButton(QStringLiteral("Windows"), this);
    btnWindows->setObjectName(QStringLiteral("btnWindows"));
    btnNotepad = new QPushButton(QStringLiteral("Notepad"), this);
    btnNotepad->setObjectName(QStringLiteral("btnNotepad"));
    btnViewer = new QPushButton(QStringLiteral("Viewer"), this);
    btnViewer->setObjectName(QStringLiteral("btnViewer"));
    for (QPushButton* b : {btnWindows, btnNotepad, btnViewer}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    connect(btnWindows, &QPushButton::clicked, this, [this] { choose("Windows"); });
    connect(btnNotepad, &QPushButton::clicked, this, [this] { choose("Notepad.exe"); });
    connect(btnViewer, &QPushButton::clicked, this, [this] { choose("Viewer"); });
}

std::optional<std::string> TfrmVeskEditOptions::ask(const std::string& file,
                                                    const std::string& extension) {
    fileName_ = file;
    extension_ = extension;
    pressed_.reset();
    exec();
    return pressed_;
}

void TfrmVeskEditOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmVeskEditOptions::FormShow() {
    lblFilename->setText(QStringLiteral("Filename=") + fileNameToQt(fileName_));
    lblExt->setText(QStringLiteral("Extension=") + fileNameToQt(extension_));
}

void TfrmVeskEditOptions::choose(const char* answer) {
    pressed_ = answer;
    accept();
}

} // namespace vesk
