#include "search/multi_finder.h"

#include <atomic>
#include <new>

#if VESK_HAVE_VECTORSCAN
#include <hs.h>
#endif

#include "search/lines.h"

namespace vesk {

namespace {
// How surprising each byte is in source code and prose: -8 log2 of its share of the bytes of C
// headers, Python sources and documentation, letters counted without case; 255 for bytes hardly
// ever seen there.
constexpr std::uint8_t kSurprise[256] = {
    255, 255, 255, 255, 255, 255, 255, 255, 255, 67,  43,  255, 155, 183, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 21,  99,  70,  61,  114, 104,
    84,  66,  51,  51,  50,  91,  52,  59,  59,  52,  58,  61,  64,  69,  71,  67,  72,  76,  73,
    68,  63,  63,  77,  72,  76,  105, 90,  38,  53,  40,  42,  30,  46,  50,  49,  36,  74,  54,
    40,  47,  35,  37,  43,  74,  38,  34,  33,  46,  56,  63,  55,  55,  76,  74,  75,  74,  115,
    38,  74,  38,  53,  40,  42,  30,  46,  50,  49,  36,  74,  54,  40,  47,  35,  37,  43,  74,
    38,  34,  33,  46,  56,  63,  55,  55,  76,  78,  90,  78,  106, 255, 123, 130, 132, 137, 140,
    141, 139, 130, 131, 140, 143, 145, 140, 142, 143, 128, 138, 134, 139, 139, 125, 138, 125, 142,
    140, 133, 139, 142, 135, 139, 143, 115, 136, 138, 143, 139, 137, 141, 140, 137, 140, 133, 144,
    130, 143, 142, 141, 143, 138, 138, 138, 140, 138, 139, 138, 140, 119, 131, 139, 140, 136, 139,
    137, 142, 255, 255, 135, 117, 147, 145, 178, 179, 175, 166, 171, 183, 168, 190, 123, 137, 112,
    125, 175, 177, 181, 174, 141, 129, 142, 142, 180, 182, 255, 255, 255, 255, 120, 143, 113, 143,
    158, 147, 148, 151, 154, 155, 160, 161, 163, 170, 255, 144, 118, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255,
};
} // namespace

std::string_view MultiFinder::pieceOf(std::string_view pattern) {
    if (pattern.size() <= kPieceSize) return pattern;
    const auto surprise = [](char c) { return kSurprise[static_cast<unsigned char>(c)]; };
    unsigned sum = 0;
    for (std::size_t i = 0; i < kPieceSize; ++i)
        sum += surprise(pattern[i]);
    unsigned best = sum;
    std::size_t bestAt = 0;
    for (std::size_t at = 1; at + kPieceSize <= pattern.size(); ++at) {
        sum += surprise(pattern[at + kPieceSize - 1]);
        sum -= surprise(pattern[at - 1]);
        if (sum > best) {
            best = sum;
            bestAt = at;
        }
    }
    return pattern.substr(bestAt, kPieceSize);
}

#if VESK_HAVE_VECTORSCAN

namespace {
hs_database_t* db(void* p) {
    return static_cast<hs_database_t*>(p);
}

struct ScanContext {
    std::vector<MultiFinder::Hit>& hits;
    const std::uint32_t* pieceSizes;
};

int onHit(unsigned id, unsigned long long, unsigned long long to, unsigned, void* context) {
    auto* c = static_cast<ScanContext*>(context);
    c->hits.push_back({static_cast<std::uint32_t>(to) - c->pieceSizes[id], id});
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
    std::vector<std::uint32_t> pieceSizes(finders.size(), 0);
    for (std::size_t i = 0; i < finders.size(); ++i) {
        const Finder& f = finders[i];
        if (f.empty() || holdsBreak(f.pattern())) continue;
        const std::string_view piece = pieceOf(f.pattern());
        patterns.push_back(piece.data());
        lengths.push_back(piece.size());
        pieceSizes[i] = static_cast<std::uint32_t>(piece.size());
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
    m->pieceSizes_ = std::move(pieceSizes);
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
    ScanContext context{hits, pieceSizes_.data()};
    hs_scan(db(database_), p, static_cast<unsigned>(n), 0, tlsScratch.space, onHit, &context);
}

#else

MultiFinder::~MultiFinder() = default;
std::shared_ptr<const MultiFinder> MultiFinder::build(const std::vector<Finder>&) {
    return nullptr;
}
void MultiFinder::scan(const char*, std::size_t, std::vector<Hit>&) const {}

#endif

} // namespace vesk
