#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <sys/inotify.h>
#include <unistd.h>

#include "search/search_run.h"
#include "tests/support/recording_host.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vesk::test::RecordingHost;
using vesk::test::TempTree;

namespace {

struct Fixture {
    TempTree tree;
    RecordingHost host;
    StringSlots slots;
    SearchRun run{host, slots};

    Fixture() {
        host.options.folderBox = tree.root();
        host.options.filespecBox = "*.*";
        // The advanced list texts as the list windows leave them.
        host.options.FolderText = tree.root();
        host.options.FilespecText = "*.*";
        host.options.SubFolders = true;
    }
    std::string p(const char* rel) const { return tree.path(rel); }
    // The rows after the set-up rows (from the first file heading on).
    std::vector<std::string> resultRows() const {
        auto all = host.rows();
        auto it = std::find(all.begin(), all.end(), "|_________________________________||");
        return it == all.end() ? all : std::vector<std::string>(it + 1, all.end());
    }
};

} // namespace

TEST(SearchRun, RowsAndSummaryOfASimpleRun) {
    Fixture f;
    f.tree.write("a.txt", "one Needle\nnothing\nneedle needle\n");
    f.tree.write("sub/b.txt", "no\n");
    f.host.options.stringBox = "needle";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    const std::string a = f.p("a.txt");
    EXPECT_THAT(f.resultRows(), ElementsAre("|" + a + "|" + a + "|", "1|one Needle|" + a + "|5",
                                            "3|needle needle|" + a + "|1"));
    const auto all = f.host.rows();
    EXPECT_EQ(all[0], "|Folders=" + f.tree.root() + " Filespec=*.*  String=needle||");
    EXPECT_THAT(all, Contains(HasSubstr("|Searching 2 files/folders starts ")));
    EXPECT_EQ(f.host.statusTexts.back(), "Matched Lines=2 of 4 - Files=1 of 2 - time=0.000s");
    EXPECT_EQ(f.run.state().LastRow, f.host.grid_.row());
    EXPECT_FALSE(f.run.state().Searching);
    EXPECT_EQ(f.host.phase, 3);
    EXPECT_EQ(f.slots.FindCount, 1);
}

// After a run nothing of the searched tree is held open, so its file system can be unmounted.
TEST(SearchRun, NothingOfTheTreeStaysOpenAfterARun) {
    Fixture f;
    f.tree.write("sub/a.txt", "needle\n");
    f.tree.write("sub/b.bin", std::string("\0\1\2", 3)); // opened, then skipped as binary
    f.host.options.stringBox = "needle";
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    ASSERT_EQ(f.run.state().MatchedLines, 1);
    EXPECT_FALSE(vesk::test::holdsAnythingUnder(f.tree.root()));
}

TEST(SearchRun, SimpleScanOfAMissingFolderSearchesNothingAndSaysSo) {
    Fixture f;
    f.tree.write("here.txt", "needle\n");
    f.host.options.stringBox = "needle";
    f.host.options.AlwaysAdvancedScan = false;
    // A first run leaves the scanner on a folder that holds a hit.
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    ASSERT_EQ(f.run.state().MatchedLines, 1);
    for (const std::string& notAFolder : {f.p("gone"), f.p("here.txt")}) {
        f.host.options.folderBox = notAFolder;
        ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
        EXPECT_EQ(f.run.state().FileTotal, 0) << notAFolder;
        EXPECT_EQ(f.run.state().MatchedLines, 0) << notAFolder;
        EXPECT_EQ(f.host.statusTexts.back(),
                  "Folder not found: " + notAFolder + " - nothing was searched");
    }
}

