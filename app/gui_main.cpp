// vesk: the desktop program. The only parameter is "-v", which turns on the diagnostics shown
// when a found line is opened.
#include <QApplication>

#include <string_view>

#include "ui/frm_vesk1.h"
#include "ui/program_icon.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vesk"));
    // No display name: Qt would append it to every caption. The title belongs to the desktop
    // entry and the task bar.
    QApplication::setDesktopFileName(QStringLiteral("vesk"));
    QApplication::setWindowIcon(vesk::programIcon());

    vesk::VeskWindowOptions options;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-v") options.verbose = true;

    vesk::TfrmVesk1 window(options);
    window.placeOnScreen();
    window.show();
    return QApplication::exec();
}
