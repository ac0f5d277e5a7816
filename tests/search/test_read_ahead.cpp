#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "search/read_ahead.h"
#include "search/search_run.h"
#include "tests/support/recording_host.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::FakeClock;
using vesk::test::RecordingHost;
using vesk::test::TempTree;

namespace {

// A tree of files of every kind a run meets: matches in several cases and as parts of words,
// mixed line breaks, binary files, NULs after the tested head, empty files, names the run
// excludes, and a few larger files with many matches.
void writeRandomTree(TempTree& tree, unsigned seed, int files) {
    std::mt19937 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* words[] = {"needle", "Needle", "NEEDLE", "needles", "xneedle",    "needle_1", "hay",
                           "stack",  "alpha",  "beta",   "gamma",   "alpha-beta", "(needle)"};
    const char* breaks[] = {"\n", "\r\n", "\r", "\n\r"};
    const char* names[] = {".txt", ".c", ".htm", ".html", ".bak", ".dll", ".map", ".TXT", ""};
    for (int i = 0; i < files; ++i) {
        std::string name = "d" + std::to_string(pick(6)) + "/";
        if (pick(4) == 0) name += "s" + std::to_string(pick(3)) + "/";
        name += "f" + std::to_string(i) + names[pick(9)];
        if (pick(30) == 0) name = "x-VeskSearchReplace-" + std::to_string(i) + ".txt";
        std::string body;
        const int kind = pick(10);
        if (kind == 0) {
            for (int b = 0; b < 600; ++b)
                body += static_cast<char>(pick(4) == 0 ? 0 : pick(256));
        } else if (kind == 1) {
            body = "";
        } else {
            const int lines = kind == 2 ? 4000 : 1 + pick(60);
            for (int l = 0; l < lines; ++l) {
                const int n = pick(8);
                for (int w = 0; w < n; ++w)
                    body += std::string(words[pick(13)]) + (pick(3) ? " " : "");
                if (pick(300) == 0)
                    body += "\xc3\xa9"; // a few 8-bit bytes: text unless near the top
                body += breaks[pick(4)];
            }
            if (kind == 3 && body.size() > 1200) body[1100] = '\0';
        }
        tree.write(name, body);
    }
}

struct RunOutcome {
    std::vector<std::string> rows;
    std::vector<std::int64_t> counts;
    std::string summary;
};

RunOutcome runWith(const TempTree& tree, unsigned workers,
                   const std::function<void(SearchOptions&, StringSlots&)>& set,
                   ReadAheadLimits limits = {}) {
    RecordingHost host;
    StringSlots slots;
    SearchRun run(host, slots);
    run.readAheadLimits = limits;
    host.options.folderBox = tree.root();
    host.options.filespecBox = "*";
    host.options.SubFolders = true;
    host.options.stringBox = "needle";
    host.options.Workers = workers;
    set(host.options, slots);
    run.DoSearch();
    const SearchState& s = run.state();
    return {host.rows(),
            {s.MatchedLines, s.MatchedFiles, s.MatchedFolders, s.LinesSearched, s.FilesDone,
             s.FileTotal},
            host.statusTexts.empty() ? "" : host.statusTexts.back()};
}

// A search of every folder of the tree for "needle", with the simple or the advanced scanner;
// `betweenFiles` runs at each of the run's pauses for events.
struct FolderRun {
    SearchState state;
    std::vector<std::string> rows;
    std::string progress; // the last progress text
};

FolderRun searchFolders(const TempTree& tree, bool advanced, unsigned workers,
                        const std::function<void(SearchRun&, SearchOptions&)>& betweenFiles,
                        const char* mask = "*.*") {
    RecordingHost host;
    StringSlots slots;
    SearchRun run(host, slots);
    host.options.folderBox = tree.root();
    host.options.filespecBox = mask;
    host.options.SubFolders = true;
    host.options.stringBox = "needle";
    host.options.AlwaysAdvancedScan = advanced;
    host.options.Workers = workers;
    host.onBetweenFiles = [&] { betweenFiles(run, host.options); };
    EXPECT_EQ(run.DoSearch(), RunResult::Done);
    return {run.state(), host.rows(), host.progressTexts.empty() ? "" : host.progressTexts.back()};
}

RunOutcome outcomeOf(const FolderRun& r) {
    return {r.rows, {r.state.MatchedLines, r.state.FilesDone}, ""};
}

void expectSameOutcome(const RunOutcome& alone, const RunOutcome& ahead, const std::string& what) {
    EXPECT_EQ(alone.counts, ahead.counts) << what;
    EXPECT_EQ(alone.summary, ahead.summary) << what;
    ASSERT_EQ(alone.rows.size(), ahead.rows.size()) << what;
    for (std::size_t i = 0; i < alone.rows.size(); ++i)
        ASSERT_EQ(alone.rows[i], ahead.rows[i]) << what << " row " << i;
}

} // namespace

