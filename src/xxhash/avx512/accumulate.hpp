#pragma once
// The AVX-512 long-input kernels: one 512-bit register of accumulator lanes.
// Call only on a processor with AVX-512F.

#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::avx512 {

// One stripe per loop trip, and the same loop four stripes per trip (whose
// one-block hashes are the one-stripe ones).
extern const long_inputs::LongKernels KERNELS;
extern const long_inputs::LongKernels KERNELS_4_STRIPES;

}  // namespace vantorq::xxhash::avx512
