#pragma once
// Where the program keeps its own files, split as Linux expects: the settings file in the
// settings folder, the replace archive and the logs in the state folder, temporary copies in the
// temp folder. The executable's folder is never written.

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// The settings folder, ending in "/": VESK_HOME when it names an existing folder (tests, portable
// use), else $XDG_CONFIG_HOME/vesk (~/.config/vesk when unset or not absolute), created when
// missing. Computed on each call; callers that fix a path at start-up keep their copy.
std::string settingsFolder();
// The state folder, ending in "/": VESK_HOME as above, else $XDG_STATE_HOME/vesk
// (~/.local/state/vesk when unset or not absolute), created when missing.
std::string stateFolder();

// The choice of both from their inputs, for tests: `veskHome` and `xdgHome` are the variables'
// values (nullopt when unset), `home` is $HOME and `homeRelative` the default below it
// (".config" or ".local/state"). Creates the folder (mode 0700 for each new level); a failure
// shows later, when a file cannot be written there.
std::string xdgFolderFrom(std::optional<std::string_view> veskHome,
                          std::optional<std::string_view> xdgHome, std::string_view home,
                          std::string_view homeRelative);

// The system's temporary folder: TMPDIR when set and not empty, else /tmp; ending in "/".
std::string tempFolder();

// The full path of the running executable (/proc/self/exe); empty when unreadable.
std::string executablePath();
// The executable's file name without its folder ("vesk", "vesk-cli").
std::string executableFileName();

// `folder` with one trailing "/" added when it has none (an empty text stays empty).
std::string withTrailingSlash(std::string_view folder);

// What the text, as given, names: links count as what they point to.
enum class PathKind { None, File, Folder, Other };
PathKind pathKind(std::string_view path);
// True when the text, as given, names an existing folder (a link to one counts).
bool isExistingFolder(std::string_view path);
// True when the text, as given, names an existing regular file (a link to one counts).
bool isExistingFile(std::string_view path);

} // namespace vesk
