#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/wait.h>

#include "app/cli_options.h"
#include "tests/support/temp_tree.h"

using namespace vesk::cli;
using ::testing::HasSubstr;
using ::testing::Not;
using vesk::test::TempTree;

namespace {

struct Result {
    int status = -1;
    std::string out;
};

std::string cliPath() {
    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    return std::string(dir ? dir : ".") + "/vesk-cli";
}

// Runs a shell command line; what it writes to its standard output is the result's text.
Result runShell(const std::string& cmd) {
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Runs the real vesk-cli with the arguments (shell-quoted by the caller); stderr joins stdout.
Result runCli(const std::string& args) {
    return runShell(cliPath() + " " + args + " 2>&1");
}

} // namespace

TEST(CliArguments, StringsMasksFoldersAndReplacements) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(parseArguments(
        {"-s", "a", "-R", "b", "--string=c", "-m", "*.c", "-w", "-c", "dir1", "dir2"}, o, error));
    EXPECT_EQ(o.strings, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(o.replacements[0], "b");
    EXPECT_FALSE(o.hasReplacement[1]);
    EXPECT_EQ(o.folders, (std::vector<std::string>{"dir1", "dir2"}));
    EXPECT_TRUE(o.search.WholeWordsOnly);
    EXPECT_FALSE(o.search.CaseInsensitive);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"dir"},
                                                {"-s"},
                                                {"-R", "x", "-s", "a"},
                                                {"-s", "a", "--bogus"},
                                                {"-s", "a", "-f", "xml"}}) {
        CliOptions o2;
        EXPECT_FALSE(parseArguments(bad, o2, error)) << bad.front();
        EXPECT_FALSE(error.empty());
    }
}

TEST(CliRun, GrepAndRowsFormatsAndExitStatus) {
    TempTree t;
    t.write("a.txt", "alpha\nbeta\n");
    t.write("sub/b.c", "int beta;\n");
    const Result grep = runCli("-r -s BETA " + t.root());
    EXPECT_EQ(grep.status, 0);
    EXPECT_THAT(grep.out, HasSubstr(t.path("a.txt") + ":2:1:beta\n"));
    EXPECT_THAT(grep.out, HasSubstr(t.path("sub/b.c") + ":1:5:int beta;\n"));
    EXPECT_THAT(grep.out, HasSubstr("Matched Lines=2 of 3 - Files=2 of 2"));

    const Result rows = runCli("-s alpha -f rows " + t.root());
    EXPECT_THAT(rows.out, HasSubstr("1\t" + t.path("a.txt") + "\t1\talpha\n"));
    EXPECT_THAT(rows.out, HasSubstr("\t\t\t_________________________________\n"));

    EXPECT_EQ(runCli("-s nowhere " + t.root()).status, 1);
}

TEST(CliRun, InvalidMaskAndMissingStringExitWithTwo) {
    TempTree t;
    t.write("a.txt", "x\n");
    const Result bad = runCli("-s x -m '[abc' " + t.root());
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.out, HasSubstr("'[abc' is an invalid mask at (5)"));
    EXPECT_EQ(runCli(t.root()).status, 2);
}

TEST(CliRun, RegularExpressionsSearchAndAnInvalidOneExitsWithTwo) {
    TempTree t;
    const std::string a = t.write("a.txt", "pm_runtime_resume\npm_xresume(\nresume\n");
    const Result ok = runCli("-E -s 'pm_[a-z]*resume' " + t.root());
    EXPECT_EQ(ok.status, 0) << ok.out;
    EXPECT_THAT(ok.out, HasSubstr(a + ":2:1:pm_xresume(\n"));
    EXPECT_THAT(ok.out, ::testing::Not(HasSubstr(":1:1:")));
    const Result bad = runCli("--regex -s 'pm_[a-z' " + t.root());
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.out, HasSubstr("'pm_[a-z' is an invalid regular expression at (8): missing "
                                   "terminating ] for character class"));
}

TEST(CliRun, SeveralStringsSearchAsMultipleStrings) {
    TempTree t;
    t.write("a.txt", "one\ntwo\nthree\n");
    const Result r = runCli("-s two -s three -m '*.txt' -m '*.c' " + t.root());
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr(":2:1:two"));
    EXPECT_THAT(r.out, HasSubstr(":3:1:three"));
}

