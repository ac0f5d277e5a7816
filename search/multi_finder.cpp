#include "search/multi_finder.h"

#include <stdexcept>

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
hs_scratch_t* scratchOf(void* p) {
    return static_cast<hs_scratch_t*>(p);
}

int onHit(unsigned id, unsigned long long, unsigned long long to, unsigned, void* context) {
    static_cast<std::vector<MultiFinder::Hit>*>(context)->push_back(
        {static_cast<std::uint32_t>(to), id});
    return 0;
}

bool holdsBreak(const std::string& s) {
    for (const char c : s)
        if (isBreakByte(c)) return true;
    return false;
}
} // namespace

MultiFinder::Scratch::~Scratch() {
    if (space_) hs_free_scratch(scratchOf(space_));
}

MultiFinder::~MultiFinder() {
    if (prototype_) hs_free_scratch(scratchOf(prototype_));
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
    hs_scratch_t* proto = nullptr;
    if (hs_alloc_scratch(database, &proto) != HS_SUCCESS) return nullptr;
    m->prototype_ = proto;
    return m;
}

void MultiFinder::scan(const char* p, std::size_t n, Scratch& scratch,
                       std::vector<Hit>& hits) const {
    if (!scratch.space_) {
        hs_scratch_t* s = nullptr;
        if (hs_clone_scratch(scratchOf(prototype_), &s) != HS_SUCCESS) throw std::bad_alloc();
        scratch.space_ = s;
    }
    hs_scan(db(database_), p, static_cast<unsigned>(n), 0, scratchOf(scratch.space_), onHit, &hits);
}

#else

MultiFinder::Scratch::~Scratch() = default;
MultiFinder::~MultiFinder() = default;
std::shared_ptr<const MultiFinder> MultiFinder::build(const std::vector<Finder>&) {
    return nullptr;
}
void MultiFinder::scan(const char*, std::size_t, Scratch&, std::vector<Hit>&) const {}

#endif

} // namespace vesk
