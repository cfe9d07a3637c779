#pragma once
// The AVX-512 XXH32 block loop: the SSE4.1 one with a single-instruction
// rotation. Call only on a processor with AVX-512F.

#include <cstddef>

#include "xxhash/classic.hpp"

namespace vantorq::xxhash::avx512 {

// long_inputs::BlocksKernel: the scalar loop's lanes.
void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks);

}  // namespace vantorq::xxhash::avx512
