#include "search/read_ahead.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "lib/text.h"
#include "search/regex_match.h"

namespace vesk {

namespace {

// Keeps a file's matched lines in one block of bytes, up to a limit.
class FindingsRecorder final : public LineVisitor {
public:
    FindingsRecorder(FileFindings& findings, std::size_t limit) : f_(findings), limit_(limit) {}

    void onMatch(std::uint64_t lineNumber, std::string_view line, std::size_t position) override {
        if (f_.overflow) return;
        if (f_.bytes.size() + line.size() > limit_) {
            f_.overflow = true;
            f_.lines = {};
            f_.bytes = {};
            return;
        }
        f_.lines.push_back({lineNumber, position, f_.bytes.size(), line.size()});
        f_.bytes.append(line);
    }

private:
    FileFindings& f_;
    std::size_t limit_;
};

} // namespace

ReadAhead::ReadAhead(unsigned workers, const std::vector<std::string>& list, const NameRules& names,
                     const QuerySet& queries, FileRules rules, const Clock& clock,
                     ReadAheadLimits limits, const std::vector<Regex>* expressions)
    : ReadAhead(workers, GrowingList{}, names, queries, rules, clock, limits, expressions) {
    extendList(list, true);
}

ReadAhead::ReadAhead(unsigned workers, GrowingList, const NameRules& names, const QuerySet& queries,
                     FileRules rules, const Clock& clock, ReadAheadLimits limits,
                     const std::vector<Regex>* expressions)
    : names_(names), queries_(queries), expressions_(expressions), clock_(clock), limits_(limits),
      batch_(std::clamp<std::size_t>(limits.batch, 1, std::max<std::size_t>(limits.files, 1))),
      rules_(rules) {
    threads_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i)
        threads_.emplace_back([this, i, workers] { work(workers > 1 && i == 0); });
}

ReadAhead::~ReadAhead() {
    stop();
    for (std::thread& t : threads_)
        t.join();
}

void ReadAhead::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    workToDo_.notify_all();
    listingEnded_.notify_all();
    findingsReady_.notify_all();
}

void ReadAhead::extendList(const std::vector<std::string>& list, bool complete) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (listComplete_ || list.size() < list_.size()) return;
        list_.insert(list_.end(), list.begin() + static_cast<std::ptrdiff_t>(list_.size()),
                     list.end());
        listComplete_ = complete;
        // Only a worker that waits for work is woken: a busy one finds the new entries itself.
        wake = complete || (idleWorkers_ > 0 && mayStart());
    }
    if (wake) workToDo_.notify_all();
    if (complete) listingEnded_.notify_all();
}

void ReadAhead::setRules(const FileRules& rules) {
    std::lock_guard lock(mutex_);
    rules_ = rules;
}

bool ReadAhead::mayStart() const {
    if (next_ >= list_.size()) return false;
    // The entry the run waits for always starts; beyond it the workers stay within the limits.
    if (next_ <= wanted_) return true;
    // While the folders are listed a worker waits for a whole batch: one wake-up a batch, not one
    // a folder.
    if (!listComplete_ && list_.size() - next_ < batch_) return false;
    return next_ + batch_ <= wanted_ + limits_.files && bytesAhead_ < limits_.bytes;
}