TEST(SearchRun, EmptyOrBlankStringsEndTheRunEarly) {
    Fixture f;
    f.tree.write("a.txt", "x\n");
    f.host.options.stringBox = "";
    EXPECT_EQ(f.run.DoSearch(), RunResult::EndedEarly);
    EXPECT_EQ(f.host.grid_.rowCount(), 1);
    EXPECT_TRUE(f.host.dialogs_.messages.empty());
    EXPECT_THAT(f.host.events, Contains("focus string"));

    f.host.options.StringsMode = 2;
    f.slots.FindCount = 2;
    f.slots.FindStrings[0] = "x";
    f.slots.FindStrings[1] = "   ";
    EXPECT_EQ(f.run.DoSearch(), RunResult::EndedEarly);
    EXPECT_THAT(f.host.dialogs_.messages,
                ElementsAre("Search array contains blank elements - fix!"));
    f.slots.FindCount = 0;
    EXPECT_EQ(f.run.DoSearch(), RunResult::EndedEarly);
    EXPECT_EQ(f.host.dialogs_.messages.back(), "Nothing to search for");
}

TEST(SearchRun, NameExclusions) {
    Fixture f;
    for (const char* n :
         {"a.BAK.txt", "a.DLL.txt", "x.map", "y.~pas", "z-veskSearchReplace-1.txt", "ok.txt"})
        f.tree.write(n, "hit\n");
    f.host.options.stringBox = "hit";
    f.run.DoSearch();
    std::vector<std::string> files;
    for (const auto& r : f.resultRows())
        if (r.rfind("|", 0) == 0 && r.size() > 1 && r[1] == '/')
            files.push_back(
                r.substr(f.tree.root().size() + 1, r.find('|', 1) - f.tree.root().size() - 1));
    EXPECT_THAT(files, ElementsAre("a.DLL.txt", "ok.txt"));

    f.host.options.filespecBox = "*.MAP";
    f.run.DoSearch();
    EXPECT_EQ(f.run.state().MatchedFiles, 1); // x.map is searched once the mask names .map
}

TEST(SearchRun, ExactExtensionInSimpleMask) {
    Fixture f;
    f.tree.write("index.html", "hit\n");
    f.tree.write("page.htm", "hit\n");
    f.host.options.stringBox = "hit";
    f.host.options.filespecBox = "*.htm";
    f.host.options.AlwaysAdvancedScan = false;
    f.run.DoSearch();
    EXPECT_EQ(f.run.state().MatchedFiles, 1);
    f.host.options.filespecBox = "*.ht*";
    f.host.options.AlwaysAdvancedScan = true;
    f.run.DoSearch();
    EXPECT_EQ(f.run.state().MatchedFiles, 2);
}

TEST(SearchRun, FilenameMatchKeepsItsHeadingForBinaryFiles) {
    Fixture f;
    f.tree.write("util.bin", std::string("\0\0\0\0\0\0\0util", 11));
    f.host.options.stringBox = "util";
    f.host.options.SearchFilename = true;
    f.run.DoSearch();
    const std::string u = f.p("util.bin");
    EXPECT_THAT(f.resultRows(), ElementsAre("|" + u + "|" + u + "|", "|(No Matches Found)||"));
}

TEST(SearchRun, ListAllFilenamesWritesOneHeadingPerFile) {
    Fixture f;
    f.tree.write("a.txt", "hit\n");
    f.tree.write("b.txt", "miss\n");
    f.host.options.stringBox = "hit";
    f.host.options.ListAllFilenames = true;
    f.run.DoSearch();
    const std::string a = f.p("a.txt"), b = f.p("b.txt");
    EXPECT_THAT(f.resultRows(),
                ElementsAre("|" + a + "|" + a + "|", "1|hit|" + a + "|1", "|" + b + "|" + b + "|"));
}

TEST(SearchRun, NewestRowsStayInView) {
    Fixture f;
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += "hit\n";
    f.tree.write("a.txt", text);
    f.host.options.stringBox = "hit";
    f.run.DoSearch();
    EXPECT_EQ(f.host.grid_.topRow(), f.run.state().LastRow - 20);
}

