#pragma once
// The pages of the help window "Vesk Tips".

#include <array>
#include <string_view>

namespace vesk {

struct HelpPage {
    std::string_view title;
    std::string_view html;
};

// The order the buttons rely on: "Viewing results tips" opens the first page, "Advanced options"
// the second, "Settings" the settings page.
inline constexpr int kHelpViewingResults = 0;
inline constexpr int kHelpAdvancedOptions = 1;
inline constexpr int kHelpSearching = 2;
inline constexpr int kHelpSettings = 3;

const std::array<HelpPage, 4>& helpPages();

} // namespace vesk
