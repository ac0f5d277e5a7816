#pragma once
// vesk-cli's standard output while a run is under way: each row is printed as soon as the run has
// written it. A terminal gets every line at once; a pipe or file gets the first line at once and
// then a flush at most every 100 ms, so a reader sees hits when they are found without a system
// call per line. A failed write is kept (with its errno) for the caller to report.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_options.h"
#include "lib/string_grid.h"

namespace vesk::cli {

// The length of the text a match row's position points at: the string (or, in the all-words
// find, the word) that the run's rules put at that position.
class MatchedText {
public:
    enum class Mode { Strings, AllWords };
    MatchedText() = default;
    MatchedText(const std::vector<std::string>& strings, Mode mode, bool caseInsensitive,
                bool wholeWordsOnly);
    // 0 when nothing fits at `position` (1-based).
    std::size_t length(std::string_view line, std::size_t position) const;

private:
    std::vector<std::string> strings_;
    Mode mode_ = Mode::Strings;
    bool caseInsensitive_ = true;
    bool wholeWords_ = false;
};

// One row as the format prints it (with its line break); empty when the format leaves it out.
// `highlight` marks the matched text of a grep row with terminal colours.
std::string formatRow(const StringGrid& grid, int row, Format format,
                      const MatchedText* highlight = nullptr);

// Whether a row reports a fault: a file that could not be read or was cut off.
bool isErrorRow(const StringGrid& grid, int row);

class RowPrinter {
public:
    using Now = std::function<std::chrono::steady_clock::time_point()>;

    // `terminal`: flush every line. `now` is the clock of the flush interval.
    RowPrinter(Format format, bool terminal, std::ostream& out, Now now = {});

    void setHighlight(MatchedText highlight);
    // Whether rows without a line number (headings, the run's own texts) print anything.
    bool printsTextRows() const { return format_ != Format::Grep; }
    void print(const StringGrid& grid, int row);
    // Between rows: flushes what waits once the interval has passed.
    void tick();
    // Flushes everything; false when a write failed.
    bool finish();

    bool failed() const { return failed_; }
    int writeError() const { return writeErrno_; }

    static constexpr std::chrono::milliseconds kFlushInterval{100};

private:
    void flush();
    void checkStream();

    Format format_;
    bool terminal_;
    std::ostream& out_;
    Now now_;
    bool highlight_ = false;
    MatchedText matched_;
    bool pending_ = false;
    bool anyPrinted_ = false;
    std::chrono::steady_clock::time_point lastFlush_{};
    bool failed_ = false;
    int writeErrno_ = 0;
};

} // namespace vesk::cli
