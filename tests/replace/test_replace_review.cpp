#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "lib/channels.h"
#include "lib/commands.h"
#include "lib/datetime.h"
#include "replace/archive.h"
#include "replace/replace_review.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::FakeClock;
using vesk::test::readFile;
using vesk::test::RecordingShell;
using vesk::test::ScriptedDialogs;
using vesk::test::TempTree;

namespace {

enum class Press { ShowDiff, Save, SaveConfirmed, DoNotSave, Abort, TitleBar };

// Presses the review window's buttons in a scripted order until the review closes the window.
class ScriptedWindow final : public ReviewWindow {
public:
    std::deque<Press> presses;
    int shown = 0;
    std::vector<std::string> gridAtShow; // "c0|c1" rows of the last showing
    std::function<void(ReplaceReview&)> onShow;

    void showReview(ReplaceReview& review) override {
        ++shown;
        gridAtShow.clear();
        const StringGrid& g = review.grdReplaceLog();
        for (int r = 0; r < g.rowCount(); ++r)
            gridAtShow.push_back(std::string(g.cell(0, r)) + "|" + std::string(g.cell(1, r)));
        if (onShow) onShow(review);
        while (review.windowOpen()) {
            if (presses.empty()) {
                review.FormClose();
                return;
            }
            const Press p = presses.front();
            presses.pop_front();
            switch (p) {
            case Press::ShowDiff:
                review.btnShowDiffClick();
                break;
            case Press::Save:
                review.btnSaveFileClick();
                break;
            case Press::SaveConfirmed:
                review.SaveFile();
                break;
            case Press::DoNotSave:
                review.btnDoNotSaveFileClick();
                break;
            case Press::Abort:
                review.btnAbortClick();
                break;
            case Press::TitleBar:
                review.FormClose();
                return;
            }
        }
    }
};

class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        clock.set(encodeDate(2026, 12, 7) + encodeTime(8, 30, 5));
        table.FindCount = 1;
        table.FindStrings[0] = "cat";
        table.ReplaceStrings[0] = "dog";
        t.write("vesk.INI", "[Settings]\r\nDifferencesViewer=/bin/true\r\n");
    }

    ReviewSetup setup() {
        ReviewSetup s;
        s.archivePath = t.path("home/VeskSearchReplaceArchive.jarc");
        s.settingsPath = t.path("vesk.INI");
        s.io = io;
        return s;
    }

    ReviewRequest request(const std::string& path, bool confirmLines = true) {
        ReviewRequest r;
        r.path = path;
        r.logFile = t.path("tree/Vesk-SearchReplace.log");
        r.confirmEachLine = confirmLines;
        return r;
    }

    ReviewResult review(const std::string& path, bool confirmLines = true,
                        std::string_view findSet = "") {
        ReplaceReview rv(commands, window, setup());
        return rv.ReviewFile(request(path, confirmLines), table, findSet);
    }

    TempTree t;
    std::string homeFolder = t.mkdir("home");
    FakeClock clock;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    ChannelTable channels{dialogs};
    CommandContext commands{shell, dialogs, channels, clock};
    ScriptedWindow window;
    StringSlots table;
    SaveIo* io = nullptr;
};

} // namespace

TEST_F(ReviewTest, LineAnswersDecideWhichLinesChange) {
    const std::string f = t.write("tree/a.txt", "cat 1\nplain\ncat 2\ncat 3\n");
    dialogs.lineAnswers = {Answer::Yes, Answer::No, Answer::Yes};
    window.presses = {Press::SaveConfirmed};
    const ReviewResult r = review(f);
    EXPECT_EQ(dialogs.questions.size(), 3u);
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(r.savedChanges, 2);
    EXPECT_TRUE(r.replaceOn);
    EXPECT_FALSE(r.abortRun);
    EXPECT_EQ(readFile(f), "dog 1\nplain\ncat 2\ndog 3\n");
}