TEST(ReadAheadRun, WorkersWriteTheRowsOfARunAlone) {
    TempTree tree;
    writeRandomTree(tree, 7, 160);
    const std::vector<std::pair<std::string, std::function<void(SearchOptions&, StringSlots&)>>>
        cases = {
            {"plain", [](SearchOptions&, StringSlots&) {}},
            {"whole words, match case",
             [](SearchOptions& o, StringSlots&) {
                 o.WholeWordsOnly = true;
                 o.CaseInsensitive = false;
             }},
            {"multiple strings",
             [](SearchOptions& o, StringSlots& s) {
                 o.StringsMode = 2;
                 s.FindCount = 3;
                 s.FindStrings[0] = "stack";
                 s.FindStrings[1] = "needle";
                 s.FindStrings[2] = "gamma";
             }},
            {"all words, files with no match",
             [](SearchOptions& o, StringSlots&) {
                 o.stringBox = "alpha beta";
                 o.GoogleFind = true;
                 o.FilesWithNoMatch = true;
             }},
            {"lines with no match, all names listed",
             [](SearchOptions& o, StringSlots&) {
                 o.LinesWithNoMatchesOnly = true;
                 o.ListAllFilenames = true;
             }},
            {"file names, exact extension, nothing omitted",
             [](SearchOptions& o, StringSlots&) {
                 o.stringBox = "f1";
                 o.SearchFilename = true;
                 o.filespecBox = "*.htm";
                 o.OmitBinBak = false;
                 o.OmitVeskSR = false;
                 o.AlwaysAdvancedScan = false;
             }},
            {"expressions, whole words",
             [](SearchOptions& o, StringSlots&) {
                 o.stringBox = "need[a-z]*|al(pha)?-b";
                 o.RegularExpressions = true;
                 o.WholeWordsOnly = true;
             }},
            {"expressions, multiple strings",
             [](SearchOptions& o, StringSlots& s) {
                 o.RegularExpressions = true;
                 o.StringsMode = 2;
                 s.FindCount = 2;
                 s.FindStrings[0] = "st[a-c]+k";
                 s.FindStrings[1] = "\\(needle\\)";
             }},
        };
    for (const auto& [name, set] : cases) {
        const RunOutcome alone = runWith(tree, 1, set);
        ASSERT_GT(alone.rows.size(), 10u) << name;
        expectSameOutcome(alone, runWith(tree, 2, set), name + ", two workers");
        expectSameOutcome(alone, runWith(tree, 4, set), name + ", four workers");
        // Tight limits: the workers wait for the run, and files with much matched text are
        // searched again by the run itself.
        expectSameOutcome(alone, runWith(tree, 3, set, {3, 2000}), name + ", tight limits");
    }
}

