#pragma once
// The differences viewer the settings file names, read where the settings header is not mixed
// with the commands header (both name a default viewer).

#include <optional>
#include <string>

namespace vesk {

// "Settings"/"DifferencesViewer" of the settings file; nullopt when `settingsPath` is empty or
// the file does not exist (the default viewer is then used).
std::optional<std::string> differencesViewerSetting(const std::string& settingsPath);

} // namespace vesk
