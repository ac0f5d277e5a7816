#pragma once
// Finds, in one pass over a buffer, where any of several patterns may occur: every occurrence of
// each pattern's piece, its rarest run of bytes (the whole pattern when it is short). A line that
// holds a pattern holds its piece, so the lines of these occurrences are the ones to judge.
// Built on Vectorscan when the build has it; without it (or with fewer than two patterns) `build`
// gives nothing and the line search scans with each pattern's own Finder.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "search/finder.h"

namespace vesk {

class MultiFinder {
public:
    struct Hit {
        std::uint32_t start; // offset of the piece's occurrence from the scanned buffer's start
        std::uint32_t id;    // index of the finder in the list it was built from
    };

    // Patterns that are empty or hold a line break never match within a line and are left out.
    // Null when there is no multi-pattern engine or fewer than two patterns remain.
    static std::shared_ptr<const MultiFinder> build(const std::vector<Finder>& finders);
    ~MultiFinder();
    MultiFinder(const MultiFinder&) = delete;
    MultiFinder& operator=(const MultiFinder&) = delete;

    // The run of kPieceSize bytes of `pattern` least common in source code and prose, or the whole
    // pattern when it is no longer.
    static std::string_view pieceOf(std::string_view pattern);
    // The engine screens candidates by at most this many bytes of each literal, so a longer piece
    // would only make it confirm more.
    static constexpr std::size_t kPieceSize = 8;

    // Appends the pieces' occurrences in [p, p + n) (n below 4 GiB) to `hits`, not necessarily in
    // order.
    // Safe to call from several threads at once: each uses working memory of its own.
    void scan(const char* p, std::size_t n, std::vector<Hit>& hits) const;

private:
    MultiFinder() = default;
    void* database_ = nullptr;
    std::vector<std::uint32_t> pieceSizes_; // by finder index
    std::uint64_t serial_ = 0;              // tells databases apart for the threads' scratch spaces
};

} // namespace vesk