TEST(ReadAheadRun, OptionsChangedDuringTheRunApplyToTheFilesThatFollow) {
    TempTree tree;
    writeRandomTree(tree, 11, 120);
    // At the 30th file the user asks for the lines without the string and stops omitting
    // backups; files the workers read before that must be searched again under the new rules.
    const auto runChanging = [&](unsigned workers) {
        bool slept = false;
        // Keyed to the files taken, not to the calls: the run also calls while it waits.
        const FolderRun r = searchFolders(
            tree, false, workers,
            [&](SearchRun& run, SearchOptions& options) {
                if (!run.state().Searching) return;
                if (run.state().FilesDone == 1 && !slept) {
                    slept = true;
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
                if (run.state().FilesDone == 30) {
                    options.LinesWithNoMatchesOnly = true;
                    options.OmitBinBak = false;
                }
            },
            "*");
        return RunOutcome{r.rows, {r.state.MatchedLines, r.state.LinesSearched}, ""};
    };
    const RunOutcome alone = runChanging(1);
    const RunOutcome ahead = runChanging(2);
    expectSameOutcome(alone, ahead, "options changed at file 30");
}

TEST(ReadAheadRun, StopEndsTheRunAtTheNextFile) {
    TempTree tree;
    for (int i = 0; i < 200; ++i)
        tree.write("f" + std::to_string(1000 + i) + ".txt", "needle\n");
    RecordingHost host;
    StringSlots slots;
    SearchRun run(host, slots);
    host.options.folderBox = tree.root();
    host.options.filespecBox = "*.*";
    host.options.stringBox = "needle";
    host.options.Workers = 2;
    host.onBetweenFiles = [&] {
        if (run.state().Searching && run.state().FilesDone == 4) run.Stop();
    };
    EXPECT_EQ(run.DoSearch(), RunResult::Done);
    EXPECT_EQ(run.state().FilesDone, 4);
    EXPECT_EQ(run.state().MatchedLines, 4);
    EXPECT_EQ(host.progressTexts.back(), " (aborted)");
}

TEST(ReadAheadRun, ReplaceOnReadsNothingAhead) {
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.write("f" + std::to_string(10 + i) + ".txt", "old\n");
    RecordingHost host;
    StringSlots slots;
    SearchRun run(host, slots);
    host.options.folderBox = tree.root();
    host.options.filespecBox = "*.*";
    host.options.stringBox = "old";
    host.options.Workers = 4;
    host.options.ReplaceOn = true;
    // Before each review the next file gets a second line: a run that had read it ahead would
    // not see the change.
    int reviewed = 0;
    host.onProcessEvents = [&] {
        if (!run.state().Searching || run.state().CurrentFile.empty()) return;
        const int next = 10 + static_cast<int>(run.state().FilesDone);
        if (next < 30) tree.write("f" + std::to_string(next) + ".txt", "old\nold\n");
        ++reviewed;
    };
    run.DoSearch();
    EXPECT_GT(reviewed, 0);
    EXPECT_EQ(run.state().MatchedLines, 1 + 19 * 2);
}

namespace {

// A clock whose readings on worker threads wait until the test lets them go, and are counted.
class GateClock final : public Clock {
public:
    DateValue now() const override {
        std::unique_lock lock(mutex_);
        ++readings_;
        released_.wait(lock, [this] { return open_; });
        return 46000.5;
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        released_.notify_all();
    }
    int readings() const {
        std::lock_guard lock(mutex_);
        return readings_;
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable released_;
    mutable int readings_ = 0;
    bool open_ = false;
};

struct Pool {
    TempTree tree;
    std::vector<std::string> list;
    QuerySet queries;
    Pool(int files, const std::string& body) {
        for (int i = 0; i < files; ++i)
            list.push_back(tree.write("f" + std::to_string(i) + ".txt", body));
        LineQuery q;
        q.finders.emplace_back("needle", true);
        queries = QuerySet(q);
    }
};

// A clock that counts its readings, from any thread.
struct CountingClock final : Clock {
    std::atomic<int>& n;
    explicit CountingClock(std::atomic<int>& c) : n(c) {}
    DateValue now() const override {
        ++n;
        return 46000.5;
    }
};

bool waitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

} // namespace

TEST(ReadAhead, StoppedWorkersStartNoOtherFile) {
    Pool pool(100, "needle\n");
    GateClock clock;
    {
        ReadAhead ahead(2, pool.list, NameRules{}, pool.queries, FileRules{}, clock);
        ASSERT_TRUE(waitUntil([&] { return clock.readings() == 2; })); // each worker holds a file
        ahead.stop();
        clock.open();
        EXPECT_TRUE(ahead.take(0, {}) == nullptr);
    } // joins
    EXPECT_EQ(clock.readings(), 2);
}

TEST(ReadAhead, StaysWithinItsLimitsAndHandsOutInListOrder) {
    Pool pool(40, "x needle\nneedle\n");
    FakeClock clock;
    ReadAhead ahead(3, pool.list, NameRules{}, pool.queries, FileRules{}, clock, {5, 1 << 20});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::size_t handed = 0;
    for (std::size_t n = 0; n < pool.list.size(); ++n) {
        auto f = ahead.take(n, {});
        if (!f) continue; // no worker had started it: the caller reads it
        ++handed;
        ASSERT_TRUE(f->examined);
        ASSERT_EQ(f->lines.size(), 2u);
        EXPECT_EQ(f->bytes.substr(f->lines[0].offset, f->lines[0].length), "x needle");
        EXPECT_EQ(f->lines[1].position, 1u);
        EXPECT_EQ(f->tally.linesExamined, 2u);
    }
    EXPECT_GE(handed, 5u); // the files read while the caller slept, at least
    EXPECT_TRUE(ahead.take(pool.list.size(), {}) == nullptr); // past the end: nothing to wait for
}

TEST(ReadAhead, BoundedInFilesAndInMatchedBytes) {
    Pool pool(40, std::string(300, 'a') + " needle\n");
    std::atomic<int> readings{0};
    CountingClock clock(readings);
    {
        // Five files ahead at most.
        ReadAhead ahead(3, pool.list, NameRules{}, pool.queries, FileRules{}, clock, {5, 1 << 20});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int started = readings.load();
        EXPECT_GE(started, 5);
        EXPECT_LE(started, 5 * 3); // a file's budget and the searcher's readings
    }
    readings = 0;
    {
        // 1000 bytes ahead at most: a file holds one matched line of 307 bytes and its records.
        ReadAhead ahead(2, pool.list, NameRules{}, pool.queries, FileRules{}, clock, {100, 1000});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        auto first = ahead.take(0, {});
        ASSERT_NE(first, nullptr);
        EXPECT_FALSE(first->overflow);
        EXPECT_LE(readings.load(), 5 * 3);
    }
    {
        // A file with more matched text than the limit is left to the run.
        readings = 0;
        ReadAhead ahead(1, pool.list, NameRules{}, pool.queries, FileRules{}, clock, {100, 100});
        ASSERT_TRUE(waitUntil([&] { return readings.load() > 0; }));
        auto first = ahead.take(0, {});
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->overflow);
        EXPECT_TRUE(first->lines.empty());
    }
}

TEST(ReadAheadRun, TwoSecondBudgetCountsOnTheWorkerThatReads) {
    TempTree tree;
    std::string slow;
    for (int i = 1; i <= 3000; ++i)
        slow += "hit " + std::to_string(i) + "\n";
    tree.write("slow.txt", slow);
    RecordingHost host;
    StringSlots slots;
    SearchRun run(host, slots);
    host.options.folderBox = tree.root();
    host.options.filespecBox = "*.*";
    host.options.stringBox = "hit";
    host.options.Workers = 2;
    host.clock_.step = 0.3 * kOneSecond;
    run.DoSearch();
    const std::string s = tree.path("slow.txt");
    const auto rows = host.rows();
    const auto err = std::find(rows.begin(), rows.end(), "-1|Searching File too slow|" + s + "|");
    ASSERT_NE(err, rows.end());
    EXPECT_EQ(*(err + 1), "-1|aborted after 2 seconds|" + s + "|");
    EXPECT_THAT(rows, ::testing::Contains("1|hit 1|" + s + "|1")); // matches before the limit stay
    EXPECT_LT(run.state().LinesSearched, 3000);
}

TEST(ReadAhead, WorkersWaitForAListThatIsStillGrowing) {
    Pool pool(30, "needle\n");
    std::atomic<int> readings{0};
    CountingClock clock(readings);
    ReadAhead ahead(2, GrowingList{}, NameRules{}, pool.queries, FileRules{}, clock);
    const std::vector<std::string> firstFolder(pool.list.begin(), pool.list.begin() + 10);
    ahead.extendList(firstFolder, false);
    ASSERT_TRUE(waitUntil([&] { return readings.load() >= 10; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the workers run out of entries
    const int beforeRest = readings.load();
    ahead.extendList(pool.list, true);
    // Every file reads the clock at least once: the workers took up the rest of the list.
    ASSERT_TRUE(waitUntil([&] { return readings.load() >= beforeRest + 20; }));
    for (std::size_t n = 0; n < pool.list.size(); ++n) {
        const auto f = ahead.take(n, {});
        ASSERT_NE(f, nullptr) << n;
        EXPECT_TRUE(f->examined);
        EXPECT_EQ(f->lines.size(), 1u);
    }
    EXPECT_TRUE(ahead.take(pool.list.size(), {}) == nullptr);
}

TEST(ReadAhead, OneWorkerLeavesItsCoreToTheListingUntilItIsComplete) {
    Pool pool(200, "needle\n"); // more than one batch
    GateClock clock;            // each worker holds its first file until the gate opens
    ReadAhead ahead(2, GrowingList{}, NameRules{}, pool.queries, FileRules{}, clock);
    ahead.extendList(pool.list, false);
    waitUntil([&] { return clock.readings() >= 1; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int whileListing = clock.readings(); // the second worker waits for the listing's end
    ahead.extendList(pool.list, true);
    const bool bothWork = waitUntil([&] { return clock.readings() == 2; });
    clock.open(); // before any check, so the workers never stay blocked
    EXPECT_EQ(whileListing, 1);
    EXPECT_TRUE(bothWork);
    for (std::size_t n = 0; n < pool.list.size(); ++n)
        ASSERT_NE(ahead.take(n, {}), nullptr) << n;
}

TEST(ListingRun, EventsAreHandledBetweenFoldersAndStopEndsTheListing) {
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.write("d" + std::to_string(100 + i) + "/f.txt", "needle\n");
    for (const bool advanced : {false, true})
        for (const unsigned workers : {1u, 2u}) {
            const std::string what =
                (advanced ? "advanced scan, " : "simple scan, ") + std::to_string(workers);
            SCOPED_TRACE(what);
            const auto search = [&](const std::function<void(SearchRun&)>& atFolder) {
                return searchFolders(tree, advanced, workers, [&](SearchRun& run, SearchOptions&) {
                    if (run.state().FileTotal == 0) atFolder(run);
                });
            };
            int folders = 0;
            const FolderRun whole = search([&](SearchRun&) { ++folders; });
            EXPECT_GE(folders, 40) << what;
            EXPECT_EQ(whole.state.MatchedLines, 40) << what;
            int seen = 0;
            const FolderRun stoppedRun = search([&](SearchRun& run) {
                if (++seen == 10) run.Stop();
            });
            const SearchState& stopped = stoppedRun.state;
            EXPECT_GT(stopped.FileTotal, 0) << what;
            EXPECT_LT(stopped.FileTotal, whole.state.FileTotal) << what; // ended at the Stop
            // Only files the workers finished while listing were searched, none after it.
            EXPECT_LE(stopped.FilesDone, workers == 1 ? 0 : stopped.FileTotal) << what;
            // Each file taken was searched whole: it holds one matching line. The simple
            // scanner's list also holds the folders and their "." and "..", which match nothing.
            EXPECT_EQ(stopped.MatchedLines, stopped.MatchedFiles) << what;
            if (advanced) {
                EXPECT_EQ(stopped.MatchedLines, stopped.FilesDone) << what;
            }
            EXPECT_EQ(stoppedRun.progress, " (aborted)") << what;
        }
}

TEST(ListingRun, RowsComeWhileTheFoldersAreListedAndEndWhereARunAloneWritesThem) {
    TempTree tree;
    for (int i = 0; i < 30; ++i)
        tree.write("d" + std::to_string(100 + i) + "/f.txt",
                   "a needle\nhay\nneedle " + std::to_string(i) + "\n");
    tree.write("d105/g.bin", std::string(300, '\0') + "needle");
    for (const bool advanced : {false, true}) {
        const std::string what = advanced ? "advanced scan" : "simple scan";
        SCOPED_TRACE(what);
        const auto search = [&](unsigned workers, std::int64_t* matchedWhileListing) {
            int pauses = 0;
            return outcomeOf(
                searchFolders(tree, advanced, workers, [&](SearchRun& run, SearchOptions&) {
                    if (run.state().FileTotal != 0) return;
                    *matchedWhileListing = run.state().MatchedLines;
                    // Time for a worker to finish the files listed so far, until rows come.
                    if (*matchedWhileListing == 0 && ++pauses <= 40)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }));
        };
        std::int64_t aloneWhileListing = 0, aheadWhileListing = 0;
        const RunOutcome alone = search(1, &aloneWhileListing);
        const RunOutcome ahead = search(2, &aheadWhileListing);
        EXPECT_EQ(aloneWhileListing, 0) << what;
        EXPECT_GT(aheadWhileListing, 0) << what;
        EXPECT_EQ(alone.counts[0], 60) << what;
        expectSameOutcome(alone, ahead, what);
    }
}

// Replace switched on while the folders are listed: the files after it are read by the run
// itself for their review, as in a run alone.
TEST(ListingRun, ReplaceSwitchedOnWhileListingEndsTheReadingAhead) {
    TempTree tree;
    for (int i = 0; i < 30; ++i)
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            tree.write("d" + std::to_string(100 + i) + "/" + name, "needle\n");
    const auto search = [&](unsigned workers) {
        int pauses = 0;
        return outcomeOf(
            searchFolders(tree, true, workers, [&](SearchRun& run, SearchOptions& options) {
                if (run.state().FilesDone >= 1) options.ReplaceOn = true;
                // Time for a worker to finish a folder's three files, so several wait together.
                if (run.state().FileTotal == 0 && run.state().FilesDone == 0 && ++pauses <= 20)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }));
    };
    const RunOutcome alone = search(1);
    EXPECT_EQ(alone.counts[0], 90);
    expectSameOutcome(alone, search(2), "Replace switched on while listing");
}

TEST(ReadAhead, WorkerCountSetting) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    EXPECT_EQ(workerCount(nullptr), cores);
    EXPECT_EQ(workerCount(""), cores);
    EXPECT_EQ(workerCount("two"), cores);
    EXPECT_EQ(workerCount("1"), 1u);
    EXPECT_EQ(workerCount("0"), 0u);
    EXPECT_EQ(workerCount("4"), 4u);
}
