#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "app/cli_options.h"
#include "tests/support/temp_tree.h"

using namespace vesk::cli;
using ::testing::HasSubstr;
using vesk::test::TempTree;

namespace {

struct Result {
    int status = -1;
    std::string out;
};

// Runs the real vesk-cli with the arguments (shell-quoted by the caller); stderr joins stdout.
Result runCli(const std::string& args) {
    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    const std::string cmd = std::string(dir ? dir : ".") + "/vesk-cli " + args + " 2>&1";
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

} // namespace

TEST(CliArguments, StringsMasksFoldersAndReplacements) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(parseArguments({"-s", "a", "-R", "b", "--string=c", "-m", "*.c", "-w", "-c", "dir1", "dir2"}, o, error));
    EXPECT_EQ(o.strings, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(o.replacements[0], "b");
    EXPECT_FALSE(o.hasReplacement[1]);
    EXPECT_EQ(o.folders, (std::vector<std::string>{"dir1", "dir2"}));
    EXPECT_TRUE(o.search.WholeWordsOnly);
    EXPECT_FALSE(o.search.CaseInsensitive);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"dir"}, {"-s"}, {"-R", "x", "-s", "a"}, {"-s", "a", "--bogus"},
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
