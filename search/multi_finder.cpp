#include "search/multi_finder.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

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
    std::uint32_t finders; // ids from here on are decoys
};

int onHit(unsigned id, unsigned long long, unsigned long long to, unsigned, void* context) {
    auto* c = static_cast<ScanContext*>(context);
    if (id < c->finders)
        c->hits.push_back({static_cast<std::uint32_t>(to) - c->pieceSizes[id], id});
    return 0;
}

// The literal set as Vectorscan takes it.
struct Literals {
    std::vector<const char*> patterns;
    std::vector<std::size_t> lengths;
    std::vector<unsigned> flags, ids;
    std::vector<std::string> decoys; // owns the bytes of the literals added by `shapeForText`

    void add(std::string_view bytes, unsigned flag, unsigned id) {
        patterns.push_back(bytes.data());
        lengths.push_back(bytes.size());
        flags.push_back(flag);
        ids.push_back(id);
    }
};

// Bytes that never occur in UTF-8 and hardly ever in other text.
constexpr unsigned char kForeign[] = {0xC0, 0xC1, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,
                                      0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// Vectorscan shapes its screen by the set's size and shortest literal. When every literal is long
// it steps through the text up to four bytes at a time, and under a hundred literals it keys its
// table by fewer bits; for sets of words from source code either lets most positions through to be
// confirmed one at a time, and the scan runs at half the speed or less. So a set of two dozen long
// literals or more gets decoys: enough to make a hundred, and one of three bytes to keep the step
// small. Decoys are distinct runs of foreign bytes, report at most once per scan, and their reports
// are dropped.
void shapeForText(Literals& set, unsigned firstDecoyId) {
    constexpr std::size_t kShapedFrom = 24, kWideTableFrom = 100, kShortSize = 3;
    const std::size_t count = set.patterns.size();
    if (count < kShapedFrom ||
        *std::min_element(set.lengths.begin(), set.lengths.end()) <= kShortSize)
        return;
    constexpr std::size_t n = sizeof kForeign;
    const std::size_t decoys = std::max(count, kWideTableFrom - 1) + 1 - count;
    set.decoys.reserve(decoys); // the literals point into these strings: they must not move
    for (std::size_t k = 0; k < decoys; ++k) {
        // Decoy k spells k in base n, each digit shifted by its place: none is one byte repeated.
        std::string& d =
            set.decoys.emplace_back(k == 0 ? kShortSize : MultiFinder::kPieceSize, '\0');
        std::size_t rest = k;
        for (std::size_t j = 0; j < d.size(); ++j, rest /= n)
            d[j] = static_cast<char>(kForeign[(rest % n + j) % n]);
        set.add(d, HS_FLAG_SINGLEMATCH, firstDecoyId + static_cast<unsigned>(k));
    }
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
    Literals set;
    std::vector<std::uint32_t> pieceSizes(finders.size(), 0);
    for (std::size_t i = 0; i < finders.size(); ++i) {
        const Finder& f = finders[i];
        if (f.empty() || holdsBreak(f.pattern())) continue;
        const std::string_view piece = pieceOf(f.pattern());
        pieceSizes[i] = static_cast<std::uint32_t>(piece.size());
        // Without case the engine folds a to z only, as the finders do; the pattern's bytes above
        // 127 stay exact.
        set.add(piece, f.caseInsensitive() ? HS_FLAG_CASELESS : 0u, static_cast<unsigned>(i));
    }
    if (set.patterns.size() < 2) return nullptr;
    shapeForText(set, static_cast<unsigned>(finders.size()));
    hs_database_t* database = nullptr;
    hs_compile_error_t* error = nullptr;
    if (hs_compile_lit_multi(set.patterns.data(), set.flags.data(), set.ids.data(),
                             set.lengths.data(), static_cast<unsigned>(set.patterns.size()),
                             HS_MODE_BLOCK, nullptr, &database, &error) != HS_SUCCESS) {
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
    ScanContext context{hits, pieceSizes_.data(), static_cast<std::uint32_t>(pieceSizes_.size())};
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
