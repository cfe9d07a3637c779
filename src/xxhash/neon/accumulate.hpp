#pragma once
// The Advanced SIMD (NEON) long-input kernels: four 128-bit registers of
// accumulator lanes. Every aarch64 processor has them.

#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::neon {

extern const long_inputs::LongKernels KERNELS;

}  // namespace vantorq::xxhash::neon
