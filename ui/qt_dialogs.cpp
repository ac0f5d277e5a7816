#include "ui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "main_window/window_rules.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {
// A caption-less box is titled with the program's title, as the platform's own message boxes are.
QString captionOrTitle(std::string_view caption) {
    return toQt(caption.empty() ? kApplicationTitle : caption);
}
} // namespace

void QtDialogs::showMessage(std::string_view text) {
    QMessageBox::information(parent_, captionOrTitle({}), toQt(text));
}

bool QtDialogs::askYesNo(std::string_view caption, std::string_view text) {
    return QMessageBox::question(parent_, captionOrTitle(caption), toQt(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

Answer QtDialogs::confirmLine(std::string_view caption, std::string_view text) {
    QMessageBox box(QMessageBox::Question, captionOrTitle(caption), toQt(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel |
                        QMessageBox::NoToAll | QMessageBox::YesToAll,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::NoToAll:
        return Answer::NoToAll;
    case QMessageBox::YesToAll:
        return Answer::YesToAll;
    default:
        return Answer::Cancel; // Esc and closing the box cancel too
    }
}

std::optional<std::string> QtDialogs::promptText(std::string_view caption, std::string_view prompt,
                                                 std::string_view proposed) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, captionOrTitle(caption), toQt(prompt),
                                               QLineEdit::Normal, toQt(proposed), &ok);
    if (!ok) return std::nullopt;
    return fromQt(text);
}

std::optional<std::string> QtDialogs::pickFolder(std::string_view caption,
                                                 std::string_view startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent_, captionOrTitle(caption),
                                                             fileNameToQt(startFolder));
    if (folder.isEmpty()) return std::nullopt;
    return fileNameFromQt(folder);
}

std::optional<std::string> QtDialogs::pickFile(std::string_view caption,
                                               std::string_view startFolder,
                                               std::string_view filter) {
    const QString file = QFileDialog::getOpenFileName(parent_, captionOrTitle(caption),
                                                      fileNameToQt(startFolder), toQt(filter));
    if (file.isEmpty()) return std::nullopt;
    return fileNameFromQt(file);
}

} // namespace vesk
