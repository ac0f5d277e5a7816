#include "replace/viewer_setting.h"

#include "settings/settings.h"

namespace vesk {

std::optional<std::string> differencesViewerSetting(const std::string& settingsPath) {
    if (settingsPath.empty()) return std::nullopt;
    return ReadDifferencesViewer(settingsPath);
}

} // namespace vesk
