#pragma once
// The SSSE3 long-input kernels: four 128-bit registers of accumulator lanes.
// Call only on a processor with SSSE3.

#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::ssse3 {

extern const long_inputs::LongKernels KERNELS;

}  // namespace vantorq::xxhash::ssse3