TEST(SearchRun, LinesAndFilesWithNoMatch) {
    Fixture f;
    f.tree.write("a.txt", "hit\nother\n");
    f.tree.write("b.txt", "nothing\n");
    f.host.options.stringBox = "hit";
    f.host.options.LinesWithNoMatchesOnly = true;
    f.run.DoSearch();
    const std::string a = f.p("a.txt"), b = f.p("b.txt");
    EXPECT_THAT(f.resultRows(), ElementsAre("|" + a + "|" + a + "|", "2|other|" + a + "|",
                                            "|" + b + "|" + b + "|", "1|nothing|" + b + "|"));

    f.host.options.LinesWithNoMatchesOnly = false;
    f.host.options.FilesWithNoMatch = true;
    f.run.DoSearch();
    const auto rows = f.resultRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[rows.size() - 2], "|No Matches||");
    EXPECT_EQ(rows.back(), "|" + b + "|" + b + "|");
}

TEST(SearchRun, SlowFileIsCutOffAfterTwoSeconds) {
    Fixture f;
    std::string slow;
    for (int i = 1; i <= 3000; ++i)
        slow += "hit " + std::to_string(i) + "\n";
    f.tree.write("slow.txt", slow);
    f.tree.write("z.txt", "hit\n");
    f.host.options.stringBox = "hit";
    f.host.clock_.step = 0.3 * kOneSecond;
    f.run.DoSearch();
    const std::string s = f.p("slow.txt");
    const auto rows = f.resultRows();
    const auto err = std::find(rows.begin(), rows.end(), "-1|Searching File too slow|" + s + "|");
    ASSERT_NE(err, rows.end());
    EXPECT_EQ(*(err - 1), "-1|" + s + "|" + s + "|");
    EXPECT_EQ(*(err + 1), "-1|aborted after 2 seconds|" + s + "|");
    EXPECT_LT(f.run.state().LinesSearched, 3000); // only the lines examined, plus z.txt's one
    EXPECT_THAT(rows, Contains("1|hit|" + f.p("z.txt") + "|1")); // the run goes on
}

// A long string of one letter but its end, in long lines of that letter: the budget still cuts the
// file off, since no single line's search runs away with the time.
TEST(SearchRun, LongLinesOfTheStringsFirstLetterAreCutOffAfterTwoSeconds) {
    Fixture f;
    const std::string line(3'000'000, 'a');
    f.tree.write("slow.txt", line + "\n" + line + "\n" + line + "\n" + line + "\n");
    f.tree.write("z.txt", std::string(60000, 'a') + "e\n");
    f.host.options.stringBox = std::string(60000, 'a') + "e";
    f.host.clock_.step = 0.3 * kOneSecond;
    f.run.DoSearch();
    const std::string s = f.p("slow.txt");
    const auto rows = f.resultRows();
    EXPECT_THAT(rows, Contains("-1|Searching File too slow|" + s + "|"));
    EXPECT_THAT(rows, Contains("-1|aborted after 2 seconds|" + s + "|"));
    EXPECT_THAT(rows,
                Contains(HasSubstr("1|" + std::string(60000, 'a') + "e|" + f.p("z.txt") + "|1")));
}

TEST(SearchRun, StopWhileListingSearchesNothing) {
    Fixture f;
    for (int i = 0; i < 6; ++i)
        f.tree.write("d" + std::to_string(i) + "/a.txt", "hit\n");
    f.host.options.stringBox = "hit";
    f.host.clock_.step = 2 * kOneSecond;
    int calls = 0;
    f.host.onProcessEvents = [&] {
        if (f.run.state().Searching && ++calls == 4) f.run.Stop();
    };
    EXPECT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_EQ(f.run.state().FilesDone, 0);
    EXPECT_LT(f.run.state().FileTotal, 6);
    EXPECT_EQ(f.host.progressTexts.back(), " (aborted)");
    EXPECT_FALSE(f.run.state().Searching);
}

