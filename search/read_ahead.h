#pragma once
// Worker threads that open, text-test and search the files ahead of a run's current file, so a
// run uses every core while the run itself, its rows and its host stay on one thread. Findings
// are kept per file until the run takes them, strictly in list order; how far the workers may
// run ahead is bounded in files and in bytes of matched text.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lib/clock.h"
#include "search/file_search.h"

namespace vesk {

// One matched line of a file searched ahead: its text is bytes[offset, offset + length).
struct FoundLine {
    std::uint64_t lineNumber = 0;
    std::size_t position = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
};

// What a worker found in one file, for the run to write at the file's turn.
struct FileFindings {
    FileRules rules;       // the rules the worker applied
    bool examined = false; // false: the name rules excluded it, nothing was read
    FileCheck check;
    FileTally tally;
    std::vector<FoundLine> lines;
    std::string bytes;
    bool overflow = false; // more matched text than a file may hold ahead: the run searches it
    std::size_t footprint() const {
        return bytes.size() + lines.size() * sizeof(FoundLine) + sizeof(*this);
    }
};

struct ReadAheadLimits {
    // Findings kept ahead of the run. While the folders are listed the run takes only what is
    // ready, and a bound the workers reach then leaves cores idle. Most findings are a few
    // hundred bytes (no matching line); `bytes` bounds their memory, records included.
    std::size_t files = 65536;
    std::size_t bytes = 16 * 1024 * 1024; // findings kept ahead (and matched text of one file)
    // Files a worker takes at once (at most `files`). The run, which mostly waits for the file a
    // worker is reading, is woken once per batch instead of once per file.
    std::size_t batch = 64;
};

// Marks a read-ahead whose list is handed over piece by piece while the folders are listed.
struct GrowingList {};

class ReadAhead {
public:
    // Starts `workers` threads over a copy of the complete `list`. With `expressions` (the run's
    // strings as regular expressions, shared read-only) the workers search them instead of the
    // queries' literal strings.
    ReadAhead(unsigned workers, const std::vector<std::string>& list, const NameRules& names,
              const QuerySet& queries, FileRules rules, const Clock& clock,
              ReadAheadLimits limits = {}, const std::vector<Regex>* expressions = nullptr);
    // Starts the workers on an empty list that extendList grows.
    ReadAhead(unsigned workers, GrowingList, const NameRules& names, const QuerySet& queries,
              FileRules rules, const Clock& clock, ReadAheadLimits limits = {},
              const std::vector<Regex>* expressions = nullptr);
    ~ReadAhead(); // stops and joins the workers
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Takes the entries of `list` beyond those already given: `list` must begin with them, as a
    // scanner's list does while it grows. `complete`: no entry follows.
    void extendList(const std::vector<std::string>& list, bool complete);
    // The rules for the files not yet started.
    void setRules(const FileRules& rules);
    // The findings of entry n (n only grows from call to call; while the list still grows, only
    // an entry that isReady). While they are not ready, `whileWaiting` is called about every
    // `kWaitSlice`. Null when no worker had started the entry (the caller reads it itself) or once
    // the workers were stopped.
    std::unique_ptr<FileFindings> take(std::size_t n, const std::function<void()>& whileWaiting);
    // Whether a worker has finished entry n: take(n) then returns at once.
    bool isReady(std::size_t n);
    // Ends the workers' reading: each gives up its file at the next segment and takes no other.
    void stop();

    static constexpr auto kWaitSlice = std::chrono::milliseconds(20);

private:
    // `yieldsToListing`: the worker starts only once the list is complete, leaving its core to
    // the thread that lists the folders.
    void work(bool yieldsToListing);
    bool mayStart() const;                                                   // with the lock held
    bool listDone() const { return listComplete_ && next_ >= list_.size(); } // with the lock held
    std::unique_ptr<FileFindings> examine(const std::string& path, const FileRules& rules,
                                          TextFileReader& reader, RegexMatcher& matcher);

    const NameRules names_;
    const QuerySet& queries_;
    const std::vector<Regex>* expressions_;
    const Clock& clock_;
    const ReadAheadLimits limits_;
    const std::size_t batch_;

    std::mutex mutex_;
    std::condition_variable workToDo_, findingsReady_;
    std::condition_variable listingEnded_; // for the worker that waits for the end of the listing
    std::vector<std::string> list_;
    bool listComplete_ = false;
    FileRules rules_;
    std::size_t next_ = 0;                   // the next entry a worker starts
    std::size_t wanted_ = 0;                 // the entry the run takes next
    std::atomic<std::size_t> bytesAhead_{0}; // changed with the lock held
    bool runWaits_ = false;                  // the run waits in take() for entry wanted_
    unsigned waitingInBatch_ = 0;            // workers waiting for room in the middle of a batch
    unsigned idleWorkers_ = 0;               // workers waiting for entries to start
    std::map<std::size_t, std::unique_ptr<FileFindings>> ready_;
    std::atomic<bool> stopped_{false};
    std::vector<std::thread> threads_;
};

// The worker count for a setting text (SearchOptions::Workers): the number it holds (0 and 1 mean
// no read-ahead); none, or a text that is not a number, means one per core.
unsigned workerCount(const char* setting);

} // namespace vesk
