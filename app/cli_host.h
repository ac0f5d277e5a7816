#pragma once
// The search host of vesk-cli: options from the command line, rows into a grid, messages to
// standard error, no questions asked.

#include <iosfwd>
#include <string>

#include "app/cli_options.h"
#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/string_grid.h"
#include "lib/string_slots.h"
#include "search/search_host.h"

namespace vesk::cli {

class CliReplace;

class StderrDialogs final : public Dialogs {
public:
    explicit StderrDialogs(std::ostream& err) : err_(err) {}
    void showMessage(std::string_view text) override;
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    Answer confirmLine(std::string_view, std::string_view) override { return Answer::No; }
    std::optional<std::string> promptText(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> pickFolder(std::string_view, std::string_view) override { return std::nullopt; }
    std::optional<std::string> pickFile(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }

private:
    std::ostream& err_;
};

class CliHost final : public SearchHost {
public:
    CliHost(const SearchOptions& options, std::ostream& err);

    SearchOptions readOptions() override { return options_; }
    StringGrid& grid() override { return grid_; }
    Dialogs& dialogs() override { return dialogs_; }
    const Clock& clock() override { return clock_; }
    void setStatusText(std::string_view text) override { status_ = std::string(text); }
    void setProgressText(std::string_view text) override { progress_ = std::string(text); }
    void markStatus(int) override {}
    void processEvents() override {}
    void focusStringBox() override {}
    void focusGrid() override {}
    void fitResultColumns() override {}
    void resetSpeedDisplay() override {}
    void setGridDisplay(bool on) override { grid_.setVisible(on); }
    void setRunColumnWidth() override {}
    void setLoadMethod(LoadMethod m) override { options_.loadMethod = m; }
    void showPhase(int phase) override;
    void setReplaceIndicator(int mode) override;
    bool applyDateSelection(TNarvFindFiles& scanner) override;
    // With --replace each file with hits goes to the replace review of `replace`.
    void setReplace(CliReplace* replace) { replace_ = replace; }
    ReviewOutcome reviewFile(const ReviewRequest& request) override;

    const std::string& status() const { return status_; }
    const std::string& progress() const { return progress_; }
    void setDateTexts(std::string from, std::string to) {
        from_ = std::move(from);
        to_ = std::move(to);
    }

private:
    SearchOptions options_;
    StringGrid grid_;
    StderrDialogs dialogs_;
    SystemClock clock_;
    std::string status_, progress_;
    std::string from_, to_;
    CliReplace* replace_ = nullptr;
};

// Builds the options from the command line (folders, masks, strings into their simple or
// advanced forms, the lists through the window's own list operations) and fills the slots. Takes
// at most the window's limits of each (see listLimitsError).
SearchOptions searchOptionsFor(const CliOptions& cli, StringSlots& slots);
// More folders or masks than the window's 11 slots, or more strings than its 200: the message.
std::string listLimitsError(const CliOptions& cli);

// Runs the search and prints the rows; returns the exit status.
int runSearch(const CliOptions& cli, std::ostream& out, std::ostream& err);

// Writes the rows of a finished run in the chosen format.
void printRows(const StringGrid& grid, int lastRow, Format format, std::ostream& out);

} // namespace vesk::cli
