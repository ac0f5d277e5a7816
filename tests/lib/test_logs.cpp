// The run log, named logs and xcAppendLogLine; the program folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/datetime.h"
#include "lib/logs.h"
#include "lib/program_folder.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::readFile;
using test::ScriptedDialogs;
using test::TempTree;

DateValue at(int y, int m, int d, int h, int n, int s) {
    return encodeDate(y, m, d) + encodeTime(h, n, s);
}

class LogsTest : public ::testing::Test {
protected:
    LogsTest() {
        channels.programFolderOverride = tree.root();
        channels.executableNameOverride = "vesk.exe";
    }
    TempTree tree;
    ScriptedDialogs dialogs;
    ChannelTable channels{dialogs};
    FakeClock clock{at(2026, 12, 7, 9, 5, 0)};
};

TEST_F(LogsTest, RunLogLineFormat) {
    xcRunLog(channels, clock, "Printed report /tmp/x.txt");
    EXPECT_EQ(tree.read("Ostrelrun.log"), "07-Dec-26 09:05:00 vesk Printed report /tmp/x.txt\r\n");
    EXPECT_EQ(runLogPath(channels), tree.root() + "Ostrelrun.log");
    EXPECT_FALSE(channels.isOpen(kLogChannel));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogsTest, RunLogIsRestartedEachDay) {
    xcRunLog(channels, clock, "one");
    clock.set(at(2026, 12, 7, 23, 59, 59));
    xcRunLog(channels, clock, "two");
    EXPECT_EQ(tree.read("Ostrelrun.log"),
              "07-Dec-26 09:05:00 vesk one\r\n07-Dec-26 23:59:59 vesk two\r\n");
    clock.set(at(2026, 12, 8, 0, 0, 1));
    xcRunLog(channels, clock, "three");
    EXPECT_EQ(tree.read("Ostrelrun.log"), "08-Dec-26 00:00:01 vesk three\r\n");
    clock.set(at(2026, 12, 8, 7, 0, 0));
    xcRunLog(channels, clock, "four");
    EXPECT_EQ(tree.read("Ostrelrun.log"),
              "08-Dec-26 00:00:01 vesk three\r\n08-Dec-26 07:00:00 vesk four\r\n");
}

TEST_F(LogsTest, RunLogOfAnotherDayOrForeignContentIsEmptied) {
    tree.write("Ostrelrun.log", "06-Dec-26 10:00:00 vesk old\r\n");
    xcRunLog(channels, clock, "new");
    EXPECT_EQ(tree.read("Ostrelrun.log"), "07-Dec-26 09:05:00 vesk new\r\n");
    tree.write("Ostrelrun.log", "garbage without line end");
    xcRunLog(channels, clock, "new");
    EXPECT_EQ(tree.read("Ostrelrun.log"), "07-Dec-26 09:05:00 vesk new\r\n");
    // The same day in an LF-only file still counts as today.
    tree.write("Ostrelrun.log", "07-Dec-26 08:00:00 vesk lf\n");
    xcRunLog(channels, clock, "new");
    EXPECT_EQ(tree.read("Ostrelrun.log"),
              "07-Dec-26 08:00:00 vesk lf\n07-Dec-26 09:05:00 vesk new\r\n");
}

TEST_F(LogsTest, LongRunLogMessagesAreWrittenWhole) {
    const std::string msg(6000, 'm');
    xcRunLog(channels, clock, msg);
    xcRunLog(channels, clock, std::string(9000, 'n'));
    const std::string expected = "07-Dec-26 09:05:00 vesk " + msg + "\r\n" +
                                 "07-Dec-26 09:05:00 vesk " + std::string(9000, 'n') + "\r\n";
    EXPECT_EQ(tree.read("Ostrelrun.log"), expected);
}

TEST_F(LogsTest, LogFolderSettingIsUsedWhenItExists) {
    const std::string other = tree.mkdir("logs");
    channels.logFolder = tree.path("logs"); // without the trailing "/"
    EXPECT_EQ(logFolder(channels), other);
    xcRunLog(channels, clock, "here");
    EXPECT_EQ(readFile(other + "Ostrelrun.log"), "07-Dec-26 09:05:00 vesk here\r\n");
    channels.logFolder = tree.path("missing");
    EXPECT_EQ(logFolder(channels), tree.root());
}

TEST_F(LogsTest, ExecutableNameWithoutExtension) {
    EXPECT_EQ(nameWithoutExtension("vesk.exe"), "vesk");
    EXPECT_EQ(nameWithoutExtension("vesk"), "vesk");
    EXPECT_EQ(nameWithoutExtension("vesk-cli"), "vesk-cli");
    EXPECT_EQ(nameWithoutExtension("a.exe"), "a");
    EXPECT_EQ(nameWithoutExtension(".exe"), ".exe"); // not longer than 4
    EXPECT_EQ(nameWithoutExtension("name.ab"), "name.ab");
    channels.executableNameOverride.clear();
    EXPECT_EQ(logExecutableName(channels), "test_logs");
}

