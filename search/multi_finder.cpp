#include "search/multi_finder.h"

#include <atomic>
#include <new>

#if VESK_HAVE_VECTORSCAN
#include <hs.h>
#endif

#include "search/lines.h"

namespace vesk {

#if VESK_HAVE_VECTORSCAN

namespace {
hs_database_t* db(void* p) {
    return static_cast<hs_database_t*>(p);
}

int onHit(unsigned id, unsigned long long, unsigned long long to, unsigned, void* context) {
    static_cast<std::vector<MultiFinder::Hit>*>(context)->push_back(
        {static_cast<std::uint32_t>(to), id});
    return 0;
}

// Each thread keeps one scratch space for all its scans: searchers live for one file, and a
// scratch space made per file costs more than a small file costs to scan. Sizing it checks the
// whole database, so that is done once per database and thread.
struct ThreadScratch {
    hs_scratch_t* space = nullptr;
    std::uint64_t sizedFor = 0; // the serial of the last database it was sized for
    ~ThreadScratch() {
        if (space) hs_free_scratch(space);
    }
};
thread_local ThreadScratch tlsScratch;
std::atomic<std::uint64_t> lastSerial{0};

bool holdsBreak(const std::string& s) {
    for (const char c : s)
        if (isBreakByte(c)) return true;
    return false;
}
} // namespace

MultiFinder::~MultiFinder() {
    if (database_) hs_free_database(db(database_));
}

std::shared_ptr<const MultiFinder> MultiFinder::build(const std::vector<Finder>& finders) {
    std::vector<const char*> patterns;
    std::vector<std::size_t> lengths;
    std::vector<unsigned> flags, ids;
    for (std::size_t i = 0; i < finders.size(); ++i) {
        const Finder& f = finders[i];
        if (f.empty() || holdsBreak(f.pattern())) continue;
        patterns.push_back(f.pattern().data());
        lengths.push_back(f.size());
        // Without case the engine folds a to z only, as the finders do; the pattern's bytes above
        // 127 stay exact.
        flags.push_back(f.caseInsensitive() ? HS_FLAG_CASELESS : 0u);
        ids.push_back(static_cast<unsigned>(i));
    }
    if (patterns.size() < 2) return nullptr;
    hs_database_t* database = nullptr;
    hs_compile_error_t* error = nullptr;
    if (hs_compile_lit_multi(patterns.data(), flags.data(), ids.data(), lengths.data(),
                             static_cast<unsigned>(patterns.size()), HS_MODE_BLOCK, nullptr,
                             &database, &error) != HS_SUCCESS) {
        // Literal sets always compile; should the engine refuse one, the finders still work alone.
        hs_free_compile_error(error);
        return nullptr;
    }
    std::shared_ptr<MultiFinder> m(new MultiFinder);
    m->database_ = database;
    m->serial_ = ++lastSerial;
    return m;
}

void MultiFinder::scan(const char* p, std::size_t n, std::vector<Hit>& hits) const {
    if (tlsScratch.sizedFor != serial_) {
        // Grows the thread's scratch space when this database needs more; otherwise leaves it be.
        if (hs_alloc_scratch(db(database_), &tlsScratch.space) != HS_SUCCESS)
            throw std::bad_alloc();
        tlsScratch.sizedFor = serial_;
    }
    hs_scan(db(database_), p, static_cast<unsigned>(n), 0, tlsScratch.space, onHit, &hits);
}

#else

MultiFinder::~MultiFinder() = default;
std::shared_ptr<const MultiFinder> MultiFinder::build(const std::vector<Finder>&) {
    return nullptr;
}
void MultiFinder::scan(const char*, std::size_t, std::vector<Hit>&) const {}

#endif

} // namespace vesk
