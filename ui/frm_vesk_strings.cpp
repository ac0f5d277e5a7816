#include "ui/frm_vesk_strings.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "settings/list_windows.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

TfrmVeskStrings::TfrmVeskStrings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskStrings"));
    setWindowTitle(QStringLiteral("Strings - Advanced Search"));

    MemoStrings = new QPlainTextEdit(this);
    MemoStrings->setObjectName(QStringLiteral("MemoStrings"));
    MemoStrings->setLineWrapMode(QPlainTextEdit::NoWrap);
    btnReloadDefault = makeButton("btnReloadDefault", "Reset to Saved Defaults", this);
    btnFinish = makeButton("btnFinish", "OK", this);
    btnSaveStrings = makeButton("btnSaveStrings", "Save These Strings as Default set", this);
    btnSaveStrings->setEnabled(false); // strings are never saved
    // Kept from an earlier design of the window; hidden and without effect.
    clbStrings = new QListWidget(this);
    clbStrings->setObjectName(QStringLiteral("clbStrings"));
    btnEditStrings = makeButton("btnEditStrings", "Edit Strings", this);
    btnEdtChecks = makeButton("btnEdtChecks", "Select subset (check marks)", this);
    for (QWidget* w : {static_cast<QWidget*>(clbStrings), static_cast<QWidget*>(btnEditStrings),
                       static_cast<QWidget*>(btnEdtChecks)})
        w->hide();

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel("You can search up to 200 Strings", this), 0, 0);
    grid->addWidget(makeLabel("Enter the strings to search for - one per line", this), 1, 0);
    grid->addWidget(makeLabel("(blank lines will be ignored)", this), 2, 0);
    grid->addWidget(MemoStrings, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnSaveStrings);
    buttons->addWidget(btnReloadDefault);
    buttons->addStretch();
    buttons->addWidget(btnFinish);
    grid->addLayout(buttons, 4, 0);
    resize(520, 520);

    connect(btnFinish, &QPushButton::clicked, this, [this] { btnFinishClick(); });
    connect(btnReloadDefault, &QPushButton::clicked, this, [this] { btnReloadDefaultClick(); });
}

void TfrmVeskStrings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) MemoStrings->setFocus();
}

std::string TfrmVeskStrings::memoBytes() const {
    const QString text = MemoStrings->toPlainText();
    return text == shownText_ ? shownBytes_ : fromQt(text);
}

void TfrmVeskStrings::btnFinishClick() {
    if (!links_.stringSlots) return;
    const StringLinesTaken taken = TakeStringLines(memoBytes(), *links_.stringSlots);
    if (links_.setStringBox) links_.setStringBox(taken.firstLine);
    if (taken.dropped > 0 && links_.dialogs)
        links_.dialogs->showMessage(TooManyStringsMessage(taken.dropped));
    accept();
}

void TfrmVeskStrings::btnReloadDefaultClick() {
    if (!links_.stringSlots) return;
    if (links_.saved) {
        *links_.saved = LoadSettings(links_.settingsPath, links_.setDiagnosticLevel);
        if (links_.settingsReloaded) links_.settingsReloaded();
    }
    const std::vector<std::string> lines = ResetStringLines(
        *links_.stringSlots, links_.stringBox ? links_.stringBox() : std::string());
    shownBytes_.clear();
    for (std::size_t i = 0; i < lines.size(); ++i)
        (shownBytes_ += i ? "\n" : "") += lines[i];
    shownText_ = memoText(lines, toQt);
    MemoStrings->setPlainText(shownText_);
}

} // namespace vesk
