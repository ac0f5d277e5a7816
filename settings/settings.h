#pragma once
// The settings file "vesk.INI" in the program folder: every section and key the program knows,
// the saved record `SavedSettings`, and the loads and saves that move one to the other. Saves
// rewrite only their own keys; everything else in the file survives. No function here throws:
// failures reach the user as "Unable to write to <path>" through Dialogs.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lib/dialogs.h"

namespace vesk {

// Sections and keys, spelled as the file holds them.
inline constexpr std::string_view kSectionSettings = "Settings";
inline constexpr std::string_view kSectionTesting = "Testing";
inline constexpr std::string_view kSectionFolders = "Folders";
inline constexpr std::string_view kSectionFilespec = "Filespec";
inline constexpr std::string_view kSectionViewer = "Viewer";

inline constexpr std::string_view kKeyFolderMode = "SimpleOrAdvancedFolders";
inline constexpr std::string_view kKeyFilespecMode = "SimpleOrAdvancedFileSpec";
// The file-mask window's save spells the same key this way; names match without case, so both
// spellings reach one key.
inline constexpr std::string_view kKeyFilespecModeAsSaved = "SimpleOrAdvancedFilespec";
inline constexpr std::string_view kKeyStringsMode = "SimpleOrAdvancedStrings";
inline constexpr std::string_view kKeyReplaceExtraInfo = "ReplaceExtraInfo";
// "Settings": the main window's "Regular Expressions" box; absent reads as off.
inline constexpr std::string_view kKeyRegularExpressions = "RegularExpressions";
inline constexpr std::string_view kKeySavedFolder = "SavedFolder";
inline constexpr std::string_view kKeySavedFolderSelected = "SavedFolderSelected";
inline constexpr std::string_view kKeySavedFilespec = "SavedFilespec";
inline constexpr std::string_view kKeySavedFilespecSelected = "SavedFilespecSelected";
inline constexpr std::string_view kKeyDifferencesViewer = "DifferencesViewer";
inline constexpr std::string_view kKeyEditFile = "EditFile";

inline constexpr std::string_view kDefaultViewerCommand = "ASK";
inline constexpr std::string_view kMissingDifferencesViewer = "none";
inline constexpr std::string_view kDefaultEditFile = "Notepad.exe";
inline constexpr std::string_view kSaveSettingsQuestion = "Save current settings?";

// Switch values of the three boxes.
inline constexpr int kModeSimple = 1;
inline constexpr int kModeAdvanced = 2;
// Eleven slots, 0 to 10 (the windows' own texts speak of "up to 10").
inline constexpr int kSavedSlots = 11;
// The shared diagnostics level that "Testing"/"ReplaceExtraInfo" turns on at load.
inline constexpr int kExtraInfoDiagnosticLevel = 3;

struct SavedSettings {
    int FolderMode = kModeSimple;
    int FilespecMode = kModeSimple;
    int StringsMode = kModeSimple;
    std::array<std::string, kSavedSlots> SavedFolder{};
    std::array<bool, kSavedSlots> SavedFolderSelected{};
    std::array<std::string, kSavedSlots> SavedFilespec{};
    std::array<bool, kSavedSlots> SavedFilespecSelected{};
    bool ReplaceExtraInfo = false;
    bool RegularExpressions = false;

    bool operator==(const SavedSettings&) const = default;
};

// The settings file of the running program: settingsFolder() + executable name + ".INI".
std::string SettingsPath();
// The same rule for a given folder (with or without its trailing "/") and executable name.
std::string SettingsPathFor(std::string_view folder, std::string_view executableName);

// Reads every key of the record; a missing or unreadable file, an absent key or an unreadable value
// gives the default, and a mode other than 2 reads as 1. When "ReplaceExtraInfo" is on,
// `setDiagnosticLevel` (when given) is called with kExtraInfoDiagnosticLevel.
SavedSettings LoadSettings(const std::string& settingsPath,
                           const std::function<void(int)>& setDiagnosticLevel = {});

// Asks "Save current settings?"; on Yes writes the folder slots, the three modes,
// "RegularExpressions" and "ReplaceExtraInfo" (not the file masks). True when the file was written.
bool SaveSettings(const std::string& settingsPath, const SavedSettings& settings, Dialogs& dialogs);

// The default-set buttons of the folder and file-mask windows: write without asking. True when
// the file was written.
bool SaveFolderSet(const std::string& settingsPath, const SavedSettings& settings,
                   Dialogs& dialogs);
bool SaveFilespecSet(const std::string& settingsPath, const SavedSettings& settings,
                     Dialogs& dialogs);

// One trimmed text from the settings file; `fallback` when the file or the key is absent.
std::string ReadSettingText(const std::string& settingsPath, std::string_view section,
                            std::string_view key, std::string_view fallback);

// How a result line's file is opened: "Viewer"/`extensionKey` (the extension without its dot),
// trimmed; "ASK" when absent.
std::string ReadViewerCommand(const std::string& settingsPath, std::string_view extensionKey);

// "Settings"/"DifferencesViewer", trimmed, "none" when the key is absent; an empty optional when
// there is no settings file at all, so the caller can fall back to its default viewer.
std::optional<std::string> ReadDifferencesViewer(const std::string& settingsPath);

// A text from section "Settings" of the shared file: the base name of `fileName` without folder
// and extension (or "Ostrel" when that is blank) + ".INI", in the current folder. The default
// when that file does not exist; never fails.
std::string ReadSharedSetting(std::string_view fileName, std::string_view key,
                              std::string_view fallback);
// The shared file's path for `fileName` (relative to the current folder).
std::string SharedSettingsPath(std::string_view fileName);

} // namespace vesk