TEST_F(LogsTest, NamedLogWithABlankNameUsesTheExecutableName) {
    xcNamedLog(channels, clock, "  ", kLogPerDay, "hello");
    EXPECT_EQ(tree.read("vesk.Log"), "07-Dec-26 09:05:00 vesk hello\r\n");
    channels.executableNameOverride = "vesk";
    EXPECT_EQ(namedLogPath(channels, ""), tree.root() + "vesk.Log");
}

TEST_F(LogsTest, NamedLogInAnExistingFolderIsUsedUnchanged) {
    TempTree elsewhere;
    const std::string full = elsewhere.path("mine.log");
    EXPECT_EQ(namedLogPath(channels, full), full);
    EXPECT_EQ(namedLogPath(channels, "sub/mine.log"), tree.root() + "sub/mine.log");
    EXPECT_EQ(namedLogPath(channels, "mine.log"), tree.root() + "mine.log");
    xcNamedLog(channels, clock, full, kLogPerDay, "x");
    EXPECT_EQ(readFile(full), "07-Dec-26 09:05:00 vesk x\r\n");
}

struct PeriodCase {
    int period;
    DateValue sameSpan; // a later time within the same period
    DateValue nextSpan; // a later time in the next period
};

class NamedLogPeriods : public LogsTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(NamedLogPeriods, AppendWithinThePeriodRestartAfter) {
    const PeriodCase c = GetParam();
    clock.set(at(2026, 3, 14, 15, 9, 26));
    xcNamedLog(channels, clock, "p.log", c.period, "first");
    clock.set(c.sameSpan);
    xcNamedLog(channels, clock, "p.log", c.period, "second");
    const std::string a = "14-Mar-26 15:09:26 vesk first\r\n";
    const std::string b = formatDate(c.sameSpan, "dd-mmm-yy hh:nn:ss") + " vesk second\r\n";
    EXPECT_EQ(tree.read("p.log"), a + b);
    clock.set(c.nextSpan);
    xcNamedLog(channels, clock, "p.log", c.period, "third");
    EXPECT_EQ(tree.read("p.log"), formatDate(c.nextSpan, "dd-mmm-yy hh:nn:ss") + " vesk third\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Periods, NamedLogPeriods,
    ::testing::Values(
        PeriodCase{kLogPerDay, at(2026, 3, 14, 23, 0, 0), at(2026, 3, 15, 0, 0, 0)},
        PeriodCase{kLogPerMonth, at(2026, 3, 31, 1, 0, 0), at(2026, 4, 1, 0, 0, 0)},
        PeriodCase{kLogPerYear, at(2026, 12, 31, 0, 0, 0), at(2027, 1, 1, 0, 0, 0)},
        PeriodCase{kLogPerHour, at(2026, 3, 14, 15, 59, 59), at(2026, 3, 14, 16, 0, 0)},
        PeriodCase{kLogPerMinute, at(2026, 3, 14, 15, 9, 59), at(2026, 3, 14, 15, 10, 0)}));

TEST_F(LogsTest, NamedLogWithAnUnknownPeriodRestartsEveryTime) {
    for (int period : {0, 6, -1}) {
        xcNamedLog(channels, clock, "u.log", period, "a");
        xcNamedLog(channels, clock, "u.log", period, "b");
        EXPECT_EQ(tree.read("u.log"), "07-Dec-26 09:05:00 vesk b\r\n") << period;
    }
}

TEST(SamePeriod, ComparesTheNamedCharacters) {
    const std::string_view line = "14-Mar-26 15:09:26 vesk x";
    EXPECT_TRUE(samePeriod(kLogPerDay, line, "14-Mar-26 00:00:00"));
    EXPECT_FALSE(samePeriod(kLogPerDay, line, "15-Mar-26 15:09:26"));
    EXPECT_TRUE(samePeriod(kLogPerMonth, line, "01-Mar-26"));
    EXPECT_FALSE(samePeriod(kLogPerMonth, line, "14-Mar-27"));
    EXPECT_TRUE(samePeriod(kLogPerYear, line, "01-Jan-26"));
    EXPECT_TRUE(samePeriod(kLogPerHour, line, "14-Mar-26 15:59"));
    EXPECT_FALSE(samePeriod(kLogPerHour, line, "14-Mar-26 16:09:26"));
    EXPECT_TRUE(samePeriod(kLogPerMinute, line, "14-Mar-26 15:09:00"));
    EXPECT_FALSE(samePeriod(kLogPerMinute, line, "14-Mar-26 15:10:26"));
    EXPECT_FALSE(samePeriod(kLogPerDay, line, ""));
    EXPECT_FALSE(samePeriod(7, line, line));
}

TEST_F(LogsTest, ReadFirstLine) {
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("missing.txt")), "");
    tree.write("empty.txt", "");
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("empty.txt")), "");
    tree.write("crlf.txt", "first\r\nsecond\r\n");
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("crlf.txt")), "first");
    tree.write("lf.txt", "first\nsecond\r\n");
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("lf.txt")), "first");
    tree.write("cr.txt", "first\rsecond");
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("cr.txt")), "first");
    tree.mkdir("folder");
    EXPECT_EQ(xcReadFirstLine(channels, tree.path("folder")), "");
    EXPECT_FALSE(channels.isOpen(kLogChannel));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogsTest, AppendLogLineModes) {
    const std::string f = tree.path("a.log");
    xcAppendLogLine("A", f, "one"); // missing: created
    xcAppendLogLine("a", f, "two\r\n");
    EXPECT_EQ(readFile(f), "one\r\ntwo\r\n");
    xcAppendLogLine("O", f, "three");
    EXPECT_EQ(readFile(f), "three\r\n");
    xcAppendLogLine("o", f, "");
    EXPECT_EQ(readFile(f), "\r\n");
    tree.write("e.log", "");
    xcAppendLogLine("A", tree.path("e.log"), "into empty");
    EXPECT_EQ(tree.read("e.log"), "into empty\r\n");
}

