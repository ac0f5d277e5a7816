#pragma once
// A growable array of trivially copyable values in one malloc block. It grows with realloc, which
// moves a large block by remapping its pages: no copy, and no fresh page touched twice, where a
// std::vector allocates a new block, copies into it and frees the old one at every doubling.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace vesk {

template <class T> class FlatArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    FlatArray() = default;
    explicit FlatArray(std::size_t n) { resize(n); }
    ~FlatArray() { std::free(data_); }
    FlatArray(const FlatArray& o) {
        reserve(o.size_);
        if (o.size_) std::memcpy(data_, o.data_, o.size_ * sizeof(T));
        size_ = o.size_;
    }
    FlatArray(FlatArray&& o) noexcept
        : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, 0)),
          capacity_(std::exchange(o.capacity_, 0)) {}
    FlatArray& operator=(FlatArray o) noexcept {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        std::swap(capacity_, o.capacity_);
        return *this;
    }

    // New elements are value-initialized.
    void resize(std::size_t n) {
        if (n > capacity_) reserve(std::max(n, capacity_ * 2));
        for (std::size_t i = size_; i < n; ++i)
            new (data_ + i) T{};
        size_ = n;
    }
    void reserve(std::size_t n) {
        if (n <= capacity_) return;
        void* grown = std::realloc(data_, n * sizeof(T));
        if (!grown) throw std::bad_alloc();
        data_ = static_cast<T*>(grown);
        capacity_ = n;
    }

    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace vesk
