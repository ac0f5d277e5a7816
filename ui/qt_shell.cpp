#include "ui/qt_shell.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/qt_text.h"

namespace vesk {

void QtShell::setClipboardText(std::string_view text) {
    PosixShell::setClipboardText(text); // kept for diagnostics and tests of the window
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(toQt(text));
}

} // namespace vesk
