#pragma once
// The AVX-512 long-input kernel: one 512-bit register of accumulator lanes.
// Call only on a processor with AVX-512F.

#include <cstddef>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::avx512 {

// (data, len > 240, 192-byte secret) -> the scalar kernel's accumulators.
Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret);

// long_inputs::StripesKernel: whole stripes continuing a block, the scalar words.
std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret);

}  // namespace vantorq::xxhash::avx512
