// vesk-cli's output while a run goes on: when a reader sees each row, the colours of a match, the
// rows that make the exit status 2, and how --from/--to values split into date and time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <sstream>
#include <streambuf>

#include "app/cli_host.h"
#include "app/cli_output.h"
#include "lib/grid_routines.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using namespace vesk::cli;
using ::testing::HasSubstr;
using ::testing::Not;
using vesk::test::TempTree;
using SteadyClock = std::chrono::steady_clock;

namespace {

// Bytes reach the reader only when the stream is flushed, as through a pipe.
class ReaderView : public std::streambuf {
public:
    std::string delivered;
    std::vector<std::string> flushes; // what the reader had after each flush
    bool full = false;                // every write fails as on a full disk

protected:
    int overflow(int c) override {
        if (full) return fail();
        if (c != traits_type::eof()) pending_ += static_cast<char>(c);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (full) return fail();
        pending_.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        if (full) return fail();
        delivered += pending_;
        pending_.clear();
        flushes.push_back(delivered);
        return 0;
    }

private:
    int fail() {
        errno = ENOSPC;
        return -1;
    }
    std::string pending_;
};

struct FakeNow {
    SteadyClock::time_point t{};
    RowPrinter::Now fn() {
        return [this] { return t; };
    }
};

// A grid holding one file's heading and its match rows, as a run writes them.
struct Rows {
    StringGrid grid{4, 1};
    int last = -1;
    int add(std::string_view line, std::string_view text, std::string_view pos) {
        xcGridNewRow(grid, last);
        grid.setCell(0, last, line);
        grid.setCell(1, last, text);
        grid.setCell(2, last, "/t/a.txt");
        grid.setCell(3, last, pos);
        return last;
    }
};

std::string highlighted(const MatchedText& m, std::string_view text, std::string_view pos) {
    Rows r;
    return formatRow(r.grid, r.add("1", text, pos), Format::Grep, &m);
}

constexpr std::string_view kOn = "\33[01;31m\33[K";
constexpr std::string_view kOff = "\33[m\33[K";

std::string marked(std::string_view before, std::string_view match, std::string_view after) {
    return std::string(before) + std::string(kOn) + std::string(match) + std::string(kOff) +
           std::string(after) + "\n";
}

// What follows the last coloured ":" of a grep row: its text.
std::string textOf(const std::string& row) {
    const std::string sep = "\33[36m:\33[m";
    return row.substr(row.rfind(sep) + sep.size());
}

} // namespace

TEST(RowPrinter, TheFirstRowReachesThePipeAtOnceLaterRowsWithinTheInterval) {
    ReaderView view;
    std::ostream out(&view);
    FakeNow now;
    RowPrinter printer(Format::Grep, false, out, now.fn());
    Rows r;
    printer.print(r.grid, r.add("", "/t/a.txt", "")); // a heading: not a grep line
    EXPECT_EQ(view.delivered, "");
    printer.print(r.grid, r.add("1", "first", "1"));
    EXPECT_EQ(view.delivered, "/t/a.txt:1:1:first\n");

    now.t += std::chrono::milliseconds(10);
    printer.print(r.grid, r.add("2", "second", "1"));
    now.t += std::chrono::milliseconds(50);
    printer.tick();
    EXPECT_EQ(view.delivered, "/t/a.txt:1:1:first\n") << "one flush per interval, not per line";
    now.t += RowPrinter::kFlushInterval;
    printer.tick();
    EXPECT_THAT(view.delivered, HasSubstr("second"));

    printer.print(r.grid, r.add("3", "third", "1"));
    EXPECT_TRUE(printer.finish());
    EXPECT_THAT(view.delivered, HasSubstr("/t/a.txt:3:1:third\n"));
}

