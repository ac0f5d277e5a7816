#pragma once
// What the folder, file-mask, strings and history windows share with the main window: its saved
// record, run lists, string slots and history, and the few main-window actions they trigger. The
// main window fills it once at start-up; tests fill it with their own state. A window does
// nothing with a link that is not set.

#include <functional>
#include <string>

#include "lib/dialogs.h"
#include "lib/string_slots.h"
#include "settings/advanced_lists.h"
#include "settings/history.h"
#include "settings/settings.h"

namespace vesk {

struct ListWindowLinks {
    SavedSettings* saved = nullptr;
    RunLists* lists = nullptr;
    StringSlots* stringSlots = nullptr;
    SearchHistory* history = nullptr;
    Dialogs* dialogs = nullptr;
    std::string settingsPath;
    std::function<void(int)> setDiagnosticLevel; // passed to LoadSettings on a reset

    std::function<std::string()> stringBox;               // edtString's text
    std::function<void(const std::string&)> setStringBox; // edtString := text
    // After "Reset to Saved Defaults" re-read the settings: the main window shows the reloaded
    // switches at once.
    std::function<void()> settingsReloaded;
    // After "Use for Searches" filled the slots: the main window rebuilds its string list, box,
    // hint and count, so what it shows is what the next run searches.
    std::function<void()> stringsTaken;
    // Opens a file in the text editor (xcEditFile); false when it could not be started.
    std::function<bool(const std::string&)> editFile;
    // The last find-set file chosen, shared with the replace dialog.
    std::string* findSetFileName = nullptr;
};

} // namespace vesk
