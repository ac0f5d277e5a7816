#include "results/print_file.h"

#include <optional>
#include <system_error>

#include "lib/datetime.h"
#include "lib/logs.h"
#include "lib/text.h"
#include "results/output_file.h"

namespace vesk {

namespace {

std::string_view nameWithoutFolder(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string reportPageHeader(std::string_view listingName, DateValue printedAt, int page) {
    return "Ostrel " + std::string(listingName) + " Printed " + formatDate(printedAt, kFormatDate) +
           " " + formatDate(printedAt, kFormatTime) + " Page " + numberText(page);
}

std::string pagedReportText(std::string_view listing, std::string_view listingName,
                            DateValue printedAt) {
    std::string out;
    const std::vector<std::string_view> lines = splitTextLines(listing);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % kReportPageLines == 0) {
            const int page = static_cast<int>(i / kReportPageLines) + 1;
            out.append(reportPageHeader(listingName, printedAt, page)).append("\r\n");
        }
        out.append(lines[i]).append("\r\n");
    }
    return out;
}

std::string reportFileNameFor(std::string_view listingName, std::string_view folder) {
    // Only the file name is tested: the temporary folder is the user's to choose and may well
    // hold "rep" (/tmp/repo), which must not stop the report from being made.
    const std::string_view name = nameWithoutFolder(listingName);
    if (containsNoCase(name, "Rep")) return std::string(listingName);
    return std::string(folder) + "Report-" + std::string(name);
}

std::string viewerDisplayName(std::string_view viewer) {
    if (!containsNoCase(viewer, "Notepad")) return std::string(viewer);
    const std::string_view name = nameWithoutFolder(viewer);
    const std::string_view ext = fileExtension(name);
    return std::string(name.substr(0, name.size() - ext.size()));
}

bool xcPrintFile(const CommandContext& cx, const std::string& fileName, std::string_view kind,
                 const PrintOptions& options) {
    const std::string report = reportFileNameFor(fileName, options.reportFolder);
    if (report != fileName)
        saveOutputFile(report, pagedReportText(loadOutputFile(fileName), fileName, cx.clock.now()));

    const std::string viewer = ReadReportViewer(options.sharedSettings);
    try {
        xcRunLog(cx.channels, cx.clock,
                 "Printfile " + report + " " + std::string(kind) + " " + viewer);
    } catch (const std::system_error& e) {
        cx.dialogs.showMessage(e.what());
    }
    cx.dialogs.showMessage("printfile " + report + " is in report folder\r\nYou can use " +
                           viewerDisplayName(viewer) + " to view and print this");
    // One word whatever the temporary folder's name holds: the parameters are split into words.
    const std::optional<std::string> word = fileWord(report);
    if (!word) {
        cx.dialogs.showMessage(std::string(kUnpassableNameMessage) + report);
        return false;
    }
    const ShellResult started = cx.shell.start(resolveProgram(viewer, cx.options), *word, "");
    if (!started.ok) cx.dialogs.showMessage(started.error);
    return started.ok;
}

} // namespace vesk
