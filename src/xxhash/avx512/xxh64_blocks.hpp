#pragma once
// The AVX-512 XXH64 block loop: the four 64-bit lanes in one 256-bit register,
// multiplied with VPMULLQ. Call only on a processor with AVX-512 F, DQ and VL.

#include <cstddef>

#include "xxhash/classic.hpp"

namespace vantorq::xxhash::avx512 {

// long_inputs::BlocksKernel: the scalar loop's lanes.
void mix_xxh64_blocks(classic::Xxh64Lanes& lanes, const unsigned char* p, std::size_t blocks);

}  // namespace vantorq::xxhash::avx512
