#pragma once
// The module's own heap memory comes from mimalloc (from the system allocator
// in sanitizer builds, whose allocator must see every block to check it).

#ifdef VANTORQ_SYSTEM_ALLOCATOR
#include <cstdlib>
#else
#include <mimalloc.h>
#endif

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>

#include "backend/invariant.hpp"

namespace vantorq::backend {

// heap_allocate_array refuses (null) a count times size that overflows.
#ifdef VANTORQ_SYSTEM_ALLOCATOR
inline void* heap_allocate(std::size_t size) noexcept { return std::malloc(size); }
inline void* heap_allocate_array(std::size_t count, std::size_t size) noexcept {
    std::size_t bytes = 0;
    return __builtin_mul_overflow(count, size, &bytes) ? nullptr : std::malloc(bytes);
}
inline void* heap_allocate_aligned(std::size_t size, std::size_t alignment) noexcept {
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}
inline void heap_free(void* p) noexcept { std::free(p); }
#else
inline void* heap_allocate(std::size_t size) noexcept { return mi_malloc(size); }
inline void* heap_allocate_array(std::size_t count, std::size_t size) noexcept { return mi_mallocn(count, size); }
inline void* heap_allocate_aligned(std::size_t size, std::size_t alignment) noexcept {
    return mi_malloc_aligned(size, alignment);
}
inline void heap_free(void* p) noexcept { mi_free(p); }
#endif

struct HeapFree {
    void operator()(void* p) const noexcept { heap_free(p); }
};

// An owned byte buffer; empty (null) when the allocation failed.
using ByteBuffer = std::unique_ptr<unsigned char[], HeapFree>;

inline ByteBuffer try_allocate_bytes(std::size_t size) noexcept {
    // Both allocators return a unique non-null pointer for 0 bytes, so an empty buffer is still valid.
    return ByteBuffer(static_cast<unsigned char*>(heap_allocate(size)));
}

// A byte array of a size fixed at construction, owned and copied deeply: for
// state that two copies of its holder must not share (a caller's key, a
// serialised form). Construction and copy throw std::bad_alloc when the
// memory cannot be had; a moved-from array is empty.
class OwnedBytes {
public:
    // `size` bytes, zero.
    explicit OwnedBytes(std::size_t size) : OwnedBytes(nullptr, size) {}
    // A copy of `size` bytes at `data`.
    OwnedBytes(const unsigned char* data, std::size_t size) : bytes_(try_allocate_bytes(size)), size_(size) {
        if (!bytes_) throw std::bad_alloc();
        if (data == nullptr)
            std::memset(bytes_.get(), 0, size);
        else if (size != 0)
            std::memcpy(bytes_.get(), data, size);
    }
    OwnedBytes(const OwnedBytes& other) : OwnedBytes(other.data(), other.size()) {}
    OwnedBytes& operator=(const OwnedBytes& other) {
        if (this == &other) return *this;
        if (size_ == other.size_ && bytes_)
            std::memcpy(bytes_.get(), other.data(), size_);
        else
            *this = OwnedBytes(other);
        return *this;
    }
    OwnedBytes(OwnedBytes&& other) noexcept
        : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
    OwnedBytes& operator=(OwnedBytes&& other) noexcept {
        bytes_ = std::move(other.bytes_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    unsigned char* data() { return bytes_.get(); }
    const unsigned char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    unsigned char* begin() { return data(); }
    unsigned char* end() { return data() + size_; }
    const unsigned char* begin() const { return data(); }
    const unsigned char* end() const { return data() + size_; }
    unsigned char& operator[](std::size_t i) { return bytes_[i]; }
    unsigned char operator[](std::size_t i) const { return bytes_[i]; }
    operator std::span<unsigned char>() { return {data(), size_}; }
    operator std::span<const unsigned char>() const { return {data(), size_}; }

    friend bool operator==(const OwnedBytes& a, const OwnedBytes& b) {
        return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data(), b.data(), a.size_) == 0);
    }

private:
    ByteBuffer bytes_;
    std::size_t size_;
};

// Room for a fixed number of values, reserved once: values are appended in
// order and never moved, and are destroyed in reverse order with the array.
// Lists are sized before their items are read, so one reservation either
// holds the whole list or fails before any work is done.
template <typename T>
class ReservedArray {
    static_assert(alignof(T) <= alignof(std::max_align_t));

public:
    // Nothing when the room cannot be had (too little memory, or more bytes
    // than the address space holds).
    static std::optional<ReservedArray> try_reserve(std::size_t capacity) noexcept {
        void* storage = heap_allocate_array(capacity, sizeof(T));
        if (storage == nullptr) return std::nullopt;
        return ReservedArray(static_cast<T*>(storage), capacity);
    }

    ReservedArray(ReservedArray&& other) noexcept
        : values_(std::exchange(other.values_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    ReservedArray& operator=(ReservedArray&&) = delete;
    ~ReservedArray() {
        clear();
        heap_free(values_);
    }

    template <typename... Args>
    T& emplace_back(Args&&... args) {
        if (size_ == capacity_) fail_invariant("reserved room is exceeded");
        T* slot = new (values_ + size_) T(std::forward<Args>(args)...);
        ++size_;
        return *slot;
    }

    // Destroys every value and keeps the room.
    void clear() {
        while (size_ > 0) values_[--size_].~T();
    }

    // Appends `count` values of a type without set-up, for the caller to overwrite.
    std::span<T> append_for_overwrite(std::size_t count)
        requires std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>
    {
        if (count > capacity_ - size_) fail_invariant("reserved room is exceeded");
        T* first = values_ + size_;
        size_ += count;
        return {first, count};
    }

    std::size_t size() const { return size_; }
    T* data() { return values_; }
    const T* data() const { return values_; }
    T& operator[](std::size_t i) { return values_[i]; }
    const T& operator[](std::size_t i) const { return values_[i]; }
    T* begin() { return values_; }
    T* end() { return values_ + size_; }
    const T* begin() const { return values_; }
    const T* end() const { return values_ + size_; }
    operator std::span<T>() { return {values_, size_}; }
    operator std::span<const T>() const { return {values_, size_}; }

private:
    ReservedArray(T* values, std::size_t capacity) : values_(values), capacity_(capacity) {}

    T* values_;
    std::size_t size_ = 0;
    std::size_t capacity_;
};

}  // namespace vantorq::backend
