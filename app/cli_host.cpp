#include "app/cli_host.h"

#include <filesystem>
#include <memory>
#include <ostream>

#include "app/cli_export.h"
#include "app/cli_replace.h"
#include "lib/text.h"
#include "search/date_selection.h"
#include "search/search_run.h"
#include "settings/advanced_lists.h"

namespace vesk::cli {

void StderrDialogs::showMessage(std::string_view text) { err_ << text << '\n'; }

CliHost::CliHost(const SearchOptions& options, std::ostream& err)
    : options_(options), grid_(4, 1), dialogs_(err) {}

void CliHost::showPhase(int phase) {
    if (phase == 3) {
        grid_.setVisible(true);
        options_.ReplaceOn = false;
    }
}

void CliHost::setReplaceIndicator(int mode) {
    if (mode == 1) options_.ReplaceOn = false;
}

namespace {
// "DATE TIME" into the two boxes; a missing time takes the box's default.
void splitDateTime(const std::string& text, std::string& date, std::string& time, const char* defaultTime) {
    const std::string_view t = trimView(text);
    const auto blank = t.find(' ');
    date = std::string(t.substr(0, blank));
    time = blank == std::string_view::npos ? defaultTime : trim(t.substr(blank + 1));
}
} // namespace

bool CliHost::applyDateSelection(TNarvFindFiles& scanner) {
    if (from_.empty() && to_.empty()) return true;
    // An open end reaches as far as a date can.
    DateBoxes boxes;
    splitDateTime(from_.empty() ? "1900-01-01" : from_, boxes.startDate, boxes.startTime, "00:00:00");
    splitDateTime(to_.empty() ? "9999-12-31" : to_, boxes.endDate, boxes.endTime, "23:59:59");
    KeptDates kept;
    const DateSelectionResult r =
        ApplyDateSelection(true, options_.FolderMode, options_.FilespecMode, boxes, kept);
    if (!r.message.empty()) dialogs_.showMessage(r.message);
    if (r.endRun) return false;
    if (r.action == DateScannerAction::Assign) {
        scanner.SelectOnDates = r.range.selectOnDates;
        scanner.SelectStartDate = r.range.start;
        scanner.SelectEndDate = r.range.end;
    }
    return true;
}

namespace {
std::string absoluteFolder(const std::string& folder) {
    std::error_code ec;
    auto p = std::filesystem::absolute(folder, ec);
    if (ec) return folder;
    std::string s = p.lexically_normal().string();
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
    return out;
}
} // namespace

std::string listLimitsError(const CliOptions& cli) {
    if (cli.folders.size() > static_cast<std::size_t>(kSavedSlots))
        return "at most " + std::to_string(kSavedSlots) + " folders can be searched at once";
    if (cli.masks.size() > static_cast<std::size_t>(kSavedSlots))
        return "at most " + std::to_string(kSavedSlots) + " masks can be given";
    if (cli.strings.size() > static_cast<std::size_t>(kMaxStrings))
        return "at most " + std::to_string(kMaxStrings) + " strings can be searched at once";
    return {};
}

SearchOptions searchOptionsFor(const CliOptions& cli, StringSlots& slots) {
    SearchOptions o = cli.search;
    std::vector<std::string> folders;
    for (const std::string& f : cli.folders) folders.push_back(absoluteFolder(f));
    if (folders.empty()) folders.push_back(absoluteFolder("."));
    const std::vector<std::string> masks = cli.masks.empty() ? std::vector<std::string>{"*.*"} : cli.masks;
    const bool dates = !cli.from.empty() || !cli.to.empty();

    // The lists are built as the window builds them: folders and masks as checked saved slots,
    // strings in the string slots, then the same list operations.
    SavedSettings saved;
    saved.FolderMode = folders.size() > 1 || dates ? kModeAdvanced : kModeSimple;
    saved.FilespecMode = masks.size() > 1 ? kModeAdvanced : kModeSimple;
    saved.StringsMode = cli.strings.size() > 1 ? kModeAdvanced : kModeSimple;
    for (std::size_t i = 0; i < folders.size() && i < static_cast<std::size_t>(kSavedSlots); ++i) {
        saved.SavedFolder[i] = folders[i];
        saved.SavedFolderSelected[i] = true;
    }
    for (std::size_t i = 0; i < masks.size() && i < static_cast<std::size_t>(kSavedSlots); ++i) {
        saved.SavedFilespec[i] = masks[i];
        saved.SavedFilespecSelected[i] = true;
    }
    slots.FindCount = 0;
    for (std::size_t i = 0; i < cli.strings.size() && i < static_cast<std::size_t>(kMaxStrings); ++i) {
        slots.FindStrings[i] = cli.strings[i];
        slots.ReplaceStrings[i] = cli.replacements[i];
        slots.FindCount = static_cast<int>(i) + 1;
    }
    // Simple mode reads the boxes; these one-entry lists only name them in the set-up row.
    RunLists lists;
    lists.FilespecList = {masks.front()};
    lists.FilespecText = masks.front();
    lists.StringsList = cli.strings;
    lists.StringsText = joined(cli.strings);
    MainBoxes boxes;
    BuildFolderList(saved, lists, boxes);
    BuildFilespecList(saved, lists, boxes);
    BuildStringList(saved, slots, lists, boxes);

    o.FolderMode = saved.FolderMode;
    o.FilespecMode = saved.FilespecMode;
    o.StringsMode = saved.StringsMode;
    o.folderBox = folders.front();
    o.filespecBox = masks.front();
    o.stringBox = cli.strings.empty() ? std::string() : cli.strings.front();
    o.FolderList = lists.FolderList;
    o.FolderText = lists.FolderText;
    o.FilespecList = lists.FilespecList;
    o.FilespecText = lists.FilespecText;
    o.StringsList = lists.StringsList;
    o.StringsText = lists.StringsText;
    return o;
}

void printRows(const StringGrid& grid, int lastRow, Format format, std::ostream& out) {
    std::string line;
    for (int r = 0; r <= lastRow && r < grid.rowCount(); ++r) {
        const std::string_view c0 = grid.cell(0, r);
        line.clear();
        if (format == Format::Grep) {
            if (c0.empty() || c0 == "-1") continue;
            line.append(grid.cell(2, r)).append(":").append(c0).append(":");
            line.append(grid.cell(3, r)).append(":").append(grid.cell(1, r));
        } else {
            line.append(c0).append("\t").append(grid.cell(2, r)).append("\t");
            line.append(grid.cell(3, r)).append("\t").append(grid.cell(1, r));
        }
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

ReviewOutcome CliHost::reviewFile(const ReviewRequest& request) {
    return replace_ ? replace_->review(request) : ReviewOutcome{};
}

int runSearch(const CliOptions& cli, std::ostream& out, std::ostream& err) {
    if (const std::string e = replaceArgumentsError(cli); !e.empty()) {
        err << "vesk-cli: " << e << '\n';
        return 2;
    }
    if (const std::string e = listLimitsError(cli); !e.empty()) {
        err << "vesk-cli: " << e << '\n';
        return 2;
    }
    StringSlots slots;
    SearchOptions options = searchOptionsFor(cli, slots);
    options.ReplaceOn = isReplaceRun(cli);
    CliHost host(options, err);
    host.setDateTexts(cli.from, cli.to);
    std::unique_ptr<CliReplace> replace;
    if (options.ReplaceOn) {
        replace = std::make_unique<CliReplace>(slots, cli.yes, out, host.dialogs());
        host.setReplace(replace.get());
    }
    SearchRun run(host, slots);
    const RunResult result = run.DoSearch();
    if (result == RunResult::Failed) return 2;
    if (result != RunResult::Done) {
        err << "vesk-cli: nothing was searched\n";
        return 2;
    }
    if (replace) {
        out.flush();
        err << host.status() << host.progress() << '\n';
        return replace->finish(run.state().MatchedLines, err);
    }
    if (isExportFormat(cli.format))
        printExport(host.grid(), reportSourceFor(options, run.state(), host.status()), cli.format,
                    host.clock().now(), out);
    else
        printRows(host.grid(), run.state().LastRow, cli.format, out);
    out.flush();
    err << host.status() << host.progress() << '\n';
    return run.state().MatchedLines > 0 ? 0 : 1;
}

} // namespace vesk::cli