TEST(RowPrinter, ATerminalGetsEveryLineAtOnce) {
    ReaderView view;
    std::ostream out(&view);
    FakeNow now;
    RowPrinter printer(Format::Rows, true, out, now.fn());
    Rows r;
    for (int i = 1; i <= 3; ++i) {
        printer.print(r.grid, r.add(std::to_string(i), "x", "1"));
        EXPECT_EQ(view.flushes.size(), static_cast<std::size_t>(i));
    }
}

TEST(RowPrinter, AFailedWriteIsKeptWithItsCause) {
    ReaderView view;
    view.full = true;
    std::ostream out(&view);
    RowPrinter printer(Format::Grep, false, out);
    Rows r;
    printer.print(r.grid, r.add("1", "hit", "1"));
    EXPECT_TRUE(printer.failed());
    EXPECT_EQ(printer.writeError(), ENOSPC);
    EXPECT_FALSE(printer.finish());
}

TEST(FormatRow, GrepLeavesOutHeadingsTextAndErrorRowsRowsKeepsThemAll) {
    Rows r;
    const int heading = r.add("", "/t/a.txt", "");
    const int error = r.add("-1", "Searching File too slow", "");
    const int match = r.add("7", "a\tb", "3");
    EXPECT_EQ(formatRow(r.grid, heading, Format::Grep), "");
    EXPECT_EQ(formatRow(r.grid, error, Format::Grep), "");
    EXPECT_EQ(formatRow(r.grid, match, Format::Grep), "/t/a.txt:7:3:a\tb\n");
    EXPECT_EQ(formatRow(r.grid, error, Format::Rows), "-1\t/t/a.txt\t\tSearching File too slow\n");
}

TEST(FormatRow, ColoursTheTextTheRowsPositionPointsAt) {
    const MatchedText one({"needle"}, MatchedText::Mode::Strings, true, false);
    const std::string row = highlighted(one, "a NEEDLE here", "3");
    EXPECT_THAT(row, HasSubstr("\33[35m/t/a.txt\33[m"));
    EXPECT_EQ(textOf(row), marked("a ", "NEEDLE", " here"));

    // Several strings: the first in the list that occurs decides, even where a later, longer one
    // sits at the same place.
    const MatchedText several({"zzz", "ab", "abcd"}, MatchedText::Mode::Strings, true, false);
    EXPECT_EQ(textOf(highlighted(several, "xabcd", "2")), marked("x", "ab", "cd"));

    // Case matters when the run matched case; whole words skip a rejected occurrence.
    const MatchedText exact({"Ab"}, MatchedText::Mode::Strings, false, true);
    EXPECT_EQ(textOf(highlighted(exact, "ab Abc Ab", "8")), marked("ab Abc ", "Ab", ""));

    // All words: the word at the smallest position, the longest one there.
    const MatchedText words({"cat", "do", "dog"}, MatchedText::Mode::AllWords, true, false);
    EXPECT_EQ(textOf(highlighted(words, "a dog, a cat", "3")), marked("a ", "dog", ", a cat"));

    // A position that fits no string is left plain.
    EXPECT_EQ(textOf(highlighted(one, "no match here", "4")), "no match here\n");
    EXPECT_EQ(textOf(highlighted(one, "needle", "")), "needle\n");
}

namespace {
// Writes rows into a host's grid as a run does, telling the host of each.
struct RowWriter {
    CliHost& host;
    int last = -1;
    void operator()(std::string_view c0, std::string_view text, std::string_view file) {
        StringGrid& g = host.grid();
        xcGridNewRow(g, last);
        g.setCell(0, last, c0);
        g.setCell(1, last, text);
        g.setCell(2, last, file);
        host.rowWritten(last);
    }
};
} // namespace

TEST(CliHost, RowsReportingAFaultAreCounted) {
    CliHost host(SearchOptions{}, std::cerr);
    RowWriter add{host};
    add("", "Folders=/t/ Filespec=*.*  String=Load File x", "");
    add("", "/t/a.txt", "/t/a.txt");
    add("1", "Load File /t/a.txt error: it said", "/t/a.txt");
    EXPECT_EQ(host.errorRows(), 0);
    add("", "Load File /t/b.txt error: Input/output error", "");
    add("-1", "xcIsTextFileAndLoadable: Error reading in file:- ", "/t/c.txt");
    EXPECT_EQ(host.errorRows(), 2);
}