TEST_F(ReviewTest, YesToAllAndNoToAllHoldForTheCurrentFileOnly) {
    const std::string a = t.write("tree/a.txt", "cat\ncat\ncat\n");
    const std::string b = t.write("tree/b.txt", "cat\ncat\ncat\n");
    const std::string c = t.write("tree/c.txt", "cat\ncat\n");
    dialogs.lineAnswers = {Answer::No,  Answer::YesToAll, // a: 2 questions
                           Answer::Yes, Answer::NoToAll,  // b: 2 questions
                           Answer::Yes, Answer::Yes};     // c: asked again
    window.presses = {Press::SaveConfirmed, Press::SaveConfirmed, Press::SaveConfirmed};
    EXPECT_EQ(review(a).savedChanges, 2);
    EXPECT_EQ(review(b).savedChanges, 1);
    EXPECT_EQ(review(c).savedChanges, 2);
    EXPECT_EQ(dialogs.questions.size(), 6u);
    EXPECT_EQ(readFile(a), "cat\ndog\ndog\n");
    EXPECT_EQ(readFile(b), "dog\ncat\ncat\n");
    EXPECT_EQ(readFile(c), "dog\ndog\n");
}

TEST_F(ReviewTest, CancelStopsReplacingAndChangesNothing) {
    const std::string a = t.write("tree/a.txt", "cat\ncat\n");
    dialogs.lineAnswers = {Answer::Yes, Answer::Cancel};
    const ReviewResult r = review(a);
    EXPECT_FALSE(r.replaceOn);
    EXPECT_EQ(r.savedChanges, 0);
    EXPECT_EQ(window.shown, 0);
    EXPECT_EQ(readFile(a), "cat\ncat\n");
}

TEST_F(ReviewTest, NoEverywhereShowsNoWindowAndWritesNothing) {
    const std::string a = t.write("tree/a.txt", "cat\ncat\n");
    dialogs.lineAnswers = {Answer::No, Answer::No};
    EXPECT_EQ(review(a).savedChanges, 0);
    EXPECT_EQ(window.shown, 0);
    EXPECT_EQ(readFile(a), "cat\ncat\n");
    EXPECT_EQ(readFile(setup().archivePath), "");
}

TEST_F(ReviewTest, WithoutLineConfirmationEveryLineChangesAndTheWindowShowsOnce) {
    const std::string a = t.write("tree/a.txt", "cat cat\nno\ncat\n");
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(review(a, false).savedChanges, 3);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(readFile(a), "dog dog\nno\ndog\n");
}

TEST_F(ReviewTest, ConfirmationGridAndChangeLogTexts) {
    const std::string a = t.write("tree/unit1.pas", "x\ncat cat\n");
    dialogs.lineAnswers = {Answer::Yes};
    window.presses = {Press::SaveConfirmed};
    review(a);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0],
              "Vesk Replace Results|File:" + a +
                  "\r\n\r\nYes to all/No to all - buttons apply to current file only\r\n"
                  "Cancel aborts Replace operations now\r\n\r\nThis line:2\r\ncat cat\r\n\r\n"
                  "dog dog\r\n\r\nChanges this line=2 - Save changes?\r\n\r\n");
    const std::string stamp = "-VeskSearchReplace-20261207-083005-";
    const std::vector<std::string> grid = {
        "|",
        "|",
        "|Filename: " + a,
        "|Temp File: " + t.path("tree/unit1" + stamp + "temp.pas"),
        "|Backup File: " + t.path("tree/unit1" + stamp + "bak.pas"),
        "|Archive File: " + setup().archivePath,
        "|",
        "|",
        "1|cat cat",
        "1->|dog dog",
        "|",
    };
    EXPECT_EQ(window.gridAtShow, grid);
    EXPECT_EQ(readFile(t.path("tree/Vesk-SearchReplace.log")),
              "___________________________________\r\n07-Dec-26 Search/Replace " + a +
                  "\r\n1:cat cat\r\n1:dog dog\r\n\r\n");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back(),
              "Changes saved to " + a +
                  "\r\n\r\nBackup file=" + t.path("tree/unit1" + stamp + "bak.pas") +
                  "\r\n\r\nArchive file=" + setup().archivePath + "\r\n\r\n");
    EXPECT_EQ(readFile(t.path("tree/unit1" + stamp + "bak.pas")), "x\ncat cat\n");
    const std::string archive = readFile(setup().archivePath);
    EXPECT_NE(archive.find("\r\nx\r\ncat cat\r\n"), std::string::npos);
    EXPECT_NE(archive.find(" ~ Changes=2 ~ "), std::string::npos);
}

