#pragma once
// Finds every occurrence of several patterns in one pass over a buffer. Built on Vectorscan when
// the build has it; without it (or with fewer than two patterns) `build` gives nothing and the
// line search scans with each pattern's own Finder.

#include <cstdint>
#include <memory>
#include <vector>

#include "search/finder.h"

namespace vesk {

class MultiFinder {
public:
    struct Hit {
        std::uint32_t end; // offset just after the occurrence, from the scanned buffer's start
        std::uint32_t id;  // index of the finder in the list it was built from
    };

    // Patterns that are empty or hold a line break never match within a line and are left out.
    // Null when there is no multi-pattern engine or fewer than two patterns remain.
    static std::shared_ptr<const MultiFinder> build(const std::vector<Finder>& finders);
    ~MultiFinder();
    MultiFinder(const MultiFinder&) = delete;
    MultiFinder& operator=(const MultiFinder&) = delete;

    // Appends the occurrences in [p, p + n) (n below 4 GiB) to `hits`, not necessarily in order.
    // Safe to call from several threads at once: each uses working memory of its own.
    void scan(const char* p, std::size_t n, std::vector<Hit>& hits) const;

private:
    MultiFinder() = default;
    void* database_ = nullptr;
    std::uint64_t serial_ = 0; // tells databases apart for the threads' scratch spaces
};

} // namespace vesk