// Files searched while the folders are listed get their rows before the listing's own rows,
// which are then moved above them: each format prints the rows in their final order.
TEST(CliHost, RowsWrittenAheadOfTheListingPrintInTheirFinalPlace) {
    for (const Format format : {Format::Grep, Format::Rows}) {
        std::ostringstream out;
        RowPrinter printer(format, false, out);
        CliHost host(SearchOptions{}, std::cerr);
        host.setPrinter(&printer, [] {});
        RowWriter add{host};
        add("", "Folders=/t/", "");
        host.rowsAheadOfListing(add.last + 1);
        add("", "/t/a.txt", "/t/a.txt");
        add("1", "needle", "/t/a.txt");
        const std::string beforeListingEnd = out.str();
        add("", "Files=1", "");
        host.grid().rotateRows(1, 3, 4);
        host.rowsMoved(1, 3, 4);
        add("", "/t/b.txt", "/t/b.txt");
        add("2", "needle b", "/t/b.txt");
        printer.finish();
        if (format == Format::Grep) {
            EXPECT_EQ(beforeListingEnd, "/t/a.txt:1::needle\n");
            EXPECT_EQ(out.str(), "/t/a.txt:1::needle\n/t/b.txt:2::needle b\n");
        } else {
            EXPECT_EQ(beforeListingEnd, "\t\t\tFolders=/t/\n");
            EXPECT_EQ(out.str(), "\t\t\tFolders=/t/\n\t\t\tFiles=1\n\t/t/a.txt\t\t/t/a.txt\n"
                                 "1\t/t/a.txt\t\tneedle\n\t/t/b.txt\t\t/t/b.txt\n"
                                 "2\t/t/b.txt\t\tneedle b\n");
        }
    }
}

TEST(RunSearch, PrintsTheFirstHitBeforeTheRunGoesOn) {
    TempTree t;
    t.write("a.txt", "needle one\n");
    t.write("b.txt", "needle two\n");
    CliOptions cli;
    cli.strings = {"needle"};
    cli.replacements = {""};
    cli.hasReplacement = {false};
    cli.folders = {t.root()};
    ReaderView view;
    std::ostream out(&view);
    std::ostringstream err;
    EXPECT_EQ(runSearch(cli, out, err), 0);
    ASSERT_FALSE(view.flushes.empty());
    EXPECT_EQ(view.flushes.front(), t.path("a.txt") + ":1:1:needle one\n");
    EXPECT_THAT(view.delivered, HasSubstr(t.path("b.txt") + ":1:1:needle two\n"));
    EXPECT_THAT(view.delivered, Not(HasSubstr("\33[")));
}

TEST(DateTimeValue, TheWholeValueIsTheDateAndTimeText) {
    struct Case {
        const char* value;
        const char* date;
        const char* time;
    } cases[] = {
        {"07 DEC 26", "07 DEC 26", "00:00:00"},
        {"2026-12-07", "2026-12-07", "00:00:00"},
        {"2026-12-07 09:30", "2026-12-07", "09:30"},
        {"07-Dec-26\t10:00", "07-Dec-26", "10:00"},
        {" 07 Dec 2026 \t 10:00:05 ", "07 Dec 2026", "10:00:05"},
        {"7/12/26 9pm", "7/12/26", "9pm"},
        {"7/12/26 1:05 pm", "7/12/26", "1:05 pm"},
        {"07:12:26", "07:12:26", "00:00:00"}, // the first word is always the date
    };
    for (const Case& c : cases) {
        const DateTimeTexts t = splitDateTime(c.value, "00:00:00");
        EXPECT_EQ(t.date, c.date) << c.value;
        EXPECT_EQ(t.time, c.time) << c.value;
    }
}
