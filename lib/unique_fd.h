#pragma once
// An owned file descriptor, closed when it goes out of scope, and the read and write loops every
// file of the program goes through (short counts and EINTR handled once, here).

#include <cerrno>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace vesk {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = std::exchange(o.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    explicit operator bool() const { return fd_ >= 0; }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Gives up ownership: the caller closes the descriptor.
    int release() { return std::exchange(fd_, -1); }
    // Closes now, so that a delayed write error reported by close reaches the caller: 0 or errno.
    int close() {
        const int fd = std::exchange(fd_, -1);
        if (fd < 0 || ::close(fd) == 0 || errno == EINTR) return 0;
        return errno;
    }

private:
    int fd_ = -1;
};

// Writes every byte with `write` (a write(2)-like callable): 0, or the errno of the failure.
template <typename Write> int writeAllWith(Write&& write, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

inline int writeAll(int fd, std::string_view bytes) {
    return writeAllWith(::write, fd, bytes);
}

// Appends everything up to the end of the file to `out`: 0, or the errno of the failure.
// `expected` (the file's size, when known) is reserved at once, so a big file is not copied while
// the text grows.
inline int readAll(int fd, std::string& out, std::size_t expected = 0) {
    std::size_t got = out.size();
    out.reserve(got + expected + 65536);
    for (;;) {
        if (out.size() - got < 65536) out.resize(got + 65536);
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            out.resize(got);
            return n < 0 ? errno : 0;
        }
        got += static_cast<std::size_t>(n);
    }
}

} // namespace vesk
