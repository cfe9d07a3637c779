// The cores' buffers come from their private mimalloc, and nothing else does:
// operator new and malloc stay the process's own, through which the C++
// runtime and every other library allocate and free.
#include <gtest/gtest.h>
#include <mimalloc.h>

#include <cstdlib>
#include <memory>

#include "backend/memory.hpp"

TEST(Allocator, OnlyCoreBuffersComeFromMimalloc) {
#ifdef VANTORQ_SYSTEM_ALLOCATOR
    GTEST_SKIP() << "this build gives the cores the system allocator";
#else
    auto core_buffer = vantorq::backend::try_allocate_bytes(64);
    auto from_new = std::make_unique<unsigned char[]>(64);
    std::unique_ptr<void, decltype(&std::free)> from_malloc(std::malloc(64), &std::free);
    EXPECT_TRUE(mi_is_in_heap_region(core_buffer.get()));
    EXPECT_FALSE(mi_is_in_heap_region(from_new.get()));
    EXPECT_FALSE(mi_is_in_heap_region(from_malloc.get()));
#endif
}
