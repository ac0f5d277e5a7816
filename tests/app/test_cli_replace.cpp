// vesk-cli --replace, run as a user runs it: a dry run leaves every byte alone; --yes changes the
// matched lines only and leaves a backup, an archive entry and a change-log entry per file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/wait.h>

#include "tests/support/temp_tree.h"

using ::testing::HasSubstr;
using ::testing::Not;
using vesk::test::readFile;
using vesk::test::TempTree;

namespace {

struct Result {
    int status = -1;
    std::string out;
};

// Runs the real vesk-cli with VESK_HOME set (the archive goes there); stderr joins stdout.
Result runCli(const std::string& home, const std::string& args) {
    const char* dir = std::getenv("VESK_TEST_BIN_DIR");
    const std::string cmd =
        "VESK_HOME='" + home + "' " + std::string(dir ? dir : ".") + "/vesk-cli " + args + " 2>&1";
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

// Every file under `root` with its bytes and modification time.
std::map<std::string, std::string> treeBytes(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const auto stamp = e.last_write_time().time_since_epoch().count();
        files[e.path().string()] = std::to_string(stamp) + "|" + readFile(e.path().string());
    }
    return files;
}

class CliReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.write("tree/a.txt", "cat\ndog\ncatalog\n");
        t.write("tree/sub/b.c", "int cat;\r\nint dog;\r\n");
        t.write("tree/c.txt", "nothing here\n");
        t.mkdir("home");
    }
    std::string tree() const { return t.path("tree"); }
    std::string home() const { return t.path("home"); }
    TempTree t;
};

} // namespace

TEST_F(CliReplaceTest, ADryRunPrintsTheChangesAndWritesNothing) {
    const auto before = treeBytes(t.root());
    const Result r = runCli(home(), "-r -w -s cat -R lion " + tree());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(
        r.out, HasSubstr(t.path("tree/a.txt") + ":1:-cat\n" + t.path("tree/a.txt") + ":1:+lion\n"));
    EXPECT_THAT(r.out, HasSubstr(t.path("tree/sub/b.c") + ":1:+int lion;\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("catalog"))); // whole words only
    EXPECT_THAT(r.out, HasSubstr("Dry run: 2 line(s) in 2 file(s) would change"));
    EXPECT_EQ(treeBytes(t.root()), before);
}

TEST_F(CliReplaceTest, YesSavesTheMatchedLinesWithBackupArchiveAndLog) {
    const Result r = runCli(home(), "-r -w -s cat -R lion -s dog -R wolf --yes " + tree());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(readFile(t.path("tree/a.txt")), "lion\nwolf\ncatalog\n");
    EXPECT_EQ(readFile(t.path("tree/sub/b.c")), "int lion;\r\nint wolf;\r\n");
    EXPECT_EQ(readFile(t.path("tree/c.txt")), "nothing here\n");

    // Each saved file has one backup holding its old content, named in the output.
    std::map<std::string, std::string> backups;
    for (const auto& e : std::filesystem::recursive_directory_iterator(tree())) {
        const std::string name = e.path().filename().string();
        if (name.find("-VeskSearchReplace-") != std::string::npos)
            backups[e.path().string()] = readFile(e.path().string());
    }
    ASSERT_EQ(backups.size(), 2u);
    for (const auto& [path, bytes] : backups) {
        EXPECT_THAT(r.out, HasSubstr("Backup file=" + path + "\n"));
        EXPECT_TRUE(bytes == "cat\ndog\ncatalog\n" || bytes == "int cat;\r\nint dog;\r\n") << path;
    }

    const std::string archive = readFile(t.path("home/VeskSearchReplaceArchive.jarc"));
    EXPECT_EQ(archive.rfind("-<<<< Vesk Archive >>>>-\r\n", 0), 0u);
    EXPECT_THAT(archive, HasSubstr(" ~ " + t.path("tree/a.txt") + " ~ Changes=2 ~ "));
    EXPECT_THAT(archive, HasSubstr(" ~ " + t.path("tree/sub/b.c") + " ~ Changes=2 ~ "));

    const std::string log = readFile(t.path("tree/Vesk-SearchReplace.log"));
    EXPECT_THAT(log,
                HasSubstr(" Search/Replace " + t.path("tree/a.txt") + "\r\n0:cat\r\n0:lion\r\n"));
    EXPECT_THAT(log, HasSubstr("1:int dog;\r\n1:int wolf;\r\n"));

    // A second run still finds the strings in the change log, but never rewrites the log, the
    // backups or the archive.
    const auto after = treeBytes(t.root());
    const Result again = runCli(home(), "-r -w -s cat -R lion -s dog -R wolf --yes " + tree());
    EXPECT_THAT(again.out, Not(HasSubstr("Backup file="))) << again.out;
    EXPECT_EQ(treeBytes(t.root()), after);
}

TEST_F(CliReplaceTest, ARegexDryRunShowsTheLinesAsTheyWouldBecome) {
    const auto before = treeBytes(t.root());
    const Result r = runCli(home(), "-r -E -s '(c)at(alog)?' -R '$1<$2>$$' " + tree());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(r.out, HasSubstr(t.path("tree/a.txt") + ":1:+c<>$\n"));
    EXPECT_THAT(r.out, HasSubstr(t.path("tree/a.txt") + ":3:+c<alog>$\n"));
    EXPECT_THAT(r.out, HasSubstr(t.path("tree/sub/b.c") + ":1:+int c<>$;\n"));
    EXPECT_THAT(r.out, HasSubstr("Dry run: 3 line(s) in 2 file(s) would change"));
    EXPECT_EQ(treeBytes(t.root()), before);
}

TEST_F(CliReplaceTest, BadReplaceArgumentsChangeNothing) {
    const auto before = treeBytes(t.root());
    for (const std::string args : {"-s cat -R lion -s dog --yes ", "-a -s 'cat dog' -R x --yes "}) {
        const Result r = runCli(home(), args + tree());
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_THAT(r.out, HasSubstr("vesk-cli: ")) << args;
    }
    EXPECT_EQ(treeBytes(t.root()), before);
}

TEST_F(CliReplaceTest, ASaveRefusedIsAnError) {
    // A NUL byte makes the review refuse the file; the other file is saved.
    t.write("tree/nul.txt", std::string("cat\nx\0y\n", 8));
    const auto before = readFile(t.path("tree/nul.txt"));
    const Result r = runCli(home(), "-w -s cat -R lion --yes " + tree());
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_THAT(r.out, HasSubstr("NUL"));
    EXPECT_EQ(readFile(t.path("tree/nul.txt")), before);
    EXPECT_EQ(readFile(t.path("tree/a.txt")), "lion\ndog\ncatalog\n");

    // Every save refused: still an error, not "no match".
    const Result only = runCli(home(), "-w -s cat -R lion --yes -m nul.txt " + tree());
    EXPECT_EQ(only.status, 2) << only.out;
}