TEST(CliRun, DateRangeSelectsByModificationTime) {
    TempTree t;
    t.write("old.txt", "hit\n");
    t.write("new.txt", "hit\n");
    t.setMtime("old.txt", 1588672800); // 2020-05-05 10:00:00 UTC
    t.setMtime("new.txt", 1704196800); // 2024-01-02 12:00:00 UTC
    const Result r = runCli("-s hit --from 2023-01-01 " + t.root());
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr("new.txt:1:1:hit"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("old.txt")));
    EXPECT_EQ(runCli("-s hit --to 2019-12-31 " + t.root()).status, 1);

    const Result bad = runCli("-s hit --from 31-Feb-2020 " + t.root());
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.out, HasSubstr("31-Feb-2020"));
    EXPECT_THAT(bad.out, ::testing::Not(HasSubstr("hit")));
}

TEST(CliArguments, GetoptForms) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(parseArguments(
        {"dir1", "-rw", "-sone", "-Rtwo", "--string", "three", "-R", "", "-m*.c", "--", "-dir2"}, o,
        error))
        << error;
    EXPECT_TRUE(o.search.SubFolders);
    EXPECT_TRUE(o.search.WholeWordsOnly);
    EXPECT_EQ(o.strings, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(o.replacements, (std::vector<std::string>{"two", ""}));
    EXPECT_EQ(o.hasReplacement, (std::vector<bool>{true, true}));
    EXPECT_EQ(o.masks, (std::vector<std::string>{"*.c"}));
    EXPECT_EQ(o.folders, (std::vector<std::string>{"dir1", "-dir2"}));

    CliOptions v;
    ASSERT_TRUE(parseArguments({"--version"}, v, error));
    EXPECT_TRUE(v.version);

    CliOptions c;
    ASSERT_TRUE(parseArguments({"-s", "x", "--color"}, c, error));
    EXPECT_EQ(c.color, ColorMode::Auto);
    ASSERT_TRUE(parseArguments({"-s", "x", "--color=never", "-E"}, c, error));
    EXPECT_EQ(c.color, ColorMode::Never);
    EXPECT_TRUE(c.search.RegularExpressions);
    ASSERT_TRUE(parseArguments({"-s", "x", "--colour=always"}, c, error));
    EXPECT_EQ(c.color, ColorMode::Always);

    // A second parse starts afresh, whatever the first left behind.
    for (int i = 0; i < 2; ++i) {
        CliOptions again;
        ASSERT_TRUE(parseArguments({"-ca", "-s", "y"}, again, error));
        EXPECT_FALSE(again.search.CaseInsensitive);
        EXPECT_TRUE(again.search.GoogleFind);
    }

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"-s", "x", "-rz"}, "unknown option -z"},
        {{"-s", "x", "--bogus"}, "unknown option --bogus"},
        {{"-s", "x", "--yes=1"}, "--yes"},
        {{"-s"}, "option -s needs a value"},
        {{"-s", "x", "--format"}, "option --format needs a value"},
        {{"-s", "x", "--color=sometimes"}, "sometimes"},
        {{"-s", "a", "-R", "b", "-R", "c"}, "--replace must follow the --string it replaces"},
    };
    for (const auto& [args, message] : bad) {
        CliOptions b;
        EXPECT_FALSE(parseArguments(args, b, error)) << args.back();
        EXPECT_THAT(error, HasSubstr(message));
    }
}