TEST_F(ReviewTest, LineEndStyleIsKeptInTheFileAndInTheTempFile) {
    struct Style {
        const char* name;
        std::string before, after;
    };
    const std::vector<Style> styles = {
        {"CR LF", "cat\r\nx\r\n", "dog\r\nx\r\n"},
        {"LF", "cat\nx\n", "dog\nx\n"},
        {"CR", "cat\rx\r", "dog\rx\r"},
        {"no break at the end", "x\ncat", "x\ndog"},
        {"no break at all", "cat", "dog"},
        {"empty lines kept", "\n\ncat\n\n", "\n\ndog\n\n"},
        {"mixed, every line keeps its own", "cat\r\nx\ny\rcat\n\r\ncat",
         "dog\r\nx\ny\rdog\n\r\ndog"},
        {"one stray CR LF in an LF file", "a\ncat\r\nb\ncat\n", "a\ndog\r\nb\ndog\n"},
    };
    for (const Style& s : styles) {
        const std::string f = t.write("tree/s.txt", s.before);
        std::string tempContent;
        window.onShow = [&](ReplaceReview& rv) {
            rv.btnShowDiffClick();
            tempContent = readFile(rv.tempFileName());
        };
        window.presses = {Press::Save};
        clock.advanceSeconds(1);
        review(f, false);
        EXPECT_EQ(tempContent, s.after) << s.name;
        EXPECT_EQ(readFile(f), s.after) << s.name;
    }
    // The viewer got the file and its temp copy; the temp copy is gone after saving.
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().program, "/bin/true");
    EXPECT_EQ(shell.calls.back().parameters.substr(0, t.path("tree/s.txt").size() + 1),
              t.path("tree/s.txt") + " ");
    for (const std::string& q : dialogs.questions)
        EXPECT_EQ(q.find("Diffs have NOT"), std::string::npos);
}

TEST_F(ReviewTest, FilesHoldingANulAreRefused) {
    const std::string bytes("cat\0x\n", 6);
    const std::string f = t.write("tree/bad.txt", bytes);
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(review(f, false).savedChanges, 0);
    EXPECT_EQ(window.shown, 0);
    EXPECT_EQ(readFile(f), bytes);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("This file will not be changed"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].find("NUL"), std::string::npos);
}

TEST_F(ReviewTest, OwnFilesAndTheSetFileAreNeverReviewed) {
    const std::string set = t.write("tree/pairs.txt", "cat\tdog\n");
    const std::string old = t.write("tree/a-vesksearchREPLACE-20200101-000000-bak.txt", "cat\n");
    const std::string log = t.write("tree/Vesk-SearchReplace.log", "1:cat\n");
    // An older change log deeper in the tree, the run log and the settings file.
    const std::string olderLog = t.write("tree/sub/VESK-SearchReplace.LOG", "1:cat\n");
    channels.programFolderOverride = homeFolder;
    const std::string runLog = t.write("home/Ostrelrun.log", "mail cat\r\n");
    const std::string settings = t.write("vesk.INI", "[Viewer]\r\ncat=ASK\r\n");
    for (const std::string& f : {set, old, log, olderLog, runLog, settings}) {
        const std::string before = readFile(f);
        EXPECT_EQ(review(f, false, set).savedChanges, 0);
        EXPECT_EQ(readFile(f), before);
    }
    EXPECT_EQ(window.shown, 0);
}

TEST_F(ReviewTest, SavingWithoutDifferencesAsksFirst) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    dialogs.yesNo = {false, true};
    window.presses = {Press::Save, Press::Save};
    EXPECT_EQ(review(a, false).savedChanges, 1);
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[0],
              "Vesk Replace Results|Diffs have NOT been shown for this file\r\nCheck the logs and "
              "differences\r\n\r\nAre you sure you want to save changes?");
    EXPECT_EQ(readFile(a), "dog\n");
}

TEST_F(ReviewTest, DoNotSaveAbortAndTitleBarDropTheChanges) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    std::string temp;
    window.onShow = [&](ReplaceReview& rv) {
        rv.btnShowDiffClick();
        temp = rv.tempFileName();
    };
    window.presses = {Press::DoNotSave};
    ReviewResult r = review(a, false);
    EXPECT_EQ(r.savedChanges, 0);
    EXPECT_EQ(::access(temp.c_str(), F_OK), -1); // removed

    window.presses = {Press::Abort};
    r = review(a, false);
    EXPECT_TRUE(r.abortRun);
    EXPECT_TRUE(r.replaceOn);
    EXPECT_EQ(::access(temp.c_str(), F_OK), 0); // left for the user

    window.presses = {Press::TitleBar};
    EXPECT_EQ(review(a, false).savedChanges, 0);
    EXPECT_EQ(readFile(a), "cat\n");
    EXPECT_EQ(readFile(setup().archivePath), "");
}

