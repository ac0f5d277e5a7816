#pragma once
// The search host of vesk-cli: options from the command line, rows into a grid, messages to
// standard error, no questions asked.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "app/cli_options.h"
#include "app/cli_output.h"
#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/string_grid.h"
#include "lib/string_slots.h"
#include "search/search_host.h"

namespace vesk::cli {

class CliReplace;

// A --from/--to value split into the date box and the time box. The time starts at the first
// blank-separated word after the first that holds a ":" or is an hour with an am/pm marker
// ("9pm"); without one the whole value is the date and the time is `defaultTime`. Blanks and TABs
// separate alike, so "07 DEC 26" and "07-Dec-26<TAB>10:00" keep their year.
struct DateTimeTexts {
    std::string date, time;
};
DateTimeTexts splitDateTime(std::string_view value, std::string_view defaultTime);

class StderrDialogs final : public Dialogs {
public:
    explicit StderrDialogs(std::ostream& err) : err_(err) {}
    void showMessage(std::string_view text) override;
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    Answer confirmLine(std::string_view, std::string_view) override { return Answer::No; }
    std::optional<std::string> promptText(std::string_view, std::string_view,
                                          std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> pickFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> pickFile(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }

private:
    std::ostream& err_;
};

class CliHost final : public SearchHost {
public:
    CliHost(const SearchOptions& options, std::ostream& err);

    SearchOptions readOptions() override { return options_; }
    FileOptions readFileOptions() override { return options_; }
    StringGrid& grid() override { return grid_; }
    Dialogs& dialogs() override { return dialogs_; }
    const Clock& clock() override { return clock_; }
    void setStatusText(std::string_view text) override { status_ = std::string(text); }
    void setProgressText(std::string_view text) override { progress_ = std::string(text); }
    void markStatus(int) override {}
    void processEvents() override;
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
    // Counts error rows and hands each row to the printer, if there is one.
    void rowWritten(int row) override;
    // A format that prints the listing's own rows keeps the rows written ahead of them until
    // they are in place.
    void rowsAheadOfListing(int row) override;
    void rowsMoved(int first, int middle, int end) override;
    // Rows go to `printer` as the run writes them; `onWriteFailed` ends the run when it fails.
    void setPrinter(RowPrinter* printer, std::function<void()> onWriteFailed) {
        printer_ = printer;
        onWriteFailed_ = std::move(onWriteFailed);
    }
    int errorRows() const { return errorRows_; }

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
    RowPrinter* printer_ = nullptr;
    std::function<void()> onWriteFailed_;
    int errorRows_ = 0;
    int heldFrom_ = -1; // rows from here wait for rowsMoved

    void print(int row);
};

// Builds the options from the command line (folders, masks, strings into their simple or
// advanced forms, the lists through the window's own list operations) and fills the slots. Takes
// at most the window's limits of each (see listLimitsError).
SearchOptions searchOptionsFor(const CliOptions& cli, StringSlots& slots);
// More folders or masks than the window's 11 slots, or more strings than its 200: the message.
std::string listLimitsError(const CliOptions& cli);

// Runs the search and prints the rows as they come; returns the exit status (0 a line matched,
// 1 none did, 2 an error). `terminal`: standard output is a terminal (colours on auto, every line
// flushed).
int runSearch(const CliOptions& cli, std::ostream& out, std::ostream& err, bool terminal = false);

// Writes the rows of a finished run in the chosen format.
void printRows(const StringGrid& grid, int lastRow, Format format, std::ostream& out);

} // namespace vesk::cli
