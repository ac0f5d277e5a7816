// vesk: the desktop program. Its parameter "-v" turns on the diagnostics shown when a found line
// is opened; --version and --help print their text without opening a window (or a display).
#include <QApplication>

#include <cstdio>
#include <string_view>

#include "ui/frm_vesk1.h"
#include "ui/program_icon.h"

namespace {

constexpr const char* kHelpText = R"(Usage: vesk [-v]
Ulmen Find Text: searches the text files of folder trees and lists every matching line.

  -v          show the diagnostics when a found line is opened
  --version   print the version and exit
  --help      print this text and exit

Settings: $XDG_CONFIG_HOME/vesk (~/.config/vesk); archive and logs: $XDG_STATE_HOME/vesk
(~/.local/state/vesk); VESK_HOME, when it names a folder, takes the place of both.
)";

} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--version") {
            std::printf("vesk %s\n", VESK_VERSION);
            return 0;
        }
        if (arg == "--help") {
            std::fputs(kHelpText, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vesk"));
    // No display name: Qt would append it to every caption. The title belongs to the desktop
    // entry and the task bar.
    QApplication::setDesktopFileName(QStringLiteral("org.ulmen.vesk"));
    QApplication::setWindowIcon(vesk::programIcon());

    vesk::VeskWindowOptions options;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-v") options.verbose = true;

    vesk::TfrmVesk1 window(options);
    window.placeOnScreen();
    window.show();
    return QApplication::exec();
}
