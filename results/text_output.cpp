#include "results/text_output.h"

#include <system_error>

#include "lib/commands.h"
#include "lib/program_folder.h"
#include "results/output_file.h"
#include "results/print_file.h"
#include "results/text_listing.h"

namespace vesk {

TextOutput::TextOutput(const CommandContext& cx, TextOutputOptions options)
    : cx_(cx), options_(std::move(options)) {
    options_.outputFolder =
        options_.outputFolder.empty() ? tempFolder() : withTrailingSlash(options_.outputFolder);
}

bool TextOutput::Prepare(const ReportSource& source) {
    report_ = PrepareTextReport(source, cx_.clock.now(), options_.outputFolder);
    try {
        ensureOutputFolder(options_.outputFolder);
    } catch (const std::system_error& e) {
        cx_.dialogs.showMessage(e.what());
        return false;
    }
    return true;
}

bool TextOutput::ExportText(const StringGrid& grid) {
    try {
        xcGridToText(grid, report_.ReportFileName, report_.ReportText);
        const PrintOptions print{options_.outputFolder, options_.sharedSettings};
        return xcPrintFile(cx_, report_.ReportFileName, "Text", print);
    } catch (const std::system_error& e) {
        cx_.dialogs.showMessage(e.what());
        return false;
    }
}

std::string TextOutput::TabFileName(const TabExportOptions& choices) const {
    return tabExportFileName(report_.ReportFileName, choices.WriteCSV);
}

bool TextOutput::GridToTab(const StringGrid& grid, const TabExportOptions& choices) {
    const std::string name = TabFileName(choices);
    try {
        saveOutputFile(name,
                       tabExportText(grid, report_.ReportDateTime, report_.StringsText, choices));
    } catch (const std::system_error& e) {
        cx_.dialogs.showMessage(e.what());
        return false;
    }
    cx_.dialogs.showMessage("File saved to " + name);
    xcEditOneFile(cx_, name);
    return true;
}

} // namespace vesk
