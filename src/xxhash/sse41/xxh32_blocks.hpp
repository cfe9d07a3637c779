#pragma once
// The SSE4.1 XXH32 block loop. Call only on a processor with SSE4.1.

#include <cstddef>

#include "xxhash/classic.hpp"

namespace vantorq::xxhash::sse41 {

// long_inputs::BlocksKernel: the scalar loop's lanes.
void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks);

}  // namespace vantorq::xxhash::sse41
