#pragma once
// The outside programs the main window starts (the editor for the settings file, the mail program
// for feedback), with the channel table their logs need. Kept behind this small class so that the
// window's own headers need not see the command layer.

#include <memory>
#include <string>

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/shell.h"

namespace vesk {

class ChannelTable;
struct CommandContext;

class DesktopCommands {
public:
    DesktopCommands(Shell& shell, Dialogs& dialogs, const Clock& clock);
    ~DesktopCommands();
    DesktopCommands(const DesktopCommands&) = delete;
    DesktopCommands& operator=(const DesktopCommands&) = delete;

    // "Testing"/"ReplaceExtraInfo" at load sets the shared diagnostics level.
    void setDiagnosticLevel(int level);
    // xcEditOneFile: the file as one argument, or refused with a message.
    bool editFile(const std::string& path);
    // xcSendMail.
    bool sendMail(const std::string& subject, const std::string& body);

    ChannelTable& channels() { return *channels_; }
    CommandContext& context() { return *context_; }

private:
    std::unique_ptr<ChannelTable> channels_;
    std::unique_ptr<CommandContext> context_;
};

} // namespace vesk
