#include "ui/desktop_commands.h"

#include <system_error>

#include "lib/channels.h"
#include "lib/commands.h"

namespace vesk {

DesktopCommands::DesktopCommands(Shell& shell, Dialogs& dialogs, const Clock& clock)
    : channels_(std::make_unique<ChannelTable>(dialogs)),
      context_(std::make_unique<CommandContext>(shell, dialogs, *channels_, clock)) {}

DesktopCommands::~DesktopCommands() = default;

void DesktopCommands::setDiagnosticLevel(int level) {
    channels_->diagnosticLevel = level;
}

bool DesktopCommands::editFile(const std::string& path) {
    return xcEditOneFile(*context_, path);
}

bool DesktopCommands::sendMail(const std::string& subject, const std::string& body) {
    // The run log is written first; a log that cannot be written (a full disk, a read-only
    // folder) is told to the user and the message is not sent, so the typed note stays.
    try {
        return xcSendMail(*context_, subject, body);
    } catch (const std::system_error& e) {
        context_->dialogs.showMessage(std::string("The message was not sent: the run log could "
                                                  "not be written (") +
                                      e.what() + ")");
        return false;
    }
}

} // namespace vesk