namespace {
class FullDiskIo final : public SaveIo {
public:
    ssize_t write(int, const char*, std::size_t) override {
        errno = ENOSPC;
        return -1;
    }
};
} // namespace

TEST_F(ReviewTest, AFailedSaveKeepsTheWindowOpenAndTheFileAsItWas) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    FullDiskIo full;
    io = &full;
    window.presses = {Press::SaveConfirmed, Press::DoNotSave};
    const ReviewResult r = review(a, false);
    EXPECT_EQ(r.savedChanges, 0);
    EXPECT_EQ(readFile(a), "cat\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("Changes NOT saved"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].find("No space left on device"), std::string::npos);
    EXPECT_EQ(readFile(t.path("tree/Vesk-SearchReplace.log")), "");
}

TEST_F(ReviewTest, AnArchiveThatCannotBeWrittenStopsTheSave) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    ReviewSetup s = setup();
    s.archivePath = t.path("no/such/folder/VeskSearchReplaceArchive.jarc");
    window.presses = {Press::SaveConfirmed, Press::DoNotSave};
    ReplaceReview rv(commands, window, s);
    EXPECT_EQ(rv.ReviewFile(request(a, false), table, "").savedChanges, 0);
    EXPECT_EQ(readFile(a), "cat\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("No such file or directory"), std::string::npos);
}

TEST_F(ReviewTest, AFileAlreadyHoldingTheTempNameIsNeitherOverwrittenNorRemoved) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    const std::string foreign =
        t.write("tree/a-VeskSearchReplace-20261207-083005-temp.txt", "not ours\n");
    window.onShow = [](ReplaceReview& rv) { rv.btnShowDiffClick(); };
    window.presses = {Press::DoNotSave};
    review(a, false);
    EXPECT_EQ(readFile(foreign), "not ours\n");
    EXPECT_TRUE(shell.calls.empty()); // no viewer on a copy that was not written
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("File exists"), std::string::npos);
}

TEST_F(ReviewTest, AFileReachedByTwoNamesIsRewrittenOncePerRun) {
    table.FindStrings[0] = "Foo";
    table.ReplaceStrings[0] = "FooBar";
    const std::string target = t.write("tree/a.txt", "Foo\n");
    const std::string link = t.path("tree/link.txt");
    ASSERT_EQ(::symlink("a.txt", link.c_str()), 0);
    ReplaceReview rv(commands, window, setup());
    ReviewRequest first = request(target, false);
    ReviewRequest second = request(link, false);
    first.runNumber = second.runNumber = 1;
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(rv.ReviewFile(first, table, "").savedChanges, 1);
    dialogs.messages.clear();
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(rv.ReviewFile(second, table, "").savedChanges, 0);
    EXPECT_EQ(readFile(target), "FooBar\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("already replaced in this run"), std::string::npos);
    // The next run may change it again.
    second.runNumber = 2;
    window.presses = {Press::SaveConfirmed};
    clock.advanceSeconds(1);
    EXPECT_EQ(rv.ReviewFile(second, table, "").savedChanges, 1);
    EXPECT_EQ(readFile(target), "FooBarBar\n");
}

namespace {
// Counts the writes on the change log and lets another program append to it once it is open.
class LogWatchingIo final : public SaveIo {
public:
    std::string logPath;
    std::string otherProgramLine;
    int logFd = -1;
    int logWrites = 0;
    int openAppend(const std::string& path, bool followLinks) override {
        const int fd = SaveIo::openAppend(path, followLinks);
        if (path == logPath) {
            logFd = fd;
            const int other = ::open(path.c_str(), O_WRONLY | O_APPEND);
            if (other >= 0 && !otherProgramLine.empty()) {
                EXPECT_EQ(::write(other, otherProgramLine.data(), otherProgramLine.size()),
                          static_cast<ssize_t>(otherProgramLine.size()));
            }
            if (other >= 0) ::close(other);
        }
        return fd;
    }
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (fd == logFd) ++logWrites;
        return SaveIo::write(fd, data, size);
    }
};
} // namespace

