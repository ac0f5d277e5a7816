#include "app/cli_output.h"

#include <cerrno>
#include <ostream>

#include "search/find_pos.h"

namespace vesk::cli {

namespace {

// The colours grep uses by default: file name, numbers, separators, matched text.
constexpr std::string_view kFileColor = "\33[35m";
constexpr std::string_view kNumberColor = "\33[32m";
constexpr std::string_view kSeparatorColor = "\33[36m";
constexpr std::string_view kMatchColor = "\33[01;31m\33[K";
constexpr std::string_view kReset = "\33[m";
constexpr std::string_view kResetLine = "\33[m\33[K";

void appendColored(std::string& line, std::string_view color, std::string_view text) {
    line.append(color).append(text).append(kReset);
}

std::size_t positionOf(std::string_view cell) {
    std::size_t n = 0;
    for (char c : cell) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n;
}

void appendHighlightedText(std::string& line, std::string_view text, std::size_t position,
                           const MatchedText& matched) {
    const std::size_t length = position > 0 ? matched.length(text, position) : 0;
    if (length == 0 || position - 1 + length > text.size()) {
        line.append(text);
        return;
    }
    line.append(text.substr(0, position - 1));
    line.append(kMatchColor).append(text.substr(position - 1, length)).append(kResetLine);
    line.append(text.substr(position - 1 + length));
}

} // namespace

MatchedText::MatchedText(const std::vector<std::string>& strings, Mode mode, bool caseInsensitive,
                         bool wholeWordsOnly)
    : strings_(strings), mode_(mode), caseInsensitive_(caseInsensitive),
      wholeWords_(wholeWordsOnly) {}

std::size_t MatchedText::length(std::string_view line, std::size_t position) const {
    std::size_t best = 0;
    for (const std::string& s : strings_) {
        if (s.empty()) continue;
        const std::size_t p = xcFindPos(line, s, wholeWords_, caseInsensitive_);
        // Strings: the first that matches anywhere is the one the row shows.
        if (mode_ == Mode::Strings && p > 0) return p == position ? s.size() : 0;
        // All words: the row shows the smallest position of any word; the longest word there.
        if (p == position && s.size() > best) best = s.size();
    }
    return best;
}

std::string formatRow(const StringGrid& grid, int row, Format format,
                      const MatchedText* highlight) {
    std::string line;
    const std::string_view c0 = grid.cell(0, row);
    if (format == Format::Grep) {
        if (c0.empty() || c0 == "-1") return line;
        if (highlight) {
            const std::string_view sep = ":";
            appendColored(line, kFileColor, grid.cell(2, row));
            appendColored(line, kSeparatorColor, sep);
            appendColored(line, kNumberColor, c0);
            appendColored(line, kSeparatorColor, sep);
            appendColored(line, kNumberColor, grid.cell(3, row));
            appendColored(line, kSeparatorColor, sep);
            appendHighlightedText(line, grid.cell(1, row), positionOf(grid.cell(3, row)),
                                  *highlight);
        } else {
            line.append(grid.cell(2, row)).append(":").append(c0).append(":");
            line.append(grid.cell(3, row)).append(":").append(grid.cell(1, row));
        }
    } else {
        line.append(c0).append("\t").append(grid.cell(2, row)).append("\t");
        line.append(grid.cell(3, row)).append("\t").append(grid.cell(1, row));
    }
    line += '\n';
    return line;
}

bool isErrorRow(const StringGrid& grid, int row) {
    if (grid.cell(0, row) == "-1") return true;
    // A file that failed while loading is reported by a text row of its own.
    const std::string_view text = grid.cell(1, row);
    return grid.cell(0, row).empty() && grid.cell(2, row).empty() &&
           text.rfind("Load File ", 0) == 0 && text.find(" error: ") != std::string_view::npos;
}

RowPrinter::RowPrinter(Format format, bool terminal, std::ostream& out, Now now)
    : format_(format), terminal_(terminal), out_(out),
      now_(now ? std::move(now) : Now([] { return std::chrono::steady_clock::now(); })) {}

void RowPrinter::setHighlight(MatchedText highlight) {
    matched_ = std::move(highlight);
    highlight_ = true;
}

void RowPrinter::print(const StringGrid& grid, int row) {
    if (failed_) return;
    const std::string line = formatRow(grid, row, format_, highlight_ ? &matched_ : nullptr);
    if (line.empty()) return;
    errno = 0;
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    checkStream();
    pending_ = true;
    // The first hit is what a reader waits for; later lines go out together.
    if (terminal_ || !anyPrinted_) flush();
    anyPrinted_ = true;
    tick();
}

void RowPrinter::tick() {
    if (pending_ && !failed_ && now_() - lastFlush_ >= kFlushInterval) flush();
}

bool RowPrinter::finish() {
    if (!failed_) flush();
    return !failed_;
}

void RowPrinter::flush() {
    errno = 0;
    out_.flush();
    checkStream();
    pending_ = false;
    lastFlush_ = now_();
}

void RowPrinter::checkStream() {
    if (failed_ || out_.good()) return;
    failed_ = true;
    writeErrno_ = errno != 0 ? errno : EIO;
}

} // namespace vesk::cli