TEST_F(LogsTest, AppendLogLineLengths) {
    const std::string f = tree.path("len.log");
    xcAppendLogLine("O", f, std::string(5000, 'a')); // not more than 5000: the channel rule
    EXPECT_EQ(readFile(f), std::string(5000, 'a') + "\r\n");
    xcAppendLogLine("O", f, std::string(5001, 'b')); // written whole
    EXPECT_EQ(readFile(f), std::string(5001, 'b') + "\r\n");
    xcAppendLogLine("O", f, std::string(9000, 'c'));
    EXPECT_EQ(readFile(f), std::string(9000, 'c') + "\r\n");
}

// Sets (or, with nullopt, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// The settings and state folders ----------------------------------------------------------------

TEST(ProgramFolders, VeskHomeWinsWhenItIsAFolder) {
    TempTree tree;
    const std::string noSlash = tree.root().substr(0, tree.root().size() - 1);
    EXPECT_EQ(xdgFolderFrom(noSlash, "/unused", "/home/x", ".config"), tree.root());
    EXPECT_EQ(xdgFolderFrom(tree.root(), std::nullopt, "/home/x", ".local/state"), tree.root());
    // A VESK_HOME that is no folder is passed over.
    const std::string xdg = tree.path("xdg");
    EXPECT_EQ(xdgFolderFrom(tree.path("missing"), xdg, "/unused", ".config"), xdg + "/vesk/");
}

TEST(ProgramFolders, TheXdgFolderOrItsDefaultUnderHomeCreatedPrivate) {
    TempTree tree;
    const std::string xdg = tree.path("deep/xdg");
    EXPECT_EQ(xdgFolderFrom(std::nullopt, xdg, "/unused", ".config"), xdg + "/vesk/");
    struct stat st {};
    ASSERT_EQ(::stat((xdg + "/vesk").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Unset, empty or relative: the default below the home folder.
    const std::string home = tree.mkdir("home");
    EXPECT_EQ(xdgFolderFrom(std::nullopt, std::nullopt, tree.path("home"), ".local/state"),
              home + ".local/state/vesk/");
    EXPECT_EQ(xdgFolderFrom(std::nullopt, "", home, ".config"), home + ".config/vesk/");
    EXPECT_EQ(xdgFolderFrom(std::nullopt, "relative/xdg", home, ".config"), home + ".config/vesk/");
    EXPECT_TRUE(std::filesystem::is_directory(home + ".local/state/vesk"));
    EXPECT_TRUE(std::filesystem::is_directory(home + ".config/vesk"));
}

// The variables as the running program reads them; the executable's folder is never chosen,
// even when it is writable (as a test's build folder is).
TEST(ProgramFolders, FromTheEnvironment) {
    TempTree tree;
    const ScopedEnv veskHome("VESK_HOME", std::nullopt);
    const ScopedEnv config("XDG_CONFIG_HOME", tree.path("config"));
    const ScopedEnv state("XDG_STATE_HOME", tree.path("state"));
    EXPECT_EQ(settingsFolder(), tree.path("config") + "/vesk/");
    EXPECT_EQ(stateFolder(), tree.path("state") + "/vesk/");
    const std::string exeFolder =
        std::filesystem::path(executablePath()).parent_path().string() + "/";
    EXPECT_NE(settingsFolder(), exeFolder);
    {
        const ScopedEnv home("VESK_HOME", tree.root());
        EXPECT_EQ(settingsFolder(), tree.root());
        EXPECT_EQ(stateFolder(), tree.root());
    }
    EXPECT_EQ(executableFileName(), "test_logs");
}

TEST(TempFolder, TmpdirElseTmp) {
    const char* saved = std::getenv("TMPDIR");
    const std::string keep = saved ? saved : "";
    ::setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(tempFolder(), "/var/tmp/");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(tempFolder(), "/tmp/");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(tempFolder(), "/tmp/");
    if (saved) ::setenv("TMPDIR", keep.c_str(), 1);
}

} // namespace
} // namespace vesk
