#include "app/cli_host.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <utility>

#include "app/cli_export.h"
#include "app/cli_replace.h"
#include "lib/program_folder.h"
#include "lib/text.h"
#include "search/date_selection.h"
#include "search/find_pos.h"
#include "search/search_run.h"
#include "settings/advanced_lists.h"

namespace vesk::cli {

void StderrDialogs::showMessage(std::string_view text) {
    err_ << text << '\n';
}

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
bool isTimeWord(std::string_view word) {
    if (word.find(':') != std::string_view::npos) return true;
    // An hour with its marker: "9pm", "11a".
    std::size_t digits = 0;
    while (digits < word.size() && word[digits] >= '0' && word[digits] <= '9')
        ++digits;
    if (digits == 0) return false;
    const std::string marker = upperCase(word.substr(digits));
    return marker == "A" || marker == "AM" || marker == "P" || marker == "PM";
}
} // namespace

DateTimeTexts splitDateTime(std::string_view value, std::string_view defaultTime) {
    const std::string_view t = trimView(value);
    std::size_t i = 0;
    bool firstWord = true;
    while (i < t.size()) {
        const std::size_t start = i;
        while (i < t.size() && !isBlankByte(t[i]))
            ++i;
        if (!firstWord && isTimeWord(t.substr(start, i - start)))
            return {std::string(trimView(t.substr(0, start))), std::string(t.substr(start))};
        firstWord = false;
        while (i < t.size() && isBlankByte(t[i]))
            ++i;
    }
    return {std::string(t), std::string(defaultTime)};
}

