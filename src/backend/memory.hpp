#pragma once
// The module's own heap memory comes from mimalloc.

#include <mimalloc.h>

#include <cstddef>
#include <memory>

namespace vantorq::backend {

struct MiFree {
    void operator()(void* p) const noexcept { mi_free(p); }
};

// An owned byte buffer; empty (null) when the allocation failed.
using ByteBuffer = std::unique_ptr<unsigned char[], MiFree>;

inline ByteBuffer try_allocate_bytes(std::size_t size) noexcept {
    // mi_malloc(0) returns a unique non-null pointer, so an empty buffer is still valid.
    return ByteBuffer(static_cast<unsigned char*>(mi_malloc(size)));
}

}  // namespace vantorq::backend