TEST_F(ReviewTest, TheChangeLogIsOneAppendAfterWhateverOthersWrote) {
    const std::string a = t.write("tree/a.txt", "cat\nx\ncat\n");
    const std::string log = t.write("tree/Vesk-SearchReplace.log", "earlier\r\n");
    LogWatchingIo watch;
    watch.logPath = log;
    watch.otherProgramLine = "another program\r\n";
    io = &watch;
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(review(a, false).savedChanges, 2);
    EXPECT_EQ(watch.logWrites, 1);
    EXPECT_EQ(readFile(log), "earlier\r\nanother program\r\n___________________________________"
                             "\r\n07-Dec-26 Search/Replace " +
                                 a + "\r\n0:cat\r\n0:dog\r\n\r\n2:cat\r\n2:dog\r\n\r\n");
}

TEST_F(ReviewTest, AChangeLogNameHoldingALinkIsNotFollowed) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    const std::string victim = t.write("victim.txt", "precious\n");
    ASSERT_EQ(::symlink(victim.c_str(), t.path("tree/Vesk-SearchReplace.log").c_str()), 0);
    window.presses = {Press::SaveConfirmed};
    EXPECT_EQ(review(a, false).savedChanges, 1);
    EXPECT_EQ(readFile(victim), "precious\n");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find("symbolic link"), std::string::npos);
}

TEST_F(ReviewTest, ATempCopyEditedInTheViewerIsSavedOrKeptAsTheUserAnswers) {
    struct Case {
        const char* name;
        bool saveEdited;
        std::string expected;
    };
    for (const Case& c : {Case{"save the edited copy", true, "bird (edited)\n"},
                          Case{"save the program's version", false, "dog\n"}}) {
        const std::string a = t.write("tree/a.txt", "cat\n");
        std::string temp;
        window.onShow = [&](ReplaceReview& rv) {
            rv.btnShowDiffClick();
            temp = rv.tempFileName();
            // The viewer saves the user's edit by writing a new file over the copy.
            t.write("tree/edited", "bird (edited)\n");
            ASSERT_EQ(::rename(t.path("tree/edited").c_str(), temp.c_str()), 0);
        };
        dialogs.questions.clear();
        dialogs.yesNo = {c.saveEdited};
        window.presses = {Press::Save};
        clock.advanceSeconds(1);
        EXPECT_EQ(review(a, false).savedChanges, 1) << c.name;
        EXPECT_EQ(readFile(a), c.expected) << c.name;
        ASSERT_EQ(dialogs.questions.size(), 1u) << c.name;
        EXPECT_NE(dialogs.questions[0].find("temp file was changed"), std::string::npos);
        // The edited copy goes only once it is saved.
        EXPECT_EQ(::access(temp.c_str(), F_OK) == 0, !c.saveEdited) << c.name;
    }
}

TEST_F(ReviewTest, DoNotSaveKeepsATempCopyEditedInTheViewer) {
    const std::string a = t.write("tree/a.txt", "cat\n");
    std::string temp;
    window.onShow = [&](ReplaceReview& rv) {
        rv.btnShowDiffClick();
        temp = rv.tempFileName();
        t.write("tree/a-VeskSearchReplace-20261207-083005-temp.txt", "user's work\n");
    };
    window.presses = {Press::DoNotSave};
    EXPECT_EQ(review(a, false).savedChanges, 0);
    EXPECT_EQ(readFile(a), "cat\n");
    EXPECT_EQ(readFile(temp), "user's work\n");
}

namespace {
long statusKilobytes(const char* field) {
    FILE* in = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (in && std::fgets(line, sizeof line, in))
        if (std::strncmp(line, field, std::strlen(field)) == 0)
            value = std::atol(line + std::strlen(field));
    if (in) std::fclose(in);
    return value;
}
} // namespace

TEST_F(ReviewTest, ReplacingInABigFileNeedsLessThanThreeTimesItsSize) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine make the peak meaningless";
#endif
    std::string big;
    const std::string plain(59, 'x');
    for (int i = 0; big.size() < (32u << 20); ++i)
        big += (i % 1000 == 0 ? "cat" + plain.substr(3) : plain) + "\n";
    const std::string f = t.write("tree/big.txt", big);
    const long size = static_cast<long>(big.size() >> 10);
    big = std::string();
    // Measured in a child, so the peak belongs to the review and save alone.
    const pid_t pid = ::fork();
    if (pid == 0) {
        const long before = statusKilobytes("VmRSS:");
        window.presses = {Press::SaveConfirmed};
        const bool saved = review(f, false).savedChanges > 0;
        const long peak = statusKilobytes("VmHWM:") - before;
        ::_exit(!saved ? 2 : peak < 3 * size ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the peak reached three times the file's size";
    EXPECT_EQ(readFile(f).substr(0, 4), "dogx");
}
