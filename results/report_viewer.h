#pragma once
// The viewer of printed reports: "Settings"/"EditFile" of the shared settings file, read in the
// current folder; "Notepad.exe" (the default editor) when the file or the key is missing.
// Kept apart because settings/settings.h and lib/commands.h cannot share a translation unit.

#include <string>
#include <string_view>

namespace vesk {

inline constexpr std::string_view kSharedSettingsName = "Ostrel.INI";
inline constexpr std::string_view kViewerKey = "EditFile";
inline constexpr std::string_view kDefaultReportViewer = "Notepad.exe";

std::string ReadReportViewer(std::string_view sharedSettings = kSharedSettingsName);

} // namespace vesk
