#pragma once
// The operations behind "Text/Print" and the buttons of "Text Output Options", without widgets.
// Failures of the file system reach the user as the system's message through Dialogs and the
// operation answers false; nothing is retried, and the window stays open.

#include <string>

#include "lib/string_grid.h"
#include "results/report_viewer.h"
#include "results/tab_export.h"
#include "results/text_report.h"

namespace vesk {

// lib/commands.h is not included here: windows that include settings/settings.h use this header.
struct CommandContext;

struct TextOutputOptions {
    std::string outputFolder; // the fixed output folder; empty: the system's temporary folder
    std::string sharedSettings = std::string(kSharedSettingsName); // the viewer of reports
};

class TextOutput {
public:
    explicit TextOutput(const CommandContext& cx, TextOutputOptions options = {});

    // btnPrintClick: new report values for `source` at the current time; creates the output
    // folder when it does not exist (one level). False when it cannot be created.
    bool Prepare(const ReportSource& source);
    const TextReport& report() const { return report_; }
    const std::string& outputFolder() const { return options_.outputFolder; }

    // btnExportTextClick ("Write Text to Notepad"): the listing to ReportFileName, then its paged
    // report opened in the viewer (xcPrintFile with the kind word "Text").
    bool ExportText(const StringGrid& grid);

    // The file "Write Tab Delimited File" writes with these choices.
    std::string TabFileName(const TabExportOptions& choices) const;
    // btnGridToTabClick: writes the tab-delimited or CSV file, shows "File saved to " and its name,
    // and opens it in the editor (xcEditFile). False when it could not be written.
    bool GridToTab(const StringGrid& grid, const TabExportOptions& choices);

private:
    const CommandContext& cx_;
    TextOutputOptions options_;
    TextReport report_;
};

} // namespace vesk
