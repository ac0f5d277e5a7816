// vesk: the desktop program. The only parameter is "-v", which turns on the diagnostics shown
// when a found line is opened.
#include <QApplication>
#include <QScreen>
#include <QStyle>

#include <string_view>

#include "settings/window_rules.h"
#include "ui/frm_vesk1.h"
#include "ui/program_icon.h"
#include "ui/qt_text.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vesk"));
    QApplication::setApplicationDisplayName(vesk::toQt(vesk::kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("vesk"));
    QApplication::setWindowIcon(vesk::programIcon());

    vesk::VeskWindowOptions options;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-v") options.verbose = true;

    vesk::TfrmVesk1 window(options);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               screen->availableGeometry()));
    window.show();
    return QApplication::exec();
}
