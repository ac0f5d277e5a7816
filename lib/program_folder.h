#pragma once
// Where the program keeps its own files (DESIGN.md, "The platform, mapped"): the settings file, the
// replace archive and the logs live in the program folder; temporary copies in the temp folder.

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// The program's folder, ending in "/":
// 1. the environment variable VESK_HOME when it names an existing folder (tests, portable use);
// 2. else the folder of the running executable (/proc/self/exe) when it is writable;
// 3. else $XDG_CONFIG_HOME/vesk (~/.config/vesk when XDG_CONFIG_HOME is unset or not absolute),
//    created when missing, so an install under /usr keeps its files per user.
// Computed on each call (cheap); callers that fix a path at start-up keep their copy.
std::string programFolder();

// The system's temporary folder: TMPDIR when set and not empty, else /tmp; ending in "/".
std::string tempFolder();

// The full path of the running executable (/proc/self/exe); empty when unreadable.
std::string executablePath();
// The executable's file name without its folder ("vesk", "vesk-cli").
std::string executableFileName();

// The choice of programFolder() from its inputs, for tests: `veskHome` and `xdgConfigHome` are the
// variables' values (nullopt when unset), `exeFolder` the executable's folder, `home` $HOME.
std::string programFolderFrom(std::optional<std::string_view> veskHome, std::string_view exeFolder,
                              std::optional<std::string_view> xdgConfigHome, std::string_view home);

// `folder` with one trailing "/" added when it has none (an empty text stays empty).
std::string withTrailingSlash(std::string_view folder);

} // namespace vesk