TEST(SearchRun, InvalidMaskFailsAndTheNextRunWorks) {
    Fixture f;
    f.tree.write("a.txt", "hit\n");
    f.host.options.stringBox = "hit";
    f.host.options.filespecBox = "[abc";
    EXPECT_EQ(f.run.DoSearch(), RunResult::Failed);
    EXPECT_THAT(f.host.dialogs_.messages, ElementsAre("'[abc' is an invalid mask at (5)"));
    EXPECT_FALSE(f.run.state().Searching);
    EXPECT_TRUE(f.host.grid_.visible());
    f.host.options.filespecBox = "*.txt";
    EXPECT_EQ(f.run.DoSearch(), RunResult::Done);
    EXPECT_EQ(f.run.state().MatchedLines, 1);
}

TEST(SearchRun, GoogleFindWithOneWordIsAPlainSearchAndTurnsReplaceOff) {
    Fixture f;
    f.tree.write("a.txt", "alpha\nbeta alpha\n");
    f.host.options.stringBox = "alpha";
    f.host.options.GoogleFind = true;
    f.host.options.ReplaceOn = true;
    f.run.DoSearch();
    EXPECT_EQ(f.run.state().MatchedLines, 2);
    EXPECT_FALSE(f.host.options.ReplaceOn);
    EXPECT_EQ(f.run.state().SearchStringsText, "Search Strings: (simple)\r\nalpha");
    EXPECT_TRUE(f.host.dialogs_.messages.empty());

    f.host.options.stringBox = "beta alpha";
    f.host.options.ReplaceOn = true;
    f.run.DoSearch();
    EXPECT_EQ(f.run.state().MatchedLines, 1);
    ASSERT_EQ(f.host.dialogs_.messages.size(), 1u);
    EXPECT_THAT(f.host.dialogs_.messages[0],
                HasSubstr("Warning - Google find cannot be used with either"));
}

TEST(SearchRun, MultipleStringsFirstSlotThatOccursDecides) {
    Fixture f;
    f.tree.write("a.txt", "zzz aaa\n");
    f.host.options.StringsMode = 2;
    f.slots.FindCount = 2;
    f.slots.FindStrings[0] = "aaa";
    f.slots.FindStrings[1] = "zzz";
    f.run.DoSearch();
    EXPECT_THAT(f.resultRows(), Contains("1|zzz aaa|" + f.p("a.txt") + "|5"));
    EXPECT_THAT(f.host.rows(), Contains("|String2 = zzz||"));
}

TEST(SearchRun, NoMatchesAndAStatusPathShortened) {
    Fixture f;
    f.tree.write("a.txt", "x\n");
    f.host.options.stringBox = "absent";
    f.run.DoSearch();
    EXPECT_EQ(f.host.rows().back(), "|(No Matches Found)||");
    const std::string longPath(100, 'p');
    EXPECT_EQ(shortPathText(longPath), std::string(20, 'p') + ".." + std::string(20, 'p'));
}

TEST(SearchRun, LeavesNoFileOpenAfterTheRun) {
    const auto openFiles = [] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
            n += e.exists() ? 1 : 0;
        return n;
    };
    Fixture f;
    f.tree.write("a.txt", "hit\n");
    f.tree.write("z.BAK.txt", "hit\n"); // the last file is opened, then excluded by name
    f.host.options.stringBox = "hit";
    const int before = openFiles();
    f.run.DoSearch();
    EXPECT_EQ(openFiles(), before);
}

namespace {

// Which files of a folder were opened, as the kernel reports it (inotify), so a test sees every
// open whatever thread made it.
class OpenWatch {
public:
    explicit OpenWatch(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
    }
    ~OpenWatch() { close(fd_); }
    // The names opened since the last call.
    std::vector<std::string> opened() {
        std::vector<std::string> names;
        alignas(inotify_event) char buf[8192];
        ssize_t n;
        while ((n = read(fd_, buf, sizeof buf)) > 0) {
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->len > 0) names.emplace_back(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        }
        return names;
    }

private:
    int fd_;
};

// A clock that stands still, except that the first reading after `name` was opened jumps three
// seconds: opening that file takes long.
class SlowOpenClock final : public Clock {
public:
    SlowOpenClock(OpenWatch& watch, std::string name) : watch_(watch), name_(std::move(name)) {}
    DateValue now() const override {
        std::lock_guard lock(mutex_);
        for (const std::string& n : watch_.opened())
            if (n == name_) now_ += 3 * kOneSecond;
        return now_;
    }

private:
    OpenWatch& watch_;
    std::string name_;
    mutable std::mutex mutex_;
    mutable DateValue now_ = 46000.5;
};

class SlowOpenHost final : public RecordingHost {
public:
    explicit SlowOpenHost(const Clock& c) : slowClock_(c) {}
    const Clock& clock() override { return slowClock_; }

private:
    const Clock& slowClock_;
};

} // namespace