bool CliHost::applyDateSelection(TNarvFindFiles& scanner) {
    if (from_.empty() && to_.empty()) return true;
    // An open end reaches as far as a date can.
    const DateTimeTexts start = splitDateTime(from_.empty() ? "1900-01-01" : from_, "00:00:00");
    const DateTimeTexts end = splitDateTime(to_.empty() ? "9999-12-31" : to_, "23:59:59");
    const DateBoxes boxes{start.date, start.time, end.date, end.time};
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
    // As the folder box holds it: no separator added, so the set-up rows read as the window's.
    return p.lexically_normal().string();
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? "," : "") + items[i];
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
    for (const std::string& f : cli.folders)
        folders.push_back(absoluteFolder(f));
    if (folders.empty()) folders.push_back(absoluteFolder("."));
    const std::vector<std::string> masks =
        cli.masks.empty() ? std::vector<std::string>{"*.*"} : cli.masks;
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
    for (std::size_t i = 0; i < cli.strings.size() && i < static_cast<std::size_t>(kMaxStrings);
         ++i) {
        slots.FindStrings[i] = cli.strings[i];
        slots.ReplaceStrings[i] = cli.replacements[i];
        slots.FindCount = static_cast<int>(i) + 1;
    }
    // Simple mode reads the boxes; its mask list stays empty, as the window's does.
    RunLists lists;
    lists.StringsList = cli.strings;
    lists.StringsText = joined(cli.strings);
    MainBoxes boxes;
    BuildFolderList(saved, lists, boxes);
    BuildFilespecList(saved, lists, boxes);
    BuildStringList(saved, slots, lists, boxes);

    o.FolderMode = saved.FolderMode;
    o.FilespecMode = saved.FilespecMode;
    o.StringsMode = saved.StringsMode;
    // The boxes hold what the window's boxes would: in advanced mode the ","-joined list, which is
    // the mask text the run tests for ".map" and the set-up row shows.
    o.folderBox = folders.front();
    o.filespecBox = saved.FilespecMode == kModeAdvanced ? boxes.edtFileSpec : masks.front();
    if (saved.StringsMode == kModeAdvanced)
        o.stringBox = boxes.edtString;
    else
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
    for (int r = 0; r <= lastRow && r < grid.rowCount(); ++r) {
        const std::string line = formatRow(grid, r, format);
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

ReviewOutcome CliHost::reviewFile(const ReviewRequest& request) {
    return replace_ ? replace_->review(request) : ReviewOutcome{};
}

void CliHost::processEvents() {
    if (!printer_) return;
    printer_->tick();
    if (printer_->failed() && onWriteFailed_) std::exchange(onWriteFailed_, nullptr)();
}

void CliHost::rowWritten(int row) {
    if (isErrorRow(grid_, row)) ++errorRows_;
    if (heldFrom_ < 0 || row < heldFrom_) print(row);
}

void CliHost::rowsAheadOfListing(int row) {
    if (printer_ && printer_->printsTextRows()) heldFrom_ = row;
}

void CliHost::rowsMoved(int first, int /*middle*/, int end) {
    if (heldFrom_ < 0) return;
    heldFrom_ = -1;
    for (int row = first; row < end; ++row)
        print(row);
}

void CliHost::print(int row) {
    if (!printer_) return;
    printer_->print(grid_, row);
    if (printer_->failed() && onWriteFailed_) std::exchange(onWriteFailed_, nullptr)();
}

namespace {

// What stops a run before it starts: a message, or empty.
std::string argumentsError(const CliOptions& cli) {
    if (std::string e = replaceArgumentsError(cli); !e.empty()) return e;
    if (std::string e = listLimitsError(cli); !e.empty()) return e;
    return {};
}

// Tells about every folder operand that is missing or not a folder; true when one was.
bool reportMissingFolders(const CliOptions& cli, std::ostream& err) {
    bool any = false;
    for (const std::string& folder : cli.folders) {
        struct stat st {};
        const bool exists = ::stat(folder.c_str(), &st) == 0;
        if (exists && S_ISDIR(st.st_mode)) continue;
        err << "vesk-cli: " << folder << (exists ? ": not a folder\n" : ": no such folder\n");
        any = true;
    }
    return any;
}

bool anyFolderExists(const CliOptions& cli) {
    if (cli.folders.empty()) return true; // the current folder
    for (const std::string& folder : cli.folders)
        if (isExistingFolder(folder)) return true;
    return false;
}

bool colorsOn(ColorMode mode, bool terminal) {
    if (mode != ColorMode::Auto) return mode == ColorMode::Always;
    const char* term = std::getenv("TERM");
    return terminal && term && std::string_view(term) != "dumb";
}

MatchedText matchedTextOf(const CliOptions& cli) {
    const SearchOptions& s = cli.search;
    if (s.GoogleFind && cli.strings.size() == 1) {
        const std::vector<std::string> words = xcSplitSearchWords(cli.strings.front());
        if (!words.empty())
            return MatchedText(words, MatchedText::Mode::AllWords, s.CaseInsensitive,
                               s.WholeWordsOnly);
    }
    return MatchedText(cli.strings, MatchedText::Mode::Strings, s.CaseInsensitive,
                       s.WholeWordsOnly);
}

void reportWriteError(int error, std::ostream& err) {
    // A reader that went away (a closed pipe) is not worth a message.
    if (error != EPIPE) err << "vesk-cli: write error: " << std::strerror(error) << '\n';
}

} // namespace

int runSearch(const CliOptions& cli, std::ostream& out, std::ostream& err, bool terminal) {
    if (const std::string e = argumentsError(cli); !e.empty()) {
        err << "vesk-cli: " << e << '\n';
        return 2;
    }
    const bool folderFault = reportMissingFolders(cli, err);
    if (!anyFolderExists(cli)) return 2;

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
    // A replace run prints its changes instead; the exports need the finished run.
    const bool streaming = !replace && !isExportFormat(cli.format);
    RowPrinter printer(cli.format, terminal, out);
    if (colorsOn(cli.color, terminal)) printer.setHighlight(matchedTextOf(cli));
    if (streaming) host.setPrinter(&printer, [&run] { run.Cancel(); });

    const RunResult result = run.DoSearch();
    if (result == RunResult::Failed) return 2;
    if (result != RunResult::Done && !printer.failed()) {
        err << "vesk-cli: nothing was searched\n";
        return 2;
    }
    errno = 0; // a failed write below is told with its own cause
    if (!streaming && !replace)
        printExport(host.grid(), reportSourceFor(options, run.state(), host.status()), cli.format,
                    host.clock().now(), out);
    if (!streaming) out.flush();
    const bool written = streaming ? printer.finish() : !out.fail();
    if (!written) {
        reportWriteError(streaming ? printer.writeError() : (errno ? errno : EIO), err);
        return 2;
    }
    err << host.status() << host.progress() << '\n';
    const int status = replace ? replace->finish(run.state().MatchedLines, err)
                               : (run.state().MatchedLines > 0 ? 0 : 1);
    return folderFault || host.errorRows() > 0 ? 2 : status;
}

} // namespace vesk::cli