TEST(CliRun, VersionAndHelp) {
    const Result v = runCli("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_THAT(v.out, ::testing::MatchesRegex("vesk-cli [0-9.]+\n"));
    const Result h = runCli("--help");
    EXPECT_EQ(h.status, 0);
    EXPECT_THAT(h.out, HasSubstr("--color"));
}

TEST(CliRun, AFolderThatIsNoFolderIsAnErrorAndNeverTheCurrentFolder) {
    TempTree t;
    t.write("cwd/here.txt", "needle\n");
    t.write("good/a.txt", "needle\n");
    t.write("file.txt", "needle\n");
    for (const char* scan : {"", "--simple-scan "}) {
        for (const std::string& folder : {t.path("missing"), t.path("file.txt")}) {
            const Result r = runShell("cd " + t.path("cwd") + " && " + cliPath() + " -s needle " +
                                      scan + folder + " 2>&1");
            EXPECT_EQ(r.status, 2) << scan << folder;
            EXPECT_THAT(r.out, HasSubstr("vesk-cli: " + folder + ": ")) << r.out;
            EXPECT_THAT(r.out, Not(HasSubstr("here.txt"))) << r.out;
        }
    }
    // The folders that exist are still searched; the status tells about the others.
    const Result some = runCli("-s needle " + t.path("good") + " " + t.path("missing"));
    EXPECT_EQ(some.status, 2);
    EXPECT_THAT(some.out, HasSubstr(t.path("good/a.txt") + ":1:1:needle"));
    EXPECT_THAT(some.out, HasSubstr(t.path("missing") + ": no such folder"));
}

TEST(CliRun, SeveralMasksAndStringsShowAsTheWindowsBoxes) {
    TempTree t;
    t.write("x.map", "hit\n");
    t.write("y.txt", "hit\n");
    // The mask box reads "*.txt,*.MAP", which names ".map": map files are not omitted.
    const Result masks = runCli("-s hit -m '*.txt' -m '*.MAP' -f rows " + t.root());
    EXPECT_EQ(masks.status, 0);
    EXPECT_THAT(masks.out, HasSubstr("1\t" + t.path("x.map") + "\t1\thit\n"));
    EXPECT_THAT(masks.out, HasSubstr("Filespec=*.txt,*.MAP"));

    const Result strings = runCli("--simple-scan -s hit -s miss -f rows " + t.root());
    EXPECT_THAT(strings.out, HasSubstr("Filespec=*.*  String=hit,miss\n"));
}

TEST(CliRun, OutputThatCannotBeWrittenIsAnError) {
    TempTree t;
    t.write("a.txt", "needle\n");
    const Result full = runShell(cliPath() + " -s needle " + t.root() + " 2>&1 >/dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_THAT(full.out, HasSubstr("vesk-cli: write error: No space left on device"));

    // A reader that went away ends the run without a message, also where SIGPIPE is ignored.
    std::string many;
    for (int i = 0; i < 200000; ++i)
        many += "needle\n";
    t.write("b.txt", many);
    t.write("c.txt", many);
    const Result closed = runShell("trap '' PIPE; " + cliPath() + " -s needle " + t.root() + " 2>" +
                                   t.path("err") + " | head -c 1 >/dev/null; cat " + t.path("err"));
    EXPECT_THAT(closed.out, Not(HasSubstr("write error"))) << closed.out;
}

TEST(CliRun, ColorsOnlyWhenAskedOrOnATerminal) {
    TempTree t;
    t.write("a.txt", "one NEEDLE\n");
    EXPECT_THAT(runCli("-s needle " + t.root()).out, Not(HasSubstr("\33[")));
    EXPECT_THAT(runCli("-s needle --color=always " + t.root()).out,
                HasSubstr("one \33[01;31m\33[KNEEDLE\33[m\33[K\n"));
}

namespace {
long long localSeconds(int y, int m, int d, int h) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&tm));
}
} // namespace

TEST(CliRun, FromAndToTakeTheirWholeValue) {
    TempTree t;
    t.write("old.txt", "hit\n");
    t.write("dec.txt", "hit\n");
    t.setMtime("old.txt", localSeconds(2020, 5, 5, 10));
    t.setMtime("dec.txt", localSeconds(2026, 12, 7, 12));
    const Result day = runCli("-s hit --from '07 DEC 26' --to '07 DEC 26' " + t.root());
    EXPECT_EQ(day.status, 0) << day.out;
    EXPECT_THAT(day.out, HasSubstr("dec.txt:1:1:hit"));
    EXPECT_THAT(day.out, Not(HasSubstr("old.txt:")));

    // A TAB between date and time separates them like a blank: the year stays 2026.
    const Result tab = runCli("-s hit --from \"$(printf '07-Dec-26\\t00:00')\" " + t.root());
    EXPECT_THAT(tab.out, HasSubstr("dec.txt:1:1:hit"));
    EXPECT_THAT(tab.out, Not(HasSubstr("old.txt:")));

    const Result longYear = runCli("-s hit --to 01-01-1000000000 " + t.root());
    EXPECT_EQ(longYear.status, 2);
    EXPECT_THAT(longYear.out, Not(HasSubstr(":1:1:hit")));
}
