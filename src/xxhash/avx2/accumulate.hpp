#pragma once
// The AVX2 long-input kernels: two 256-bit registers of accumulator lanes per
// input. Call only on a processor with AVX2.

#include <cstddef>
#include <cstdint>

#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::avx2 {

// Its one-block 128-bit hash is the fused medium routine.
extern const long_inputs::LongKernels KERNELS;

// long_inputs::SecretKernel: equal to initialize_secret_scalar.
void init_secret(unsigned char* secret, std::uint64_t seed);

// long_inputs::BatchKernel for 2, 3 or 4 inputs of one batch::LongRun.
// Defined in accumulate_batch.cpp.
template <std::size_t INPUTS>
void accumulate_batch(const ByteView (&inputs)[INPUTS], const unsigned char* secret, Accumulators (&out)[INPUTS]);

}  // namespace vantorq::xxhash::avx2