TEST(SearchRun, FilesExcludedByNameAreNeverOpened) {
    for (const unsigned workers : {1u, 3u}) {
        Fixture f;
        for (const char* n : {"a.BAK.txt", "b.dll", "c.map", "d.~pas", "e-VeskSearchReplace-1.txt",
                              "page.html", "ok.htm"})
            f.tree.write(n, "hit\n");
        f.host.options.stringBox = "hit";
        f.host.options.filespecBox = "*.htm";
        f.host.options.AlwaysAdvancedScan = false;
        f.host.options.Workers = workers;
        OpenWatch watch(f.tree.root());
        f.run.DoSearch();
        EXPECT_EQ(f.run.state().MatchedFiles, 1);
        EXPECT_THAT(watch.opened(), ElementsAre("ok.htm")) << workers << " worker(s)";
    }
}

TEST(SearchRun, TwoSecondBudgetStartsBeforeTheFileIsOpened) {
    for (const unsigned workers : {1u, 2u}) {
        TempTree tree;
        tree.write("slow.txt", "hit\nhit\n");
        OpenWatch watch(tree.root());
        SlowOpenClock clock(watch, "slow.txt");
        SlowOpenHost host(clock);
        StringSlots slots;
        SearchRun run(host, slots);
        host.options.folderBox = tree.root();
        host.options.filespecBox = "*.*";
        host.options.stringBox = "hit";
        host.options.Workers = workers;
        run.DoSearch();
        const std::string s = tree.path("slow.txt");
        EXPECT_THAT(host.rows(), Contains("-1|Searching File too slow|" + s + "|")) << workers;
        EXPECT_EQ(run.state().MatchedLines, 0) << workers;
    }
}

// Rows show a match's position only; the marks drawn beside them carry each match's length, which
// for an expression is the length of what it matched on that line.
TEST(SearchRun, MatchesAreMarkedWithTheirOwnLength) {
    Fixture f;
    f.tree.write("a.txt", "call pm_runtime_resume(dev);\nno hit\nx pm_resume y\n");
    f.host.options.stringBox = "pm_[a-z_]*resume";
    f.host.options.RegularExpressions = true;
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    const StringGrid& g = f.host.grid_;
    std::vector<std::pair<std::string, std::string>> marked;
    for (int row = 0; row < g.rowCount(); ++row)
        for (const TextMark& m : g.marks(row))
            marked.emplace_back(g.cell(0, row), g.cell(1, row).substr(m.start, m.length));
    EXPECT_THAT(marked, ElementsAre(std::pair<std::string, std::string>{"1", "pm_runtime_resume"},
                                    std::pair<std::string, std::string>{"3", "pm_resume"}));

    // The literal search of the same file marks the string itself.
    f.host.options.stringBox = "RESUME";
    f.host.options.RegularExpressions = false;
    ASSERT_EQ(f.run.DoSearch(), RunResult::Done);
    marked.clear();
    for (int row = 0; row < g.rowCount(); ++row)
        for (const TextMark& m : g.marks(row))
            marked.emplace_back(g.cell(0, row), g.cell(1, row).substr(m.start, m.length));
    EXPECT_THAT(marked, ElementsAre(std::pair<std::string, std::string>{"1", "resume"},
                                    std::pair<std::string, std::string>{"3", "resume"}));
}
