#pragma once
// The differences viewer the settings file names, so the review reads the settings file through
// one small door rather than knowing the settings layer.

#include <optional>
#include <string>

namespace vesk {

// "Settings"/"DifferencesViewer" of the settings file; nullopt when `settingsPath` is empty or
// the file does not exist (the default viewer is then used).
std::optional<std::string> differencesViewerSetting(const std::string& settingsPath);

} // namespace vesk
