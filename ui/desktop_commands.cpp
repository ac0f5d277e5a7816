#include "ui/desktop_commands.h"

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
    return xcSendMail(*context_, subject, body);
}

} // namespace vesk