void ReadAhead::work(bool yieldsToListing) {
    TextFileReader reader;
    RegexMatcher matcher;           // each thread matches expressions with its own
    std::vector<std::string> paths; // the batch's entries, copied: the list may grow meanwhile
    // A batch's findings are handed over together: one lock and at most one wake-up a batch.
    std::vector<std::pair<std::size_t, std::unique_ptr<FileFindings>>> done;
    std::size_t doneBytes = 0;
    const auto handOver = [&] {
        for (auto& [n, found] : done) {
            bytesAhead_ += found->footprint();
            ready_[n] = std::move(found);
        }
        done.clear();
        doneBytes = 0;
        // Waking the run costs a context switch: only when it waits for what was handed over.
        if (runWaits_ && ready_.count(wanted_) > 0) findingsReady_.notify_one();
    };
    std::unique_lock lock(mutex_);
    // The rows wait for the end of the listing (they follow the file total), so the listing keeps
    // a core of its own and the first rows come as soon as without workers.
    if (yieldsToListing) listingEnded_.wait(lock, [this] { return stopped_ || listComplete_; });
    while (true) {
        ++idleWorkers_;
        workToDo_.wait(lock, [this] { return stopped_ || mayStart() || listDone(); });
        --idleWorkers_;
        if (stopped_ || listDone()) return;
        const std::size_t first = next_;
        const std::size_t last = std::min(first + batch_, list_.size());
        next_ = last;
        const FileRules rules = rules_;
        paths.assign(list_.begin() + static_cast<std::ptrdiff_t>(first),
                     list_.begin() + static_cast<std::ptrdiff_t>(last));
        lock.unlock();
        for (std::size_t n = first; n < last; ++n) {
            // Within a batch too, matched text waits for room unless the run wants this file.
            if (bytesAhead_.load(std::memory_order_relaxed) + doneBytes >= limits_.bytes) {
                lock.lock();
                handOver();
                ++waitingInBatch_;
                workToDo_.wait(
                    lock, [&] { return stopped_ || n <= wanted_ || bytesAhead_ < limits_.bytes; });
                --waitingInBatch_;
                lock.unlock();
            }
            if (stopped_) return;
            std::unique_ptr<FileFindings> found = examine(paths[n - first], rules, reader, matcher);
            doneBytes += found->footprint();
            done.emplace_back(n, std::move(found));
        }
        lock.lock();
        if (stopped_) return;
        handOver();
    }
}

std::unique_ptr<FileFindings> ReadAhead::examine(const std::string& path, const FileRules& rules,
                                                 TextFileReader& reader, RegexMatcher& matcher) {
    auto f = std::make_unique<FileFindings>();
    f->rules = rules;
    // Names the run skips, or whose extension the mask refuses, are left for the run to decide:
    // nothing of them is read here.
    if (trimView(path).empty() || excludedByName(path, rules, names_) ||
        wrongExtension(path, rules, names_))
        return f;
    f->examined = true;
    f->check = checkFile(path, false, reader, clock_);
    if (!f->check.text.isText) return f;
    FindingsRecorder recorder(*f, limits_.bytes);
    f->tally = searchText(
        reader, queries_.forRules(rules), clock_, f->check.deadline, recorder,
        [this, &f] { return f->overflow || stopped_.load(std::memory_order_relaxed); },
        ExpressionSearch{expressions_, &matcher});
    return f;
}

std::unique_ptr<FileFindings> ReadAhead::take(std::size_t n,
                                              const std::function<void()>& whileWaiting) {
    std::unique_lock lock(mutex_);
    if (n >= list_.size()) return nullptr;
    wanted_ = n;
    if (next_ <= n) {
        // No worker has started it: the run reads it itself rather than wait for one.
        next_ = n + 1;
        wanted_ = n + 1;
        const bool room = mayStart() || waitingInBatch_ > 0;
        lock.unlock();
        if (room) workToDo_.notify_all();
        return nullptr;
    }
    while (true) {
        if (stopped_) return nullptr;
        const auto it = ready_.find(n);
        if (it != ready_.end()) {
            std::unique_ptr<FileFindings> f = std::move(it->second);
            ready_.erase(it);
            bytesAhead_ -= f->footprint();
            wanted_ = n + 1;
            const bool room = mayStart() || waitingInBatch_ > 0;
            lock.unlock();
            if (room) workToDo_.notify_all();
            return f;
        }
        runWaits_ = true;
        const std::cv_status waited = findingsReady_.wait_for(lock, kWaitSlice);
        runWaits_ = false;
        if (waited == std::cv_status::timeout && whileWaiting) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
}

bool ReadAhead::isReady(std::size_t n) {
    std::lock_guard lock(mutex_);
    return ready_.count(n) > 0;
}

unsigned workerCount(const char* setting) {
    unsigned n = 0;
    const char* end = setting ? setting + std::strlen(setting) : nullptr;
    if (setting && *setting && std::from_chars(setting, end, n).ptr == end) return n;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

} // namespace vesk
