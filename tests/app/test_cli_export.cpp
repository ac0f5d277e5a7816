#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <sys/wait.h>

#include "app/cli_export.h"
#include "app/cli_host.h"
#include "app/cli_options.h"
#include "lib/channels.h"
#include "lib/commands.h"
#include "lib/datetime.h"
#include "results/text_listing.h"
#include "results/text_output.h"
#include "search/search_run.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using namespace vesk::cli;
using ::testing::StartsWith;
using vesk::test::TempTree;

namespace {

// The standard output of the real vesk-cli run with the arguments (shell-quoted by the caller).
std::string cliOutput(const std::string& args) {
    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    const std::string cmd = std::string(dir ? dir : ".") + "/vesk-cli " + args + " 2>/dev/null";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

// The same search in this process, as the window would hold it after the run.
struct InProcessRun {
    std::ostringstream err;
    StringSlots slots;
    SearchOptions options;
    std::unique_ptr<CliHost> host;
    std::unique_ptr<SearchRun> run;

    explicit InProcessRun(const std::vector<std::string>& args) {
        CliOptions cli;
        std::string error;
        EXPECT_TRUE(parseArguments(args, cli, error)) << error;
        options = searchOptionsFor(cli, slots);
        host = std::make_unique<CliHost>(options, err);
        run = std::make_unique<SearchRun>(*host, slots);
        EXPECT_EQ(run->DoSearch(), RunResult::Done);
    }
};

DateValue parseIsoDateTime(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s), 6) << text;
    return encodeDate(y, mo, d) + encodeTime(h, mi, s);
}

// The run's start time and its folder scan time are part of the rows; two runs need not agree on
// them.
std::string withoutStartTime(const std::string& text) {
    const std::string noStart =
        std::regex_replace(text, std::regex("starts [0-9:]{8}"), "starts T");
    return std::regex_replace(noStart, std::regex("scan time=[0-9.]+s"), "scan time=T");
}

} // namespace

TEST(CliExport, CsvIsTheBytesTheWindowWrites) {
    TempTree t;
    t.write("a.txt", "alpha \"one\", two\tthree\nbeta\nalpha\n");
    t.write("b.txt", "no match\n");
    const std::string csv = cliOutput("-s alpha -f csv " + t.root());
    ASSERT_THAT(csv, StartsWith("sep=\t\r\nDate\tText\tFilename"));
    const std::size_t dataLine = csv.find("\r\n", csv.find("\r\n") + 2) + 2;
    const DateValue exportedAt = parseIsoDateTime(csv.substr(dataLine, 19));

    InProcessRun same({"-s", "alpha", t.root()});
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock(exportedAt);
    ChannelTable channels(dialogs);
    const CommandContext cx(shell, dialogs, channels, clock);
    TextOutput window(cx, {t.mkdir("out"), "Ostrel.INI"});
    ASSERT_TRUE(
        window.Prepare(reportSourceFor(same.options, same.run->state(), same.host->status())));
    ASSERT_TRUE(window.GridToTab(same.host->grid(), {true, true}));
    EXPECT_EQ(csv, test::readFile(window.TabFileName({true, true})));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4); // sep, header, two matches
}

TEST(CliExport, ListingAndTabDelimited) {
    TempTree t;
    t.write("a.txt", "x\n" + std::string(11, '\n') + "needle\n");
    const std::string listing = cliOutput("-s needle -f listing " + t.root());
    EXPECT_THAT(listing, StartsWith("Vesk results for: Search Strings: (simple)\r\nneedle\r\n"
                                    "Folder: Folders Searched:\r\n\r\n"
                                    "Number Folders: \r\nFilespec: *.*\r\n\r\n"
                                    "Matched Lines=1 of 13 - Files=1 of 1 - time="));
    InProcessRun same({"-s", "needle", t.root()});
    StringGrid& grid = same.host->grid();
    const int widths[] = {44, 744, 0, 0};
    for (int c = 0; c < 4; ++c)
        grid.setColWidth(c, widths[c]);
    const std::string rows = gridListingText(grid, "").substr(4);
    EXPECT_THAT(rows, ::testing::HasSubstr("\r\n13 needle\r\n"));
    EXPECT_TRUE(withoutStartTime(listing).ends_with(withoutStartTime(rows))) << listing;

    const std::string tsv = cliOutput("-s needle -f tsv " + t.root());
    EXPECT_THAT(tsv, StartsWith("Date\tText\tFilename\tDateTime\tSize\tLine No.\tLine\r\n"));
    EXPECT_TRUE(tsv.ends_with("\tneedle\t" + t.path("a.txt") + "\t" +
                              xcFileDateText(t.path("a.txt")) + "\t20\t13\tneedle\r\n"))
        << tsv;
}
