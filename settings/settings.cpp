#include "settings/settings.h"

#include <exception>
#include <sys/stat.h>

#include "lib/program_folder.h"
#include "lib/text.h"
#include "settings/ini_file.h"

namespace vesk {

namespace {

std::string slotKey(std::string_view base, int n) {
    return std::string(base) + numberText(n);
}

int readMode(const IniFile& ini, std::string_view key) {
    return ini.readInteger(kSectionSettings, key, kModeSimple) == kModeAdvanced ? kModeAdvanced
                                                                                : kModeSimple;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// One save: the file is read afresh (so keys edited by hand meanwhile are kept), the keys are set
// in memory, and the whole file is replaced at once. A value that cannot be stored (a line break in
// a folder name) refuses the save as a whole rather than leave a half-updated set behind.
class SaveSession {
public:
    explicit SaveSession(const std::string& path) : path_(path), ini_(IniFile::load(path)) {}

    void text(std::string_view section, std::string_view key, std::string_view value) {
        if (!ini_.writeText(section, key, value) && refused_.empty()) refused_ = std::string(key);
    }
    void integer(std::string_view section, std::string_view key, int value) {
        ini_.writeInteger(section, key, value);
    }
    void boolean(std::string_view section, std::string_view key, bool value) {
        ini_.writeBool(section, key, value);
    }

    bool commit(Dialogs& dialogs) {
        if (!refused_.empty()) {
            dialogs.showMessage("Unable to write to " + path_ + ": the value of " + refused_ +
                                " holds a line break");
            return false;
        }
        const IniSaveResult result = ini_.save(path_);
        if (!result.ok) dialogs.showMessage(result.message);
        return result.ok;
    }

private:
    std::string path_;
    IniFile ini_;
    std::string refused_;
};

void putFolderSlots(SaveSession& save, const SavedSettings& s) {
    for (int n = 0; n < kSavedSlots; ++n) {
        save.text(kSectionFolders, slotKey(kKeySavedFolder, n), s.SavedFolder[n]);
        save.boolean(kSectionFolders, slotKey(kKeySavedFolderSelected, n),
                     s.SavedFolderSelected[n]);
    }
}

void putFilespecSlots(SaveSession& save, const SavedSettings& s) {
    for (int n = 0; n < kSavedSlots; ++n) {
        save.text(kSectionFilespec, slotKey(kKeySavedFilespec, n), s.SavedFilespec[n]);
        save.boolean(kSectionFilespec, slotKey(kKeySavedFilespecSelected, n),
                     s.SavedFilespecSelected[n]);
    }
}

// Runs one save and keeps every failure, down to running out of memory, inside a message.
template <typename Fill> bool runSave(const std::string& path, Dialogs& dialogs, Fill fill) {
    try {
        SaveSession save(path);
        fill(save);
        return save.commit(dialogs);
    } catch (const std::exception&) {
        dialogs.showMessage("Unable to write to " + path);
        return false;
    }
}

SavedSettings readSettings(const IniFile& ini) {
    SavedSettings s;
    s.FolderMode = readMode(ini, kKeyFolderMode);
    s.FilespecMode = readMode(ini, kKeyFilespecMode);
    s.StringsMode = readMode(ini, kKeyStringsMode);
    s.ReplaceExtraInfo = ini.readBool(kSectionTesting, kKeyReplaceExtraInfo, false);
    s.RegularExpressions = ini.readBool(kSectionSettings, kKeyRegularExpressions, false);
    for (int n = 0; n < kSavedSlots; ++n) {
        s.SavedFolder[n] = ini.readText(kSectionFolders, slotKey(kKeySavedFolder, n), "");
        s.SavedFolderSelected[n] =
            ini.readBool(kSectionFolders, slotKey(kKeySavedFolderSelected, n), false);
    }
    for (int n = 0; n < kSavedSlots; ++n) {
        s.SavedFilespec[n] = ini.readText(kSectionFilespec, slotKey(kKeySavedFilespec, n), "");
        s.SavedFilespecSelected[n] =
            ini.readBool(kSectionFilespec, slotKey(kKeySavedFilespecSelected, n), false);
    }
    return s;
}

} // namespace

std::string SettingsPathFor(std::string_view folder, std::string_view executableName) {
    return withTrailingSlash(folder) + std::string(executableName) + ".INI";
}

std::string SettingsPath() {
    std::string name = executableFileName();
    if (name.empty()) name = "vesk"; // /proc unreadable: the program's usual name
    return SettingsPathFor(settingsFolder(), name);
}

SavedSettings LoadSettings(const std::string& settingsPath,
                           const std::function<void(int)>& setDiagnosticLevel) {
    SavedSettings s;
    try {
        s = readSettings(IniFile::load(settingsPath));
    } catch (const std::exception&) {
        s = SavedSettings{}; // out of memory on a huge file: the defaults, as for a missing one
    }
    if (s.ReplaceExtraInfo && setDiagnosticLevel) setDiagnosticLevel(kExtraInfoDiagnosticLevel);
    return s;
}

bool SaveSettings(const std::string& settingsPath, const SavedSettings& settings,
                  Dialogs& dialogs) {
    if (!dialogs.askYesNo("Confirm", kSaveSettingsQuestion)) return false;
    return runSave(settingsPath, dialogs, [&](SaveSession& save) {
        putFolderSlots(save, settings);
        save.integer(kSectionSettings, kKeyFolderMode, settings.FolderMode);
        save.integer(kSectionSettings, kKeyFilespecMode, settings.FilespecMode);
        save.integer(kSectionSettings, kKeyStringsMode, settings.StringsMode);
        save.boolean(kSectionSettings, kKeyRegularExpressions, settings.RegularExpressions);
        save.boolean(kSectionTesting, kKeyReplaceExtraInfo, settings.ReplaceExtraInfo);
    });
}

bool SaveFolderSet(const std::string& settingsPath, const SavedSettings& settings,
                   Dialogs& dialogs) {
    return runSave(settingsPath, dialogs, [&](SaveSession& save) {
        putFolderSlots(save, settings);
        save.integer(kSectionSettings, kKeyFolderMode, settings.FolderMode);
    });
}

bool SaveFilespecSet(const std::string& settingsPath, const SavedSettings& settings,
                     Dialogs& dialogs) {
    return runSave(settingsPath, dialogs, [&](SaveSession& save) {
        putFilespecSlots(save, settings);
        save.integer(kSectionSettings, kKeyFilespecModeAsSaved, settings.FilespecMode);
    });
}

std::string ReadSettingText(const std::string& settingsPath, std::string_view section,
                            std::string_view key, std::string_view fallback) {
    try {
        return trim(IniFile::load(settingsPath).readText(section, key, fallback));
    } catch (const std::exception&) {
        return std::string(fallback); // out of memory on a huge file: as if the key were absent
    }
}

std::string ReadViewerCommand(const std::string& settingsPath, std::string_view extensionKey) {
    return ReadSettingText(settingsPath, kSectionViewer, extensionKey, kDefaultViewerCommand);
}

std::optional<std::string> ReadDifferencesViewer(const std::string& settingsPath) {
    if (!fileExists(settingsPath)) return std::nullopt;
    return ReadSettingText(settingsPath, kSectionSettings, kKeyDifferencesViewer,
                           kMissingDifferencesViewer);
}

std::string SharedSettingsPath(std::string_view fileName) {
    const std::string_view folder; // the shared data folder: none in this program
    std::string_view base = fileName.substr(fileName.rfind('/') + 1);
    if (const std::size_t dot = base.rfind('.'); dot != base.npos) base = base.substr(0, dot);
    std::string name = trim(base);
    if (name.empty()) name = "Ostrel";
    return std::string(folder) + name + ".INI";
}

std::string ReadSharedSetting(std::string_view fileName, std::string_view key,
                              std::string_view fallback) {
    try {
        const std::string path = SharedSettingsPath(fileName);
        if (!fileExists(path)) return std::string(fallback);
        return ReadSettingText(path, kSectionSettings, key, fallback);
    } catch (const std::exception&) {
        return std::string(fallback);
    }
}

} // namespace vesk
