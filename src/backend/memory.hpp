#pragma once
// The module's own heap memory comes from mimalloc (from the system allocator
// in sanitizer builds, whose allocator must see every block to check it).

#ifdef VANTORQ_SYSTEM_ALLOCATOR
#include <cstdlib>
#else
#include <mimalloc.h>
#endif

#include <cstddef>
#include <memory>

namespace vantorq::backend {

#ifdef VANTORQ_SYSTEM_ALLOCATOR
inline void* heap_allocate(std::size_t size) noexcept { return std::malloc(size); }
inline void heap_free(void* p) noexcept { std::free(p); }
#else
inline void* heap_allocate(std::size_t size) noexcept { return mi_malloc(size); }
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

}  // namespace vantorq::backend
