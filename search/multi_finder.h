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

    // Per-thread working memory for scans; one per LineSearcher.
    class Scratch {
    public:
        Scratch() = default;
        ~Scratch();
        Scratch(const Scratch&) = delete;
        Scratch& operator=(const Scratch&) = delete;

    private:
        friend class MultiFinder;
        void* space_ = nullptr;
    };

    // Patterns that are empty or hold a line break never match within a line and are left out.
    // Null when there is no multi-pattern engine or fewer than two patterns remain.
    static std::shared_ptr<const MultiFinder> build(const std::vector<Finder>& finders);
    ~MultiFinder();
    MultiFinder(const MultiFinder&) = delete;
    MultiFinder& operator=(const MultiFinder&) = delete;

    // Appends the occurrences in [p, p + n) (n below 4 GiB) to `hits`, not necessarily in order.
    void scan(const char* p, std::size_t n, Scratch& scratch, std::vector<Hit>& hits) const;

private:
    MultiFinder() = default;
    void* database_ = nullptr;
    void* prototype_ = nullptr; // the scratch the others are cloned from
};

} // namespace vesk
