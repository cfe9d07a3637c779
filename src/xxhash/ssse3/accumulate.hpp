#pragma once
// The SSSE3 long-input kernel: four 128-bit registers of accumulator lanes.
// Call only on a processor with SSSE3.

#include <cstddef>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::ssse3 {

// (data, len > 240, 192-byte secret) -> the scalar kernel's accumulators.
Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret);

// long_inputs::StripesKernel: whole stripes continuing a block, the scalar words.
std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret);

}  // namespace vantorq::xxhash::ssse3
