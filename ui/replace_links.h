#pragma once
// What the replace dialog and the replace review window share with the main window: the
// find/replace table, the set file name, the outside-program context, and the few main-window
// actions they trigger. The main window fills it once at start-up (ReplaceController); tests fill
// it with their own state. A window does nothing with a link that is not set.

#include <functional>
#include <string>

#include "lib/string_slots.h"
#include "replace/replace_pairs.h"
#include "replace/safe_save.h"

namespace vesk {

struct CommandContext; // lib/commands.h

struct ReplaceLinks {
    StringSlots* stringSlots = nullptr;
    std::string* findSetFileName = nullptr;
    CommandContext* commands = nullptr; // dialogs, shell, channels and clock
    std::string archivePath;
    std::string settingsPath;
    SaveIo* io = nullptr; // null: the real system calls

    // SetReplaceIndicator of the main window: 1 Replace off, 2 Replace on.
    std::function<void(int)> setReplaceIndicator;
    // The run's current search string (shown in an empty table's first row).
    std::function<std::string()> currentSearchString;
    // SavedFolder[0]: where the set-file picker of "Edit" starts.
    std::function<std::string()> firstSavedFolder;
    // After the grid's pairs were stored: the main window searches the table's strings
    // (StringsMode 2) and shows them in its string box, hint and count.
    std::function<void(const PairsDisplay&)> pairsTaken;
    // "Abort Find/Replace": the run stops before its next file.
    std::function<void()> stopRun;
    std::function<void()> processEvents;
};

} // namespace vesk
