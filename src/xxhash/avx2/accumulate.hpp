#pragma once
// The AVX2 long-input kernels: two 256-bit registers of accumulator lanes per
// input. Call only on a processor with AVX2.

#include <cstddef>
#include <cstdint>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::avx2 {

// (data, len > 240, 192-byte secret) -> the scalar kernel's accumulators.
Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret);

// long_inputs::StripesKernel: whole stripes continuing a block, the scalar words.
std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret);

// Writes the secret derived from `seed`, equal to initialize_secret_scalar.
void init_secret(unsigned char* secret, std::uint64_t seed);

// The complete hashes with seed 0 of an input of 241..1024 bytes.
std::uint64_t hash_64_medium(const unsigned char* data, std::size_t len);
Hash128 hash_128_medium(const unsigned char* data, std::size_t len);

// The inputs of one batch::LongRun (2, 3 or 4 of them) accumulated in one
// pass that loads each secret word once for all; out[i] belongs to inputs[i].
// Defined in accumulate_batch.cpp.
template <std::size_t INPUTS>
void accumulate_batch(const ByteView (&inputs)[INPUTS], const unsigned char* secret, Accumulators (&out)[INPUTS]);

}  // namespace vantorq::xxhash::avx2
